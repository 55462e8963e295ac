#include "lsp/completion.h"

#include <algorithm>

#include "runtime/windows1252.h"

namespace lsp {

namespace {

std::string unit_suffix(std::string_view unit) {
  return unit.empty() ? "" : " " + std::string(unit);
}

// The place the readers are at on a line: that of the record on it, else
// that after the record before it.
std::optional<compiler::record_place> place_at(const document_view& d, int line) {
  std::optional<compiler::record_place> place;
  for (const record_line& r : d.records) {
    if (r.line > line) break;
    place = r.place;
  }
  return place;
}

// "${1|s,d|}": a choice among a keyword part's codes.
std::string choice_of(const compiler::keyword_part& part, int n) {
  std::string s = "${" + std::to_string(n) + "|";
  for (size_t i = 0; i < part.codes.size(); ++i)
    s += (i ? "," : "") + std::string(part.codes[i].value);
  return s + "|}";
}

// The keyword of a record whole: with a choice for each value it carries
// (a curve's side and class, the code count of signal repetition), or,
// without snippets, with the first of each.
std::string keyword_of(const compiler::record_description& form, bool snippets, int& n) {
  auto part = [&](size_t i) {
    const compiler::keyword_part& p = form.keyword_parts[i];
    return snippets ? choice_of(p, n++) : std::string(p.codes[0].value);
  };
  if (form.kind == compiler::record_kind::curve)
    return std::string(form.keyword) + part(0) + part(1);
  if (form.kind == compiler::record_kind::signal_repetition)
    return "ripetizione segnali " + part(0) + " codici";
  return std::string(form.keyword);
}

std::string snippet_of(const compiler::record_description& form) {
  int n = 1;
  std::string s = keyword_of(form, true, n);
  const auto help = form.fields;
  for (size_t i = 0; i < help.size(); ++i) {
    std::string name(help[i].name);
    std::replace(name.begin(), name.end(), ',', ' ');
    // A text at the end of a line runs after a blank (the station's name).
    const bool last_text = help[i].storage == compiler::field_storage::text &&
                           i + 1 == help.size() && form.kind == compiler::record_kind::station;
    s += last_text ? " " : ",  ";
    s += "${" + std::to_string(n++) + ":" + name + "}";
  }
  return s;
}

}  // namespace

std::vector<completion_item> completion_at(const document_view& self, text_position at,
                                           bool snippets) {
  std::vector<completion_item> items;
  const int column = self.document_column(at.line, at.character);
  const record_line* r = self.record_at(at.line);
  int begin = column, end = column;
  bool has_values = false;
  if (r) {
    // Keywords are offered only in keyword position; on a line that has its
    // values already, without them.
    const field_span& k = r->fields[0];
    if (column < k.begin || column > k.end) return items;
    begin = k.begin;
    end = k.end;
    has_values = r->has_values;
  }
  const std::optional<compiler::record_place> place = place_at(self, at.line);
  const text_range range = self.editor_range(at.line, begin, end);
  if (!place) {
    completion_item i;
    i.label = "[generale]";
    i.detail = "the general section, where the readers begin";
    i.edit = {range, "[generale]"};
    items.push_back(std::move(i));
    return items;
  }
  for (const compiler::record_description& form : compiler::all_records()) {
    if (form.place != *place) continue;
    completion_item i;
    i.documentation = std::string(form.summary) + ": ";
    bool first = true;
    for (const compiler::record_field& f : form.fields) {
      i.documentation += (first ? "" : ", ") + std::string(f.name) + unit_suffix(f.unit);
      first = false;
    }
    i.label = form.kind == compiler::record_kind::curve ? std::string("curvas / curvad")
                                                        : std::string(form.keyword);
    i.detail = std::string(form.summary);
    i.filter_text = std::string(form.keyword);
    // On a line with values, the keyword alone, and whole: the record's own
    // keyword stays as it is written (a curve keeps its side and class).
    int n = 1;
    std::string text;
    if (has_values && std::count(r->kinds.begin(), r->kinds.end(), form.kind))
      text = runtime::windows1252_to_utf8(r->fields[0].text);
    else if (has_values || !snippets)
      text = keyword_of(form, snippets, n);
    else
      text = snippet_of(form);
    i.snippet = snippets && text.find("${") != std::string::npos;
    i.edit = {range, std::move(text)};
    items.push_back(std::move(i));
  }
  return items;
}

}  // namespace lsp
