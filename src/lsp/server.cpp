#include "lsp/server.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "compiler/compile.h"
#include "lsp/completion.h"
#include "lsp/definition.h"
#include "lsp/diagnostics.h"
#include "lsp/hover.h"
#include "lsp/outline.h"
#include "lsp/transport.h"
#include "lsp/uri.h"
#include "runtime/windows1252.h"

using nlohmann::json;

namespace {

document_kind kind_of(const std::string& uri, const text_document& text) {
  const document_kind by_name = kind_by_name(split_uri(uri).name);
  if (by_name != document_kind::unknown) return by_name;
  return kind_by_content(to_windows1252(text.text()));
}

int64_t version_from(const json& document) {
  return document.contains("version") ? whole_number_from(document["version"], INT32_MIN, INT32_MAX)
                                      : 0;
}

}  // namespace

const text_document* lsp_server::held(const std::string& uri) const {
  auto it = documents_.find(uri);
  return it == documents_.end() ? nullptr : &it->second.text;
}

void lsp_server::send(const json& message) {
  outgoing_.push_back(dump(message));
}

std::vector<std::string> lsp_server::bad_header() {
  return {dump(error_response(nullptr, rpc_error::parse_error,
                              "a message without a readable Content-Length header"))};
}

std::vector<std::string> lsp_server::handle(std::string_view body) {
  outgoing_.clear();
  if (nesting_too_deep(body)) {
    send(error_response(nullptr, rpc_error::parse_error, "nested too deeply"));
    return std::move(outgoing_);
  }
  const json message = json::parse(body, nullptr, false);
  if (message.is_discarded())
    send(error_response(nullptr, rpc_error::parse_error, "not JSON"));
  else
    dispatch(message);
  return std::move(outgoing_);
}

void lsp_server::dispatch(const json& message) {
  if (!message.is_object()) {
    send(error_response(nullptr, rpc_error::invalid_request, "a message is a JSON object"));
    return;
  }
  json id = nullptr;
  const bool has_id = message.contains("id");
  if (has_id) {
    id = message["id"];
    if (!id.is_string() && !id.is_number_integer()) {
      send(error_response(nullptr, rpc_error::invalid_request,
                          "an id is a string or a whole number"));
      return;
    }
  }
  const auto method_it = message.find("method");
  if (method_it == message.end()) {
    // A response to a request of ours (the server sends none): dropped.
    if (has_id && (message.contains("result") || message.contains("error"))) return;
    send(error_response(id, rpc_error::invalid_request, "no method"));
    return;
  }
  const auto version = message.find("jsonrpc");
  if (!method_it->is_string() || version == message.end() || *version != "2.0") {
    if (has_id)
      send(error_response(id, rpc_error::invalid_request,
                          "a request has a method and \"jsonrpc\": \"2.0\""));
    return;
  }
  const std::string& method = method_it->get_ref<const std::string&>();
  json params = message.contains("params") ? message["params"] : json::object();
  if (params.is_null()) params = json::object();
  if (!params.is_object() && !params.is_array()) {
    if (has_id)
      send(error_response(id, rpc_error::invalid_params, "params are an object or an array"));
    return;
  }

  if (!has_id) {
    try {
      notification(method, params);
    } catch (const rpc_failure&) {
      // A notification has no answer: a malformed one is dropped.
    } catch (const json::exception&) {
    }
    return;
  }

  json answer;
  try {
    if (!initialized_ && method != "initialize")
      throw rpc_failure{rpc_error::server_not_initialized, "the server is not initialized yet"};
    if (shut_down_) throw rpc_failure{rpc_error::invalid_request, "the server is shutting down"};
    answer = response(id, request(method, params));
  } catch (const rpc_failure& f) {
    answer = error_response(id, f.code, f.message);
  } catch (const json::exception& e) {
    answer = error_response(id, rpc_error::invalid_params, e.what());
  } catch (const std::exception& e) {
    answer = error_response(id, rpc_error::internal_error, e.what());
  }
  send(answer);
}

