#include "lsp/protocol.h"

#include <algorithm>

namespace lsp {

using nlohmann::json;

namespace {

int severity_number(diagnostic_severity s) {
  switch (s) {
    case diagnostic_severity::error:
      return 1;
    case diagnostic_severity::warning:
      return 2;
    case diagnostic_severity::information:
      return 3;
    case diagnostic_severity::hint:
      return 4;
  }
  return 1;
}

int symbol_number(symbol_kind k) {
  switch (k) {
    case symbol_kind::section:
      return 3;  // Namespace
    case symbol_kind::number:
      return 16;  // Number
    case symbol_kind::text:
      return 15;  // String
    case symbol_kind::station:
      return 23;  // Struct
    case symbol_kind::signal:
      return 24;  // Event
    case symbol_kind::restriction:
      return 25;  // Operator
  }
  return 3;
}

constexpr int completion_keyword = 14;
constexpr int plain_text_format = 1, snippet_format = 2;

}  // namespace

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
      if (++depth > max_json_nesting) return true;
    } else if (c == ']' || c == '}') {
      --depth;
    }
  }
  return false;
}

int64_t whole_number_from(const json& j, int64_t low, int64_t high) {
  if (!j.is_number_integer())
    throw rpc_failure{rpc_error::invalid_params, "a whole number expected"};
  const int64_t v = j.is_number_unsigned() && j.get<uint64_t>() > uint64_t(INT64_MAX)
                        ? INT64_MAX
                        : j.get<int64_t>();
  return std::clamp(v, low, high);
}

const std::string& string_from(const json& j) {
  if (!j.is_string()) throw rpc_failure{rpc_error::invalid_params, "a string expected"};
  return j.get_ref<const std::string&>();
}

text_position position_from(const json& j) {
  constexpr int64_t most = int64_t{1} << 30;
  return {static_cast<int>(whole_number_from(j.at("line"), 0, most)),
          static_cast<int>(whole_number_from(j.at("character"), 0, most))};
}

text_range range_from(const json& j) {
  return {position_from(j.at("start")), position_from(j.at("end"))};
}

std::vector<content_change> changes_from(const json& j) {
  if (!j.is_array()) throw rpc_failure{rpc_error::invalid_params, "contentChanges is an array"};
  std::vector<content_change> out;
  for (const json& change : j) {
    content_change c;
    c.text = string_from(change.at("text"));
    if (change.contains("range")) c.range = range_from(change["range"]);
    out.push_back(std::move(c));
  }
  return out;
}

json to_json(const text_position& p) {
  return {{"line", p.line}, {"character", p.character}};
}

json to_json(const text_range& r) {
  return {{"start", to_json(r.start)}, {"end", to_json(r.end)}};
}

json to_json(const location& l) {
  return {{"uri", l.uri}, {"range", to_json(l.range)}};
}

json to_json(const text_edit& e) {
  return {{"range", to_json(e.range)}, {"newText", e.new_text}};
}

json to_json(const diagnostic& d) {
  json j = {{"range", to_json(d.range)},
            {"severity", severity_number(d.severity)},
            {"source", "scenario-tool"},
            {"message", d.message}};
  if (d.fault)
    j["code"] = *d.fault;
  else if (!d.kind.empty())
    j["code"] = d.kind;
  // Notes of the server itself carry no data.
  if (d.severity != diagnostic_severity::information) {
    json data = {{"fromCompile", d.from_compile}};
    if (!d.kind.empty()) data["kind"] = d.kind;
    if (d.position) data["position"] = *d.position;
    j["data"] = std::move(data);
  }
  if (!d.related.empty()) {
    json related = json::array();
    for (const related_place& r : d.related)
      related.push_back({{"location", to_json(r.where)}, {"message", r.message}});
    j["relatedInformation"] = std::move(related);
  }
  return j;
}

json to_json(const hover_text& h) {
  return {{"contents", {{"kind", "markdown"}, {"value", h.markdown}}}, {"range", to_json(h.range)}};
}

