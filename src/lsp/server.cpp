#include "lsp/server.h"

#include <algorithm>
#include <istream>
#include <ostream>

#include "checker/check.h"
#include "compiler/compile.h"
#include "lsp/features.h"
#include "lsp/message_framing.h"
#include "model/route_extent.h"
#include "runtime/windows1252.h"

using nlohmann::json;

namespace {

// A request that fails with a protocol error.
struct rpc_failure {
  int code;
  std::string message;
};

// Deeper JSON than this is refused before it is parsed.
constexpr int max_nesting = 128;

// The partners a lone document is checked against.
constexpr std::string_view lone_train = "[generale]\r\n[fine]\r\n";
const std::string& lone_line() {
  static const std::string text =
      "[generale]\r\nlunghezza percorso,    " + std::to_string(longest_route) + "\r\n[fine]\r\n";
  return text;
}

constexpr int severity_error = 1, severity_warning = 2, severity_information = 3;

// No editor shows more problems than this for one document with profit; a
// document of garbage would otherwise send megabytes on every keystroke.
constexpr size_t max_diagnostics = 1000;

// Cuts a document's list to max_diagnostics, with a note of how many were
// left out.
void cap(json& list) {
  if (list.size() <= max_diagnostics) return;
  const size_t left_out = list.size() - max_diagnostics + 1;
  list.erase(list.begin() + static_cast<std::ptrdiff_t>(max_diagnostics - 1), list.end());
  list.push_back(
      {{"range",
        {{"start", {{"line", 0}, {"character", 0}}}, {"end", {{"line", 0}, {"character", 0}}}}},
       {"severity", severity_information},
       {"source", "scenario-tool"},
       {"code", "too-many"},
       {"message", std::to_string(left_out) +
                       " more problems not shown: scenario-tool check lists them all"}});
}

bool nesting_too_deep(std::string_view body) {
  int depth = 0;
  bool in_string = false;
  for (size_t i = 0; i < body.size(); ++i) {
    const char c = body[i];
    if (in_string) {
      if (c == '\\')
        ++i;
      else if (c == '"')
        in_string = false;
    } else if (c == '"') {
      in_string = true;
    } else if (c == '[' || c == '{') {
      if (++depth > max_nesting) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

std::string dump(const json& j) {
  return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

json response(const json& id, json result) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}};
}

json error_response(const json& id, int code, std::string_view message) {
  return {{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", message}}}};
}

json notification_message(std::string_view method, json params) {
  return {{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

// A whole number of the protocol, kept within what a position can be.
int64_t whole_number(const json& j, int64_t low, int64_t high) {
  if (!j.is_number_integer())
    throw rpc_failure{rpc_error::invalid_params, "a whole number expected"};
  const int64_t v = j.is_number_unsigned() && j.get<uint64_t>() > uint64_t(INT64_MAX)
                        ? INT64_MAX
                        : j.get<int64_t>();
  return std::clamp(v, low, high);
}

text_position position_of(const json& p) {
  constexpr int64_t most = int64_t{1} << 30;
  return {static_cast<int>(whole_number(p.at("line"), 0, most)),
          static_cast<int>(whole_number(p.at("character"), 0, most))};
}

const std::string& string_of(const json& j) {
  if (!j.is_string()) throw rpc_failure{rpc_error::invalid_params, "a string expected"};
  return j.get_ref<const std::string&>();
}

// The folder part of a URI (up to its last '/') and the name after it.
std::pair<std::string, std::string> split_uri(std::string_view uri) {
  const size_t slash = uri.rfind('/');
  if (slash == std::string_view::npos) return {"", std::string(uri)};
  return {std::string(uri.substr(0, slash + 1)), std::string(uri.substr(slash + 1))};
}

bool ends_with(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// The same document under two spellings of its URI.
std::string uri_key(std::string_view uri) {
  if (auto path = path_of_uri(uri)) return "file:" + *path;
  return std::string(uri);
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::string> path_of_uri(std::string_view uri) {
  constexpr std::string_view scheme = "file://";
  if (uri.size() < scheme.size() || lower_text(uri.substr(0, scheme.size())) != scheme)
    return std::nullopt;
  uri.remove_prefix(scheme.size());
  // An authority ("localhost") before the path is passed over.
  const size_t slash = uri.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  uri.remove_prefix(slash);
  std::string path;
  for (size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() + 0 && hex_value(uri[i + 1]) >= 0 &&
        hex_value(uri[i + 2]) >= 0) {
      path += static_cast<char>(hex_value(uri[i + 1]) * 16 + hex_value(uri[i + 2]));
      i += 2;
    } else {
      path += uri[i];
    }
  }
  return path;
}

std::string uri_of_path(std::string_view path) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (char ch : path) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
        std::string_view("-._~/").find(ch) != std::string_view::npos) {
      uri += ch;
    } else {
      uri += '%';
      uri += digits[c >> 4];
      uri += digits[c & 15];
    }
  }
  return uri;
}

const text_document* lsp_server::held(const std::string& uri) const {
  auto it = documents_.find(uri);
  return it == documents_.end() ? nullptr : &it->second.text;
}

std::vector<std::string> lsp_server::bad_header() {
  return {dump(error_response(nullptr, rpc_error::parse_error,
                              "a message without a readable Content-Length header"))};
}

std::vector<std::string> lsp_server::handle(std::string_view body) {
  outgoing_.clear();
  json message;
  if (nesting_too_deep(body)) {
    outgoing_.push_back(dump(error_response(nullptr, rpc_error::parse_error, "nested too deeply")));
    return std::move(outgoing_);
  }
  message = json::parse(body, nullptr, false);
  if (message.is_discarded()) {
    outgoing_.push_back(dump(error_response(nullptr, rpc_error::parse_error, "not JSON")));
    return std::move(outgoing_);
  }
  return dispatch(message);
}

std::vector<std::string> lsp_server::dispatch(const json& message) {
  if (!message.is_object()) {
    outgoing_.push_back(
        dump(error_response(nullptr, rpc_error::invalid_request, "a message is a JSON object")));
    return std::move(outgoing_);
  }
  json id = nullptr;
  const bool has_id = message.contains("id");
  if (has_id) {
    id = message["id"];
    if (!id.is_string() && !id.is_number_integer()) {
      outgoing_.push_back(dump(error_response(nullptr, rpc_error::invalid_request,
                                              "an id is a string or a whole number")));
      return std::move(outgoing_);
    }
  }
  const auto method_it = message.find("method");
  if (method_it == message.end()) {
    // A response to a request of ours (the server sends none): dropped.
    if (has_id && (message.contains("result") || message.contains("error")))
      return std::move(outgoing_);
    outgoing_.push_back(dump(error_response(id, rpc_error::invalid_request, "no method")));
    return std::move(outgoing_);
  }
  const auto version = message.find("jsonrpc");
  if (!method_it->is_string() || version == message.end() || *version != "2.0") {
    if (has_id)
      outgoing_.push_back(dump(error_response(id, rpc_error::invalid_request,
                                              "a request has a method and \"jsonrpc\": \"2.0\"")));
    return std::move(outgoing_);
  }
  const std::string& method = method_it->get_ref<const std::string&>();
  json params = message.contains("params") ? message["params"] : json::object();
  if (params.is_null()) params = json::object();
  if (!params.is_object() && !params.is_array()) {
    if (has_id)
      outgoing_.push_back(
          dump(error_response(id, rpc_error::invalid_params, "params are an object or an array")));
    return std::move(outgoing_);
  }

  if (!has_id) {
    try {
      notification(method, params);
    } catch (const rpc_failure&) {
      // A notification has no answer: a malformed one is dropped.
    } catch (const json::exception&) {
    }
    return std::move(outgoing_);
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
  outgoing_.push_back(dump(answer));
  return std::move(outgoing_);
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
  const std::string& uri = string_of(params.at("textDocument").at("uri"));
  if (!documents_.count(uri)) return nullptr;
  document_pair pair = pair_of(uri);
  const document_view& self = documents_[uri].kind == document_kind::line_description
                                  ? (pair.line ? *pair.line : *pair.train)
                                  : (pair.train ? *pair.train : *pair.line);
  if (method == "textDocument/documentSymbol") return outline_of(self);
  const text_position at = position_of(params.at("position"));
  if (method == "textDocument/completion") return completion_at(self, at);
  if (method == "textDocument/definition") return definition_at(pair, self, at);
  // Hover: the pair's compile says what lies in a cell.
  std::optional<compile_result> compiled;
  if (pair.line && pair.train) {
    compile_input in;
    in.line_description = pair.line->source.text();
    in.train_document = pair.train->source.text();
    in.with_plan = false;
    compiled = compile_documents(in);
  }
  return hover_at(pair, self, at, compiled ? &compiled->compiled : nullptr);
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

namespace {

document_kind kind_of(const std::string& uri, const text_document& text) {
  const document_kind by_name = kind_by_name(split_uri(uri).second);
  if (by_name != document_kind::unknown) return by_name;
  return kind_by_content(to_windows1252(text.text()));
}

}  // namespace

void lsp_server::did_open(const json& params) {
  const json& doc = params.at("textDocument");
  const std::string& uri = string_of(doc.at("uri"));
  open_document& d = documents_[uri];
  d.text.set_text(string_of(doc.at("text")));
  d.version = doc.contains("version") ? whole_number(doc["version"], INT32_MIN, INT32_MAX) : 0;
  d.kind = kind_of(uri, d.text);
  publish_around(uri);
}

void lsp_server::did_change(const json& params) {
  const json& doc = params.at("textDocument");
  const std::string& uri = string_of(doc.at("uri"));
  auto it = documents_.find(uri);
  if (it == documents_.end()) return;
  open_document& d = it->second;
  const json& changes = params.at("contentChanges");
  if (!changes.is_array()) throw rpc_failure{rpc_error::invalid_params, "contentChanges"};
  for (const json& change : changes) {
    const std::string& text = string_of(change.at("text"));
    if (change.contains("range")) {
      const json& range = change["range"];
      d.text.replace(position_of(range.at("start")), position_of(range.at("end")), text);
    } else {
      d.text.set_text(text);
    }
  }
  if (doc.contains("version")) d.version = whole_number(doc["version"], INT32_MIN, INT32_MAX);
  d.kind = kind_of(uri, d.text);
  publish_around(uri);
}

void lsp_server::did_close(const json& params) {
  const std::string& uri = string_of(params.at("textDocument").at("uri"));
  if (!documents_.erase(uri)) return;
  outgoing_.push_back(dump(notification_message("textDocument/publishDiagnostics",
                                                {{"uri", uri}, {"diagnostics", json::array()}})));
  // Its partners now pair with the disk, or with nothing.
  const std::string folder = split_uri(uri).first;
  for (const auto& [other, d] : documents_)
    if (split_uri(other).first == folder) publish_pair(other);
}

std::string lsp_server::partner_of(const std::string& uri, document_kind kind, std::string* path) {
  path->clear();
  if (kind == document_kind::unknown) return {};
  const auto [folder, name] = split_uri(uri);
  const document_kind wanted = kind == document_kind::line_description
                                   ? document_kind::train_document
                                   : document_kind::line_description;
  // The file names that pair by name.
  auto pairs_by_name = [&, name = name](std::string_view other) {
    if (kind == document_kind::train_document) {
      const size_t underscore = name.rfind('_');
      return underscore != std::string::npos && other == name.substr(0, underscore) + "_linea.txt";
    }
    const std::string prefix = name.substr(0, name.size() - std::string_view("linea.txt").size());
    return kind_by_name(name) == document_kind::line_description && other.size() > prefix.size() &&
           other.compare(0, prefix.size(), prefix) == 0 && ends_with(other, "-.txt");
  };
  // First what the editor holds: by name, then any document of the wanted
  // kind in the same folder.
  for (int pass = 0; pass < 2; ++pass)
    for (const auto& [other, d] : documents_) {
      const auto [other_folder, other_name] = split_uri(other);
      if (other == uri || uri_key(other_folder) != uri_key(folder) || d.kind != wanted) continue;
      if (pass == 1 || pairs_by_name(other_name)) return other;
    }
  // Then the disk, by name.
  std::optional<std::string> dir = path_of_uri(folder);
  if (!dir || dir->empty()) return {};
  std::vector<std::string> names;
  std::string reason;
  const std::string listed = dir->size() > 1 ? dir->substr(0, dir->size() - 1) : *dir;
  if (!disk_.list_directory(listed, &names, &reason)) return {};
  std::sort(names.begin(), names.end());
  for (const std::string& other : names) {
    if (other == name || !pairs_by_name(other)) continue;
    if (disk_.stat(*dir + other) != disk::entry::file) continue;
    *path = *dir + other;
    return uri_of_path(*path);
  }
  return {};
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
  std::string path;
  const std::string partner = partner_of(uri, kind, &path);
  std::optional<document_view> other;
  if (!partner.empty())
    other = path.empty() ? view_of_held(partner)
                         : view_of_file(path, kind == document_kind::line_description
                                                  ? document_kind::train_document
                                                  : document_kind::line_description);
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
    std::string path;
    if (partner_of(other, d.kind, &path) == uri) publish_pair(other);
  }
}

void lsp_server::publish_pair(const std::string& uri) {
  const auto it = documents_.find(uri);
  if (it == documents_.end()) return;
  const document_kind kind = it->second.kind;
  json line_diagnostics = json::array(), train_diagnostics = json::array();
  if (kind == document_kind::unknown) {
    outgoing_.push_back(dump(notification_message("textDocument/publishDiagnostics",
                                                  {{"uri", uri}, {"diagnostics", json::array()}})));
    return;
  }
  const document_pair pair = pair_of(uri);
  const bool lone = !pair.line || !pair.train;
  check_input in;
  in.line_description = pair.line ? std::string_view(pair.line->source.text()) : lone_line();
  in.train_document = pair.train ? std::string_view(pair.train->source.text()) : lone_train;
  const std::vector<finding> found = check_documents(in, {});
  const document_view& self = kind == document_kind::line_description ? *pair.line : *pair.train;

  for (const finding& f : found) {
    source_document where = f.document;
    if (where == source_document::none)
      where = kind == document_kind::line_description && lone ? source_document::line_description
                                                              : source_document::train_document;
    const bool on_line = where == source_document::line_description;
    const std::optional<document_view>& target = on_line ? pair.line : pair.train;
    if (!target) continue;  // a finding in the stand-in partner
    const int line = std::max(0, f.line - 1);
    std::string line_text(target->source.line(line));
    int begin = 0, end = 0;
    if (f.line > 0 && f.column > 0) {
      std::tie(begin, end) = field_extent(line_text, f.column - 1);
    } else if (f.line > 0) {
      begin = static_cast<int>(std::min(line_text.size(), line_text.find_first_not_of(" \t")));
      end = static_cast<int>(line_text.size());
    }
    json d = {{"range",
               {{"start", {{"line", line}, {"character", target->editor_column(line, begin)}}},
                {"end", {{"line", line}, {"character", target->editor_column(line, end)}}}}},
              {"severity", f.level == diagnostic_level::error ? severity_error : severity_warning},
              {"source", "scenario-tool"},
              {"message", f.message}};
    json data = {{"fromCompile", f.from_compile}};
    if (f.code) {
      d["code"] = fault_number(*f.code);
      data["kind"] = "fault";
    } else if (f.kind) {
      d["code"] = std::string(warning_name(*f.kind));
      data["kind"] = std::string(warning_name(*f.kind));
    }
    if (f.position) data["position"] = *f.position;
    d["data"] = std::move(data);
    (on_line ? line_diagnostics : train_diagnostics).push_back(std::move(d));
  }
  cap(line_diagnostics);
  cap(train_diagnostics);
  if (lone) {
    const std::string note =
        kind == document_kind::line_description
            ? "no train document beside this line description: it is checked alone"
            : "no line description beside this train document: it is checked alone, on a route "
              "of " +
                  std::to_string(longest_route) + " m with nothing on it";
    json d = {
        {"range",
         {{"start", {{"line", 0}, {"character", 0}}}, {"end", {{"line", 0}, {"character", 0}}}}},
        {"severity", severity_information},
        {"source", "scenario-tool"},
        {"code", "no-partner"},
        {"message", note}};
    json& list = kind == document_kind::line_description ? line_diagnostics : train_diagnostics;
    list.insert(list.begin(), std::move(d));
  }

  auto publish = [&](const document_view& v, json diagnostics) {
    json params = {{"uri", v.uri}, {"diagnostics", std::move(diagnostics)}};
    if (auto held = documents_.find(v.uri); held != documents_.end())
      params["version"] = held->second.version;
    outgoing_.push_back(dump(notification_message("textDocument/publishDiagnostics", params)));
  };
  const bool self_is_line = kind == document_kind::line_description;
  publish(self, self_is_line ? line_diagnostics : train_diagnostics);
  // The partner too, when it pairs back with this document.
  const std::optional<document_view>& other = self_is_line ? pair.train : pair.line;
  if (other) {
    std::string path;
    const document_kind other_kind =
        self_is_line ? document_kind::train_document : document_kind::line_description;
    const std::string back =
        documents_.count(other->uri) ? partner_of(other->uri, other_kind, &path) : uri;
    if (back.empty() || uri_key(back) == uri_key(uri))
      publish(*other, self_is_line ? train_diagnostics : line_diagnostics);
  }
}

int serve_lsp(std::istream& in, std::ostream& out, disk& files) {
  lsp_server server(files);
  frame_reader reader(in);
  std::string body;
  for (;;) {
    const frame_status status = reader.next(&body);
    if (status == frame_status::end_of_input) return server.exit_status();
    const std::vector<std::string> replies =
        status == frame_status::message ? server.handle(body) : server.bad_header();
    for (const std::string& r : replies) out << framed(r);
    out.flush();
    if (server.exited()) return server.exit_status();
    if (!out) return 1;
  }
}