json lsp_server::request(const std::string& method, const json& params) {
  if (method == "initialize") {
    if (initialized_) throw rpc_failure{rpc_error::invalid_request, "already initialized"};
    initialized_ = true;
    return {{"capabilities",
             {{"positionEncoding", "utf-16"},
              {"textDocumentSync", {{"openClose", true}, {"change", 2}}},
              {"hoverProvider", true},
              {"completionProvider", {{"triggerCharacters", json::array()}}},
              {"documentSymbolProvider", true},
              {"definitionProvider", true}}},
            {"serverInfo", {{"name", "scenario-tool"}, {"version", "1.0"}}}};
  }
  if (method == "shutdown") {
    shut_down_ = true;
    return nullptr;
  }
  const bool known = method == "textDocument/hover" || method == "textDocument/completion" ||
                     method == "textDocument/documentSymbol" || method == "textDocument/definition";
  if (!known) throw rpc_failure{rpc_error::method_not_found, "unknown method " + method};
  const std::string& uri = string_from(params.at("textDocument").at("uri"));
  if (!documents_.count(uri)) return nullptr;
  document_pair pair = pair_of(uri);
  const document_view& self = documents_[uri].kind == document_kind::line_description
                                  ? (pair.line ? *pair.line : *pair.train)
                                  : (pair.train ? *pair.train : *pair.line);
  if (method == "textDocument/documentSymbol") return to_json(outline_of(self));
  const text_position at = position_from(params.at("position"));
  if (method == "textDocument/completion")
    return {{"isIncomplete", false}, {"items", to_json(completion_at(self, at))}};
  if (method == "textDocument/definition") {
    const std::vector<location> found = definition_at(pair, self, at);
    return found.empty() ? json(nullptr) : to_json(found);
  }
  // Hover: the pair's compile says what lies in a cell.
  std::optional<compile_result> compiled;
  if (pair.line && pair.train) {
    compile_input in;
    in.line_description = pair.line->source.text();
    in.train_document = pair.train->source.text();
    in.with_plan = false;
    compiled = compile_documents(in);
  }
  const auto hover = hover_at(pair, self, at, compiled ? &compiled->compiled : nullptr);
  return hover ? to_json(*hover) : json(nullptr);
}

void lsp_server::notification(const std::string& method, const json& params) {
  if (method == "exit") {
    exited_ = true;
    return;
  }
  if (!initialized_ || shut_down_) return;
  if (method == "textDocument/didOpen")
    did_open(params);
  else if (method == "textDocument/didChange")
    did_change(params);
  else if (method == "textDocument/didClose")
    did_close(params);
  // Anything else ("initialized", "$/cancelRequest", settings) needs nothing.
}

void lsp_server::did_open(const json& params) {
  const json& doc = params.at("textDocument");
  const std::string& uri = string_from(doc.at("uri"));
  std::string text = string_from(doc.at("text"));
  const int64_t version = version_from(doc);
  open_document& d = documents_[uri];
  d.text.set_text(std::move(text));
  d.version = version;
  d.kind = kind_of(uri, d.text);
  publish_around(uri);
}

void lsp_server::did_change(const json& params) {
  const json& doc = params.at("textDocument");
  const std::string& uri = string_from(doc.at("uri"));
  auto it = documents_.find(uri);
  if (it == documents_.end()) return;
  open_document& d = it->second;
  for (const content_change& c : changes_from(params.at("contentChanges"))) {
    if (c.range)
      d.text.replace(c.range->start, c.range->end, c.text);
    else
      d.text.set_text(c.text);
  }
  if (doc.contains("version")) d.version = version_from(doc);
  d.kind = kind_of(uri, d.text);
  publish_around(uri);
}

void lsp_server::did_close(const json& params) {
  const std::string& uri = string_from(params.at("textDocument").at("uri"));
  if (!documents_.erase(uri)) return;
  send(diagnostics_notification(uri, std::nullopt, {}));
  // Its partners now pair with the disk, or with nothing.
  const std::string folder = split_uri(uri).folder;
  for (const auto& [other, d] : documents_)
    if (split_uri(other).folder == folder) publish_pair(other);
}

