#include "lsp/outline.h"

#include "lsp/route_places.h"
#include "runtime/windows1252.h"

namespace lsp {

namespace {

std::string utf8(std::string_view windows1252) {
  return runtime::windows1252_to_utf8(windows1252);
}

document_symbol symbol(const document_view& d, const record_line& r, std::string name,
                       std::string detail, symbol_kind kind) {
  document_symbol s;
  s.name = name.empty() ? std::string("(unnamed)") : std::move(name);
  s.detail = std::move(detail);
  s.kind = kind;
  s.range = d.editor_range(r.line, 0, r.fields.back().end);
  s.selection_range = d.editor_range(r.line, r.fields[0].begin, r.fields[0].end);
  return s;
}

}  // namespace

std::vector<document_symbol> outline_of(const document_view& d) {
  std::vector<document_symbol> top;
  document_symbol* section = nullptr;
  for (const record_line& r : d.records) {
    if (r.is_section) {
      top.push_back(symbol(d, r, utf8(r.fields[0].text), "", symbol_kind::section));
      section = &top.back();
      continue;
    }
    if (r.kinds.empty() || !compiler::record_of(r.kinds[0]).in_outline) continue;
    const compiler::record_kind k = r.kinds[0];
    const auto position = record_position(r);
    std::string at = position ? grouped(*position) + " m" : std::string();
    auto number = [&](size_t i) -> std::string {
      return r.fields.size() > i && r.fields[i].number ? std::to_string(*r.fields[i].number) : "?";
    };
    document_symbol s;
    switch (k) {
      case compiler::record_kind::station:
        s = symbol(d, r, utf8(r.fields.size() > 17 ? r.fields[17].text : std::string("stazione")),
                   "station, " + at, symbol_kind::station);
        break;
      case compiler::record_kind::signal:
        s = symbol(d, r, "segnale " + at, "signal", symbol_kind::signal);
        break;
      case compiler::record_kind::restriction:
        s = symbol(d, r, "rallentamento " + at, number(2) + " km/h over " + number(3) + " m",
                   symbol_kind::restriction);
        break;
      case compiler::record_kind::speed_board:
        s = symbol(d, r, "indicatori_vmax " + at, "maximum-speed board", symbol_kind::number);
        break;
      case compiler::record_kind::text_board:
        s = symbol(d, r, utf8(r.fields.size() > 2 ? r.fields[2].text : std::string()),
                   "text board, " + at, symbol_kind::text);
        break;
      default:
        continue;
    }
    if (section)
      section->children.push_back(std::move(s));
    else
      top.push_back(std::move(s));
  }
  // A section's range runs to its last record.
  for (document_symbol& s : top)
    if (s.kind == symbol_kind::section && !s.children.empty())
      s.range.end = s.children.back().range.end;
  return top;
}

}  // namespace lsp
