#include "lsp/completion.h"

#include <algorithm>

namespace {

std::string unit_suffix(std::string_view unit) {
  return unit.empty() ? "" : " " + std::string(unit);
}

// The place the readers are at on a line: that of the record on it, else
// that after the record before it.
std::optional<record_place> place_at(const document_view& d, int line) {
  std::optional<record_place> place;
  for (const record_line& r : d.records) {
    if (r.line > line) break;
    place = r.place;
  }
  return place;
}

// "${1|s,d|}": a choice among a keyword part's codes.
std::string choice_of(const keyword_part& part, int n) {
  std::string s = "${" + std::to_string(n) + "|";
  for (size_t i = 0; i < part.codes.size(); ++i)
    s += (i ? "," : "") + std::string(part.codes[i].value);
  return s + "|}";
}

std::string snippet_of(const record_description& form) {
  std::string s;
  int n = 1;
  if (form.kind == record_kind::curve) {
    s = std::string(form.keyword);
    for (const keyword_part& part : form.keyword_parts) s += choice_of(part, n++);
  } else if (form.kind == record_kind::signal_repetition) {
    s = "ripetizione segnali " + choice_of(form.keyword_parts[0], n++) + " codici";
  } else {
    s = std::string(form.keyword);
  }
  const auto help = form.fields;
  for (size_t i = 0; i < help.size(); ++i) {
    std::string name(help[i].name);
    std::replace(name.begin(), name.end(), ',', ' ');
    // A text at the end of a line runs after a blank (the station's name).
    const bool last_text = help[i].storage == field_storage::text && i + 1 == help.size() &&
                           form.kind == record_kind::station;
    s += last_text ? " " : ",  ";
    s += "${" + std::to_string(n++) + ":" + name + "}";
  }
  return s;
}

}  // namespace

std::vector<completion_item> completion_at(const document_view& self, text_position at) {
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
  const std::optional<record_place> place = place_at(self, at.line);
  const text_range range = self.editor_range(at.line, begin, end);
  if (!place) {
    completion_item i;
    i.label = "[generale]";
    i.detail = "the general section, where the readers begin";
    i.edit = {range, "[generale]"};
    items.push_back(std::move(i));
    return items;
  }
  for (const record_description& form : all_records()) {
    if (form.place != *place) continue;
    completion_item i;
    i.documentation = std::string(form.summary) + ": ";
    bool first = true;
    for (const record_field& f : form.fields) {
      i.documentation += (first ? "" : ", ") + std::string(f.name) + unit_suffix(f.unit);
      first = false;
    }
    i.label = form.kind == record_kind::curve ? std::string("curvas / curvad")
                                              : std::string(form.keyword);
    i.detail = std::string(form.summary);
    i.filter_text = std::string(form.keyword);
    i.snippet = true;
    i.edit = {range, has_values ? std::string(form.keyword) : snippet_of(form)};
    items.push_back(std::move(i));
  }
  return items;
}
