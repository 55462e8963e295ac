#include "lsp/protocol.h"

#include <algorithm>

#include "lsp/json_bytes.h"

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
  const char* const p = body.data();
  const size_t n = body.size();
  size_t i = 0;
  while (i < n) {
    // Up to the next quote or bracket.
    while (i < n && json_byte_of(p[i]) == json_byte::plain) ++i;
    if (i == n) break;
    const json_byte b = json_byte_of(p[i++]);
    if (b == json_byte::quote) {
      bool escaped;
      const size_t quote = closing_quote(p, i, n, &escaped);
      i = quote + (quote < n);
    } else if (b == json_byte::opening) {
      if (++depth > max_json_nesting) return true;
    } else {
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

namespace {

// Appends `s` as a JSON string, as dump() writes it: text of printable
// ASCII without quotes or backslashes as it is, anything else by dump().
void append_string(std::string& out, std::string_view s) {
  const bool plain = std::all_of(
      s.begin(), s.end(), [](char c) { return c >= 0x20 && c < 0x7f && c != '"' && c != '\\'; });
  if (!plain) {
    out.append(dump(json(s)));
    return;
  }
  out.push_back('"');
  out.append(s);
  out.push_back('"');
}

void append_id(std::string& out, const json& id) {
  if (id.is_null())
    out.append("null");
  else if (id.is_string())
    append_string(out, id.get_ref<const std::string&>());
  else
    out.append(dump(id));
}

void append_number(std::string& out, int64_t n) {
  out.append(std::to_string(n));
}

void append_position(std::string& out, const text_position& p) {
  out.append(R"({"character":)");
  append_number(out, p.character);
  out.append(R"(,"line":)");
  append_number(out, p.line);
  out.push_back('}');
}

void append_range(std::string& out, const text_range& r) {
  out.append(R"({"end":)");
  append_position(out, r.end);
  out.append(R"(,"start":)");
  append_position(out, r.start);
  out.push_back('}');
}

// A diagnostic as dump(to_json(d)) writes it, members in name order.
void append_diagnostic(std::string& out, const diagnostic& d) {
  out.push_back('{');
  if (d.fault) {
    out.append(R"("code":)");
    append_number(out, *d.fault);
    out.push_back(',');
  } else if (!d.kind.empty()) {
    out.append(R"("code":)");
    append_string(out, d.kind);
    out.push_back(',');
  }
  if (d.severity != diagnostic_severity::information) {
    out.append(R"("data":{"fromCompile":)").append(d.from_compile ? "true" : "false");
    if (!d.kind.empty()) {
      out.append(R"(,"kind":)");
      append_string(out, d.kind);
    }
    if (d.position) {
      out.append(R"(,"position":)");
      append_number(out, *d.position);
    }
    out.append("},");
  }
  out.append(R"("message":)");
  append_string(out, d.message);
  out.append(R"(,"range":)");
  append_range(out, d.range);
  if (!d.related.empty()) {
    out.append(R"(,"relatedInformation":[)");
    for (size_t i = 0; i < d.related.size(); ++i) {
      const related_place& r = d.related[i];
      if (i > 0) out.push_back(',');
      out.append(R"({"location":{"range":)");
      append_range(out, r.where.range);
      out.append(R"(,"uri":)");
      append_string(out, r.where.uri);
      out.append(R"(},"message":)");
      append_string(out, r.message);
      out.push_back('}');
    }
    out.push_back(']');
  }
  out.append(R"(,"severity":)");
  append_number(out, severity_number(d.severity));
  out.append(R"(,"source":"scenario-tool"})");
}

}  // namespace

std::string response(const json& id, std::string_view dumped_result) {
  std::string out;
  out.reserve(dumped_result.size() + 64);
  out.append(R"({"id":)");
  append_id(out, id);
  out.append(R"(,"jsonrpc":"2.0","result":)");
  out.append(dumped_result).push_back('}');
  return out;
}

std::string error_response(const json& id, int code, std::string_view message) {
  std::string out;
  out.reserve(message.size() + 96);
  out.append(R"({"error":{"code":)").append(std::to_string(code)).append(R"(,"message":)");
  append_string(out, message);
  out.append(R"(},"id":)");
  append_id(out, id);
  out.append(R"(,"jsonrpc":"2.0"})");
  return out;
}

json notification_message(std::string_view method, json params) {
  return {{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}};
}

std::string diagnostics_notification(const std::string& uri, std::optional<int64_t> version,
                                     const std::vector<diagnostic>& list) {
  std::string out;
  out.reserve(uri.size() + 128 + 256 * list.size());
  out.append(R"({"jsonrpc":"2.0","method":"textDocument/publishDiagnostics","params":)");
  out.append(R"({"diagnostics":[)");
  for (size_t i = 0; i < list.size(); ++i) {
    if (i > 0) out.push_back(',');
    append_diagnostic(out, list[i]);
  }
  out.push_back(']');
  out.append(R"(,"uri":)");
  append_string(out, uri);
  if (version) out.append(R"(,"version":)").append(std::to_string(*version));
  out.append("}}");
  return out;
}

std::string dump(const json& j) {
  return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace lsp