json to_json(const completion_item& i) {
  json j = {{"label", i.label},
            {"kind", completion_keyword},
            {"detail", i.detail},
            {"textEdit", to_json(i.edit)},
            {"insertTextFormat", i.snippet ? snippet_format : plain_text_format}};
  if (!i.documentation.empty()) j["documentation"] = i.documentation;
  if (!i.filter_text.empty()) j["filterText"] = i.filter_text;
  return j;
}

json to_json(const document_symbol& s) {
  json j = {{"name", s.name},
            {"kind", symbol_number(s.kind)},
            {"range", to_json(s.range)},
            {"selectionRange", to_json(s.selection_range)}};
  if (!s.detail.empty()) j["detail"] = s.detail;
  if (s.kind == symbol_kind::section || !s.children.empty()) j["children"] = to_json(s.children);
  return j;
}

json to_json(const code_action& a) {
  json changes = json::object();
  for (const auto& [uri, edits] : a.edits) changes[uri] = to_json(edits);
  json j = {{"title", a.title}, {"kind", "quickfix"}, {"edit", {{"changes", changes}}}};
  if (!a.mends.empty()) j["diagnostics"] = to_json(a.mends);
  if (a.preferred) j["isPreferred"] = true;
  return j;
}

json to_json(const signature& s) {
  json parameters = json::array();
  for (const signature::parameter& p : s.parameters)
    parameters.push_back({{"label", p.label}, {"documentation", p.documentation}});
  return {
      {"signatures",
       json::array(
           {{{"label", s.label}, {"documentation", s.documentation}, {"parameters", parameters}}})},
      {"activeSignature", 0},
      {"activeParameter", s.active}};
}

json to_json(const inlay_hint& h) {
  return {{"position", to_json(h.at)}, {"label", h.label}, {"tooltip", h.tooltip}};
}

json to_json(const folding_range& f) {
  return {{"startLine", f.start_line}, {"endLine", f.end_line}, {"kind", "region"}};
}

json to_json(const symbol_information& s) {
  return {{"name", s.name},
          {"kind", symbol_number(s.kind)},
          {"location", to_json(s.where)},
          {"containerName", s.container}};
}

json semantic_token_legend() {
  return {{"tokenTypes", {"keyword", "number", "string", "namespace", "comment"}},
          {"tokenModifiers", json::array()}};
}

json semantic_tokens_json(const std::vector<semantic_token>& tokens) {
  json data = json::array();
  int line = 0, character = 0;
  for (const semantic_token& t : tokens) {
    const int delta_line = t.line - line;
    data.push_back(delta_line);
    data.push_back(delta_line == 0 ? t.character - character : t.character);
    data.push_back(t.length);
    data.push_back(static_cast<int>(t.kind));
    data.push_back(0);
    line = t.line;
    character = t.character;
  }
  return {{"data", data}};
}

std::string response(const json& id, std::string_view dumped_result) {
  const std::string dumped_id = dump(id);
  std::string out;
  out.reserve(dumped_result.size() + dumped_id.size() + 36);
  out.append(R"({"id":)").append(dumped_id).append(R"(,"jsonrpc":"2.0","result":)");
  out.append(dumped_result).push_back('}');
  return out;
}

std::string error_response(const json& id, int code, std::string_view message) {
  return R"({"error":{"code":)" + std::to_string(code) + R"(,"message":)" + dump(json(message)) +
         R"(},"id":)" + dump(id) + R"(,"jsonrpc":"2.0"})";
}

json notification_message(std::string_view method, json params) {
  return {{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

json diagnostics_notification(const std::string& uri, std::optional<int64_t> version,
                              const std::vector<diagnostic>& list) {
  json params = {{"uri", uri}, {"diagnostics", to_json(list)}};
  if (version) params["version"] = *version;
  return notification_message("textDocument/publishDiagnostics", std::move(params));
}

std::string dump(const json& j) {
  return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace lsp
