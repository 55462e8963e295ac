#include "lsp/server.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <istream>
#include <ostream>

#include "compiler/compile.h"
#include "lsp/code_actions.h"
#include "lsp/completion.h"
#include "lsp/definition.h"
#include "lsp/diagnostics.h"
#include "lsp/document_layout.h"
#include "lsp/formatting.h"
#include "lsp/hover.h"
#include "lsp/inlay_hints.h"
#include "lsp/outline.h"
#include "lsp/references.h"
#include "lsp/signature_help.h"
#include "lsp/transport.h"
#include "lsp/uri.h"
#include "lsp/workspace_symbols.h"
#include "runtime/windows1252.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace lsp {

using nlohmann::json;

namespace {

document_kind kind_of(const std::string& uri, const text_document& text) {
  const document_kind by_name = kind_by_name(split_uri(uri).name);
  if (by_name != document_kind::unknown) return by_name;
  return kind_by_content(runtime::to_windows1252(text.text()));
}

// The encoding of columns: the first of the client's choices that the
// server knows, else UTF-16 (which every client must know).
position_encoding encoding_from(const json& params) {
  const json* offered = nullptr;
  if (params.is_object() && params.contains("capabilities")) {
    const json& c = params["capabilities"];
    if (c.is_object() && c.contains("general") && c["general"].is_object() &&
        c["general"].contains("positionEncodings"))
      offered = &c["general"]["positionEncodings"];
  }
  if (offered && offered->is_array())
    for (const json& e : *offered) {
      if (e == "utf-8") return position_encoding::utf8;
      if (e == "utf-16") return position_encoding::utf16;
      if (e == "utf-32") return position_encoding::utf32;
    }
  return position_encoding::utf16;
}

// Whether the client takes snippets in completions.
bool snippets_from(const json& params) {
  const json* at = &params;
  for (const char* key :
       {"capabilities", "textDocument", "completion", "completionItem", "snippetSupport"}) {
    if (!at->is_object()) return false;
    const auto found = at->find(key);
    if (found == at->end()) return false;
    at = &*found;
  }
  return *at == true;
}

std::string encoding_name(position_encoding e) {
  switch (e) {
    case position_encoding::utf8:
      return "utf-8";
    case position_encoding::utf16:
      return "utf-16";
    case position_encoding::utf32:
      return "utf-32";
  }
  return "utf-16";
}

// Gives the memory of closed documents back to the system, where the
// allocator keeps it otherwise.
void release_free_memory() {
#ifdef __GLIBC__
  malloc_trim(0);
#endif
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

void lsp_server::send(std::string message) {
  outgoing_.push_back(std::move(message));
}

void lsp_server::log(const std::string& line) {
  if (log_) *log_ << "scenario-tool lsp: " << line << std::endl;
}

std::vector<std::string> lsp_server::bad_header() {
  static const std::string answer = error_response(
      nullptr, rpc_error::parse_error, "a message without a readable Content-Length header");
  return {answer};
}

std::vector<std::string> lsp_server::handle(std::string_view body) {
  outgoing_.clear();
  if (nesting_too_deep(body)) {
    send(error_response(nullptr, rpc_error::parse_error, "nested too deeply"));
    return std::move(outgoing_);
  }
  json message = json::parse(body, nullptr, false);
  if (message.is_discarded())
    send(error_response(nullptr, rpc_error::parse_error, "not JSON"));
  else
    dispatch(message);
  return std::move(outgoing_);
}

void lsp_server::dispatch(json& message) {
  if (!message.is_object()) {
    send(error_response(nullptr, rpc_error::invalid_request, "a message is a JSON object"));
    return;
  }
  json id = nullptr;
  const auto id_it = message.find("id");
  const bool has_id = id_it != message.end();
  if (has_id) {
    id = std::move(*id_it);
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
  // The parameters are taken out of the message, which is not read again.
  json params = json::object();
  if (const auto p = message.find("params"); p != message.end() && !p->is_null())
    params = std::move(*p);
  if (!params.is_object() && !params.is_array()) {
    if (has_id)
      send(error_response(id, rpc_error::invalid_params, "params are an object or an array"));
    return;
  }

  if (!has_id) {
    // A notification has no answer: a malformed one is dropped, and the
    // log says so.
    try {
      notification(method, params);
    } catch (const rpc_failure& f) {
      log(method + " dropped: " + f.message);
    } catch (const json::exception& e) {
      log(method + " dropped: " + e.what());
    }
    return;
  }

  std::string answer;
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
  send(std::move(answer));
}

std::string lsp_server::initialize(const json& params) {
  if (initialized_) throw rpc_failure{rpc_error::invalid_request, "already initialized"};
  initialized_ = true;
  encoding_ = encoding_from(params);
  snippets_ = snippets_from(params);
  // The same for every session that counts columns the same way: made once
  // for each encoding.
  static const std::string answers[] = {capabilities(position_encoding::utf8),
                                        capabilities(position_encoding::utf16),
                                        capabilities(position_encoding::utf32)};
  return answers[static_cast<int>(encoding_)];
}

std::string lsp_server::capabilities(position_encoding encoding) {
  return dump({{"capabilities",
                {{"positionEncoding", encoding_name(encoding)},
                 {"textDocumentSync", {{"openClose", true}, {"change", 2}}},
                 {"hoverProvider", true},
                 {"completionProvider", {{"triggerCharacters", json::array()}}},
                 {"documentSymbolProvider", true},
                 {"definitionProvider", true},
                 {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
                 {"signatureHelpProvider", {{"triggerCharacters", {","}}}},
                 {"inlayHintProvider", true},
                 {"foldingRangeProvider", true},
                 {"semanticTokensProvider", {{"legend", semantic_token_legend()}, {"full", true}}},
                 {"documentFormattingProvider", true},
                 {"documentHighlightProvider", true},
                 {"referencesProvider", true},
                 {"workspaceSymbolProvider", true}}},
               {"serverInfo", {{"name", "scenario-tool"}, {"version", "1.0"}}}});
}

std::string lsp_server::request(const std::string& method, const json& params) {
  if (method == "initialize") return initialize(params);
  return dump(result_of(method, params));
}

json lsp_server::result_of(const std::string& method, const json& params) {
  if (method == "shutdown") {
    shut_down_ = true;
    return nullptr;
  }
  if (method == "workspace/symbol") {
    std::vector<const document_view*> held;
    for (const auto& [uri, d] : documents_) {
      pair_of(uri, true);  // reads the records
      held.push_back(view_of_held(uri));
    }
    return to_json(workspace_symbols(
        held, params.contains("query") ? string_from(params["query"]) : std::string()));
  }
  static const std::set<std::string> on_documents = {"textDocument/hover",
                                                     "textDocument/completion",
                                                     "textDocument/documentSymbol",
                                                     "textDocument/definition",
                                                     "textDocument/codeAction",
                                                     "textDocument/signatureHelp",
                                                     "textDocument/inlayHint",
                                                     "textDocument/foldingRange",
                                                     "textDocument/semanticTokens/full",
                                                     "textDocument/formatting",
                                                     "textDocument/documentHighlight",
                                                     "textDocument/references"};
  if (!on_documents.count(method))
    throw rpc_failure{rpc_error::method_not_found, "unknown method " + method};
  const std::string& uri = string_from(params.at("textDocument").at("uri"));
  const auto held = documents_.find(uri);
  if (held == documents_.end()) return nullptr;
  const document_pair pair = pair_of(uri, true);
  const document_view& self = *view_of_held(uri);
  if (method == "textDocument/documentSymbol") return to_json(outline_of(self));
  if (method == "textDocument/foldingRange") return to_json(folding_ranges_of(self));
  if (method == "textDocument/semanticTokens/full")
    return semantic_tokens_json(semantic_tokens_of(self));
  if (method == "textDocument/formatting") return to_json(formatting_of(self));
  if (method == "textDocument/codeAction") {
    const pair_diagnostics& found = checked(pair, self.kind);
    return to_json(
        code_actions_for(self, range_from(params.at("range")),
                         self.kind == document_kind::line_description ? found.line : found.train));
  }
  if (method == "textDocument/inlayHint") {
    const text_range r = range_from(params.at("range"));
    return to_json(inlay_hints_in(pair, self, r.start.line, r.end.line));
  }
  const text_position at = position_from(params.at("position"));
  if (method == "textDocument/completion")
    return {{"isIncomplete", false}, {"items", to_json(completion_at(self, at, snippets_))}};
  if (method == "textDocument/signatureHelp") {
    const auto found = signature_at(self, at);
    return found ? to_json(*found) : json(nullptr);
  }
  if (method == "textDocument/documentHighlight" || method == "textDocument/references") {
    std::vector<location> found =
        records_at_same_place(pair, self, at, method == "textDocument/references");
    if (method == "textDocument/references") return to_json(found);
    json highlights = json::array();
    for (const location& l : found) highlights.push_back({{"range", to_json(l.range)}});
    return highlights;
  }
  if (method == "textDocument/definition") {
    const std::vector<location> found = definition_at(pair, self, at);
    return found.empty() ? json(nullptr) : to_json(found);
  }
  // Hover: the pair's compile says what lies in a cell.
  const auto hover = hover_at(pair, self, at, compiled(pair));
  return hover ? to_json(*hover) : json(nullptr);
}

const model::scenario* lsp_server::compiled(const document_pair& pair) {
  if (!pair.line || !pair.train) return nullptr;
  // Each edit drops the compile kept; a partner read from the disk may
  // change with no word to the server, so that pair is compiled anew.
  if (compiled_ && compiled_->reusable && !pair.read_from_disk &&
      compiled_->line_uri == pair.line->uri && compiled_->train_uri == pair.train->uri)
    return &compiled_->result.compiled;
  compiler::compile_input in;
  in.line_description = pair.line->source.text();
  in.train_document = pair.train->source.text();
  in.with_plan = false;
  compiled_.reset();
  compiled_ = pair_compile{pair.line->uri, pair.train->uri, !pair.read_from_disk,
                           compiler::compile_documents(in)};
  return &compiled_->result.compiled;
}

const pair_diagnostics& lsp_server::checked(const document_pair& pair, document_kind self) {
  const std::string line_uri = pair.line ? pair.line->uri : std::string();
  const std::string train_uri = pair.train ? pair.train->uri : std::string();
  // As for the compile: a partner read from the disk is checked anew.
  if (checked_ && checked_->reusable && !pair.read_from_disk && checked_->self == self &&
      checked_->line_uri == line_uri && checked_->train_uri == train_uri)
    return checked_->found;
  checked_.reset();
  checked_ = pair_check{line_uri, train_uri, self, !pair.read_from_disk,
                        diagnostics_of(pair, self, lone_route_metres_)};
  return checked_->found;
}

void lsp_server::forget_pair_work() {
  compiled_.reset();
  checked_.reset();
}

void lsp_server::notification(const std::string& method, json& params) {
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

void lsp_server::did_open(json& params) {
  json& doc = params.at("textDocument");
  const std::string& uri = string_from(doc.at("uri"));
  // The text is moved out of the message, which is not read again.
  json& text_value = doc.at("text");
  string_from(text_value);
  std::string text = std::move(text_value.get_ref<std::string&>());
  const int64_t version = version_from(doc);
  open_document& d = documents_[uri];
  d.text = text_document(std::move(text), encoding_);
  d.version = version;
  d.kind = kind_of(uri, d.text);
  d.view.reset();
  forget_pair_work();
  files_shown_.erase(uri);
  changed_.insert(uri);
}

void lsp_server::did_change(const json& params) {
  const json& doc = params.at("textDocument");
  const std::string& uri = string_from(doc.at("uri"));
  auto it = documents_.find(uri);
  if (it == documents_.end()) return;
  open_document& d = it->second;
  const std::vector<content_change> changes = changes_from(params.at("contentChanges"));
  for (const content_change& c : changes) {
    if (c.range)
      d.text.replace(c.range->start, c.range->end, c.text);
    else
      d.text.set_text(c.text);
  }
  if (doc.contains("version")) d.version = version_from(doc);
  d.kind = kind_of(uri, d.text);
  d.view.reset();
  forget_pair_work();
  changed_.insert(uri);
}

void lsp_server::did_close(const json& params) {
  const std::string& uri = string_from(params.at("textDocument").at("uri"));
  if (!documents_.erase(uri)) return;
  forget_pair_work();
  changed_.erase(uri);
  send(diagnostics_notification(uri, std::nullopt, {}));
  // Its partners now pair with the disk, or with nothing.
  const std::string folder = uri_key(split_uri(uri).folder);
  for (const auto& [other, d] : documents_)
    if (uri_key(split_uri(other).folder) == folder) changed_.insert(other);
  forget_unpaired_files();
  release_free_memory();
}

std::vector<std::string> lsp_server::idle() {
  outgoing_.clear();
  if (!changed_.empty()) {
    const std::set<std::string> changed = std::move(changed_);
    changed_.clear();
    publish(changed);
  }
  return std::move(outgoing_);
}

std::optional<partner_document> lsp_server::partner_of(const std::string& uri, document_kind kind) {
  std::vector<held_kind> held;
  held.reserve(documents_.size());
  for (const auto& [other, d] : documents_) held.push_back({other, d.kind});
  return find_partner(uri, kind, held, disk_);
}

document_view* lsp_server::view_of_held(const std::string& uri) {
  auto it = documents_.find(uri);
  if (it == documents_.end()) return nullptr;
  open_document& d = it->second;
  if (!d.view) {
    document_view& v = d.view.emplace();
    v.uri = uri;
    v.kind = d.kind;
    v.held = &d.text;
    v.encoding = encoding_;
    v.source.set_text(runtime::to_windows1252(d.text.text()));
  }
  return &*d.view;
}

std::shared_ptr<const document_view> lsp_server::view_of_file(const std::string& path,
                                                              document_kind kind,
                                                              bool with_records) {
  std::string bytes, reason;
  if (!disk_.read_file(path, &bytes, &reason)) return nullptr;
  auto v = std::make_shared<document_view>();
  v->uri = uri_of_path(path);
  v->kind = kind;
  v->encoding = encoding_;
  v->source.set_text(std::move(bytes));
  if (with_records) v->records = read_record_lines(v->source.text(), v->kind);
  return v;
}

document_pair lsp_server::pair_of(const std::string& uri, bool with_records) {
  document_pair pair;
  document_view* self = view_of_held(uri);
  if (!self) return pair;
  auto with_records_read = [&](document_view* v) {
    if (with_records && v->records.empty())
      v->records = read_record_lines(v->source.text(), v->kind);
    return v;
  };
  with_records_read(self);
  const document_kind kind = self->kind;
  const document_view* other = nullptr;
  if (const auto partner = partner_of(uri, kind)) {
    if (partner->path.empty()) {
      other = with_records_read(view_of_held(partner->uri));
    } else {
      pair.read_from_disk = view_of_file(partner->path, partner_kind(kind), with_records);
      other = pair.read_from_disk.get();
    }
  }
  if (kind == document_kind::train_document) {
    pair.train = self;
    pair.line = other;
  } else {
    pair.line = self;
    pair.train = other;
  }
  return pair;
}

void lsp_server::publish(const std::set<std::string>& uris) {
  // Every document whose pair is to be checked: the ones changed, and the
  // train documents that pair with a changed line description.
  std::vector<std::string> roots;
  for (const std::string& uri : uris) {
    const auto it = documents_.find(uri);
    if (it == documents_.end()) continue;
    roots.push_back(uri);
    if (it->second.kind != document_kind::line_description) continue;
    for (const auto& [other, d] : documents_) {
      if (other == uri || d.kind != document_kind::train_document || uris.count(other)) continue;
      const auto partner = partner_of(other, d.kind);
      if (partner && partner->uri == uri) roots.push_back(other);
    }
  }
  std::set<std::string> published;
  auto publish_one = [&](const document_view& v, const std::vector<diagnostic>& list) {
    std::optional<int64_t> version;
    if (auto held = documents_.find(v.uri); held != documents_.end())
      version = held->second.version;
    else
      files_shown_.insert(v.uri);
    published.insert(v.uri);
    send(diagnostics_notification(v.uri, version, list));
  };
  for (const std::string& uri : roots) {
    if (published.count(uri)) continue;
    const document_kind kind = documents_[uri].kind;
    if (kind == document_kind::unknown) {
      publish_one(*view_of_held(uri), {});
      continue;
    }
    const document_pair pair = pair_of(uri, false);
    const bool self_is_line = kind == document_kind::line_description;
    const document_view* other = self_is_line ? pair.train : pair.line;
    // The partner's list is published when it pairs back with this
    // document.
    bool other_too = false;
    if (other && !published.count(other->uri)) {
      std::optional<partner_document> back;
      if (documents_.count(other->uri)) back = partner_of(other->uri, partner_kind(kind));
      other_too = !back || uri_key(back->uri) == uri_key(uri);
    }
    const pair_diagnostics& found = checked(pair, kind);
    publish_one(self_is_line ? *pair.line : *pair.train, self_is_line ? found.line : found.train);
    if (other_too) publish_one(*other, self_is_line ? found.train : found.line);
  }
}

void lsp_server::forget_unpaired_files() {
  std::set<std::string> still_paired;
  for (const auto& [uri, d] : documents_)
    if (const auto partner = partner_of(uri, d.kind); partner && !partner->path.empty())
      still_paired.insert(partner->uri);
  for (auto it = files_shown_.begin(); it != files_shown_.end();) {
    if (still_paired.count(*it)) {
      ++it;
      continue;
    }
    send(diagnostics_notification(*it, std::nullopt, {}));
    it = files_shown_.erase(it);
  }
}

int serve_lsp(std::istream& in, std::ostream& out, runtime::disk& files,
              const std::function<bool()>& input_waiting, std::ostream* log,
              int32_t lone_route_metres) {
  lsp_server server(files, log, lone_route_metres);
  message_handler handler;
  handler.message = [&](std::string_view body) { return server.handle(body); };
  handler.bad_frame = [&] { return server.bad_header(); };
  handler.idle = [&] { return server.idle(); };
  handler.finished = [&] { return server.exited(); };
  handler.exit_status = [&] { return server.exit_status(); };
  return run_message_loop(in, out, handler, input_waiting);
}

}  // namespace lsp