std::optional<partner_document> lsp_server::partner_of(const std::string& uri, document_kind kind) {
  std::vector<held_kind> held;
  for (const auto& [other, d] : documents_) held.push_back({other, d.kind});
  return find_partner(uri, kind, held, disk_);
}

std::optional<document_view> lsp_server::view_of_held(const std::string& uri) {
  auto it = documents_.find(uri);
  if (it == documents_.end()) return std::nullopt;
  document_view v;
  v.uri = uri;
  v.kind = it->second.kind;
  v.held = &it->second.text;
  v.source.set_text(to_windows1252(it->second.text.text()));
  v.records = read_record_lines(v.source.text(), v.kind);
  return v;
}

std::optional<document_view> lsp_server::view_of_file(const std::string& path, document_kind kind) {
  std::string bytes, reason;
  if (!disk_.read_file(path, &bytes, &reason)) return std::nullopt;
  document_view v;
  v.uri = uri_of_path(path);
  v.kind = kind;
  v.source.set_text(std::move(bytes));
  v.records = read_record_lines(v.source.text(), v.kind);
  return v;
}

document_pair lsp_server::pair_of(const std::string& uri) {
  document_pair pair;
  std::optional<document_view> self = view_of_held(uri);
  if (!self) return pair;
  const document_kind kind = self->kind;
  std::optional<document_view> other;
  if (const auto partner = partner_of(uri, kind))
    other = partner->path.empty() ? view_of_held(partner->uri)
                                  : view_of_file(partner->path, partner_kind(kind));
  if (kind == document_kind::train_document) {
    pair.train = std::move(self);
    pair.line = std::move(other);
  } else {
    pair.line = std::move(self);
    pair.train = std::move(other);
  }
  return pair;
}

void lsp_server::publish_around(const std::string& uri) {
  publish_pair(uri);
  // The train documents that pair with a line description depend on it.
  if (documents_[uri].kind != document_kind::line_description) return;
  for (const auto& [other, d] : documents_) {
    if (other == uri || d.kind != document_kind::train_document) continue;
    const auto partner = partner_of(other, d.kind);
    if (partner && partner->uri == uri) publish_pair(other);
  }
}

void lsp_server::publish_pair(const std::string& uri) {
  const auto it = documents_.find(uri);
  if (it == documents_.end()) return;
  const document_kind kind = it->second.kind;
  if (kind == document_kind::unknown) {
    send(diagnostics_notification(uri, std::nullopt, {}));
    return;
  }
  const document_pair pair = pair_of(uri);
  const pair_diagnostics found = diagnostics_of(pair, kind);
  auto publish = [&](const document_view& v, const std::vector<diagnostic>& list) {
    std::optional<int64_t> version;
    if (auto held = documents_.find(v.uri); held != documents_.end())
      version = held->second.version;
    send(diagnostics_notification(v.uri, version, list));
  };
  const bool self_is_line = kind == document_kind::line_description;
  publish(self_is_line ? *pair.line : *pair.train, self_is_line ? found.line : found.train);
  // The partner too, when it pairs back with this document.
  const std::optional<document_view>& other = self_is_line ? pair.train : pair.line;
  if (other) {
    std::optional<partner_document> back;
    if (documents_.count(other->uri)) back = partner_of(other->uri, partner_kind(kind));
    if (!back || uri_key(back->uri) == uri_key(uri))
      publish(*other, self_is_line ? found.train : found.line);
  }
}

int serve_lsp(std::istream& in, std::ostream& out, disk& files,
              const std::function<bool()>& input_waiting) {
  lsp_server server(files);
  message_handler handler;
  handler.message = [&](std::string_view body) { return server.handle(body); };
  handler.bad_frame = [&] { return server.bad_header(); };
  handler.idle = [] { return std::vector<std::string>{}; };
  handler.finished = [&] { return server.exited(); };
  handler.exit_status = [&] { return server.exit_status(); };
  return run_message_loop(in, out, handler, input_waiting);
}
