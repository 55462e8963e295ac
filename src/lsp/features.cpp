#include "lsp/features.h"

#include <algorithm>

#include "model/track_grid.h"
#include "runtime/windows1252.h"
#include "tool/package_summary.h"

using nlohmann::json;

namespace {

// Protocol kinds (SymbolKind, CompletionItemKind, InsertTextFormat).
constexpr int symbol_namespace = 3, symbol_number = 16, symbol_string = 15, symbol_struct = 23,
              symbol_event = 24, symbol_operator = 25;
constexpr int completion_keyword = 14;
constexpr int snippet_format = 2;

json position_json(int line, int character) {
  return {{"line", line}, {"character", character}};
}

json range_json(const document_view& d, int line, int begin, int end) {
  return {{"start", position_json(line, d.editor_column(line, begin))},
          {"end", position_json(line, d.editor_column(line, end))}};
}

std::string utf8(std::string_view windows1252) {
  return windows1252_to_utf8(windows1252);
}

std::string_view document_name(document_kind k) {
  return k == document_kind::line_description ? "line description" : "train document";
}

// "12 345" for 12345.
std::string grouped(int64_t v) {
  std::string digits = std::to_string(v < 0 ? -v : v), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ' ';
    out += digits[i];
  }
  return (v < 0 ? "-" : "") + out;
}

// Every record of a document with its place in metres, for the searches
// below.
struct placed_record {
  const record_line* record;
  int32_t position;
};
std::vector<placed_record> placed_records(const document_view& d) {
  std::vector<placed_record> out;
  for (const record_line& r : d.records)
    if (auto p = record_position(r)) out.push_back({&r, *p});
  return out;
}

// Whether a record covers route metre p: a point object when it lies in p's
// point cell, a stretch when p lies on it (up to the next record of its
// kind for gradients, speed limits and adhesion).
std::vector<const record_line*> records_at(const document_view& d, int32_t p) {
  std::vector<const record_line*> out;
  const std::vector<placed_record> placed = placed_records(d);
  for (size_t i = 0; i < placed.size(); ++i) {
    const record_line& r = *placed[i].record;
    const record_kind k = r.kinds[0];
    const record_reach reach = record_of(k).reach;
    const int32_t at = placed[i].position;
    if (reach == record_reach::none) continue;
    if (reach == record_reach::point) {
      if (point_cell(at) == point_cell(p)) out.push_back(&r);
      continue;
    }
    auto value = [&](size_t field) -> std::optional<int64_t> {
      return r.fields.size() > field ? r.fields[field].number : std::nullopt;
    };
    if (reach == record_reach::for_length) {
      if (auto len = value(2); len && p >= at && p < at + *len) out.push_back(&r);
    } else if (reach == record_reach::to_end) {
      if (auto end = value(2); end && p >= at && p <= *end) out.push_back(&r);
    } else if (p >= at) {
      // Up to the next record of the same kind.
      bool superseded = false;
      for (size_t j = i + 1; j < placed.size(); ++j)
        if (placed[j].record->kinds[0] == k && placed[j].position <= p && placed[j].position > at) {
          superseded = true;
          break;
        }
      if (!superseded) out.push_back(&r);
    }
  }
  return out;
}

std::string record_title(const record_line& r) {
  return std::string(record_of(r.kinds[0]).summary);
}

std::string unit_suffix(std::string_view unit) {
  return unit.empty() ? "" : " " + std::string(unit);
}

// The values a field takes and, for a code, what each means.
std::string accepted_values(const record_field& f) {
  std::string s;
  if (!f.accepts.empty()) s += "\n\nValues: " + std::string(f.accepts) + ".";
  for (const value_code& c : f.codes)
    s += "\n- `" + std::string(c.value) + "`: " + std::string(c.meaning);
  return s;
}

json markdown(const std::string& text) {
  return {{"contents", {{"kind", "markdown"}, {"value", text}}}};
}

std::string keyword_hover(const record_line& r, const document_view& self) {
  const record_description& form = record_of(r.kinds[0]);
  std::string s = "**" + std::string(form.keyword) + "**: " + std::string(form.summary) + " (" +
                  std::string(document_name(self.kind)) + ")\n\n" + std::string(form.meaning) +
                  "\n\nFields after the keyword:\n";
  int n = 1;
  for (const record_field& f : form.fields)
    s += "\n" + std::to_string(n++) + ". `" + std::string(f.name) + "`" +
         (f.unit.empty() ? "" : " (" + std::string(f.unit) + ")") + ": " + std::string(f.meaning);
  if (r.kinds.size() > 1) {
    s += "\n\nThis keyword also names:";
    for (size_t i = 1; i < r.kinds.size(); ++i)
      s += " " + std::string(record_of(r.kinds[i]).summary) + (i + 1 < r.kinds.size() ? "," : "");
    s += "; each reads its values in turn.";
  }
  return s;
}

std::string describe_place(const document_pair& pair, const document_view& self,
                           const record_line& self_record, int64_t p, const scenario* compiled) {
  std::string s;
  if (pair.line)
    if (auto km = line_kilometre(*pair.line, p)) s += "\n\nLine kilometre: " + kilometre_text(*km);
  if (p < INT32_MIN / 2 || p > INT32_MAX / 2) return s;
  const int32_t cell = point_cell(static_cast<int32_t>(p));
  s += "\n\nPoint cell " + std::to_string(cell) + " (metres " + grouped(int64_t{cell - 1} * 50) +
       " to " + grouped(int64_t{cell - 1} * 50 + 49) + ")";
  if (compiled && cell >= 0 && cell <= compiled->last_cell()) {
    const track_cell& c = compiled->grid[static_cast<size_t>(cell)];
    s += "; the compiled cell holds: " + kind_name(c.kind);
    if (gradient_set(c.b14))
      s += ", gradient " + std::to_string(gradient_per_mille(c.b14)) + " per mille";
    if (c.b13) s += ", line speed " + std::to_string(speed_kmh(c.b13)) + " km/h";
  } else if (compiled && compiled->has_grid()) {
    s += "; beyond the track grid (last cell " + std::to_string(compiled->last_cell()) + ")";
  }
  std::string others;
  for (const document_view* d :
       {pair.line ? &*pair.line : nullptr, pair.train ? &*pair.train : nullptr}) {
    if (!d) continue;
    for (const record_line* r : records_at(*d, static_cast<int32_t>(p))) {
      if (d->uri == self.uri && r->line == self_record.line) continue;
      others += "\n- " + record_title(*r) + " (" + std::string(document_name(d->kind)) + ", line " +
                std::to_string(r->line + 1) + ")";
    }
  }
  if (!others.empty()) s += "\n\nAlso at this place:" + others;
  return s;
}

std::string value_hover(const document_pair& pair, const document_view& self, const record_line& r,
                        size_t index, const scenario* compiled) {
  const record_description& form = record_of(r.kinds[0]);
  const auto help = form.fields;
  const record_field& f = help[index - 1];
  std::string s = "**" + std::string(f.name) + "**" +
                  unit_suffix(f.unit.empty() ? "" : "(" + std::string(f.unit) + ")") + ": field " +
                  std::to_string(index) + " of " + std::to_string(help.size()) + " of a " +
                  std::string(form.summary) + " (`" + std::string(form.keyword) + "`)\n\n" +
                  std::string(f.meaning) + accepted_values(f);
  const field_span& v = r.fields[index];
  if (v.number) {
    s += "\n\nValue: " + grouped(*v.number) + unit_suffix(f.unit);
    if (f.is_position) s += describe_place(pair, self, r, *v.number, compiled);
  } else if (f.storage != field_storage::text) {
    s += "\n\nNot a whole number: the compile stops here with a run-time fault (code 25).";
  } else {
    s += "\n\nText: \"" + utf8(v.text) + "\" (" + std::to_string(v.text.size()) + " characters)";
  }
  return s;
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

json symbol(const document_view& d, const record_line& r, std::string name, std::string detail,
            int kind) {
  json s = {{"name", name.empty() ? std::string("(unnamed)") : name},
            {"kind", kind},
            {"range", range_json(d, r.line, 0, r.fields.back().end)},
            {"selectionRange", range_json(d, r.line, r.fields[0].begin, r.fields[0].end)}};
  if (!detail.empty()) s["detail"] = detail;
  return s;
}

}  // namespace

std::string kilometre_text(int64_t metres) {
  const int64_t m = metres < 0 ? -metres : metres;
  std::string rest = std::to_string(m % 1000);
  rest.insert(0, 3 - rest.size(), '0');
  return std::string("km ") + (metres < 0 ? "-" : "") + std::to_string(m / 1000) + "+" + rest;
}

std::optional<int64_t> line_kilometre(const document_view& line, int64_t p) {
  std::optional<std::pair<int64_t, int64_t>> best;  // start, reference
  for (const record_line& r : line.records) {
    if (r.place != record_place::line_header || r.kinds.empty() || r.fields.size() < 4) continue;
    const record_kind k = r.kinds[0];
    if (k != record_kind::range_one && k != record_kind::range_two && k != record_kind::range_three)
      continue;
    const auto& start = r.fields[1].number;
    const auto& reference = r.fields[2].number;
    const auto& flag = r.fields[3].number;
    if (!start || !reference || flag != 1 || *start > p) continue;
    if (!best || *start > best->first) best = std::pair{*start, *reference};
  }
  if (!best) return std::nullopt;
  return best->second - (p - best->first);
}

json hover_at(const document_pair& pair, const document_view& self, text_position at,
              const scenario* compiled) {
  const record_line* r = self.record_at(at.line);
  if (!r) return nullptr;
  const int column = self.document_column(at.line, at.character);
  for (size_t i = 0; i < r->fields.size(); ++i) {
    const field_span& f = r->fields[i];
    // A value's comma and the blanks before it count as the value's.
    const int from = i == 0 ? f.begin : r->fields[i - 1].end + 1;
    if (column < from || column > std::max(f.end, f.begin + 1)) continue;
    std::string text;
    if (r->is_section) {
      text = "**" + utf8(f.text) + "**: a section header; it orders the document for people";
      if (r->place == record_place::line_records && contains_any_case(f.text, "[curve]"))
        text += " and ends the general header";
      text += ".";
    } else if (r->kinds.empty()) {
      if (i != 0) return nullptr;
      text = "**" + utf8(f.text) + "**: no record has this keyword here; the compile skips it.";
    } else {
      text = i == 0 ? keyword_hover(*r, self) : value_hover(pair, self, *r, i, compiled);
    }
    json h = markdown(text);
    h["range"] = range_json(self, r->line, f.begin, std::max(f.end, f.begin));
    return h;
  }
  return nullptr;
}

json completion_at(const document_view& self, text_position at) {
  json items = json::array();
  const int column = self.document_column(at.line, at.character);
  const record_line* r = self.record_at(at.line);
  int begin = column, end = column;
  bool has_values = false;
  if (r) {
    // Keywords are offered only in keyword position; on a line that has its
    // values already, without them.
    const field_span& k = r->fields[0];
    if (column < k.begin || column > k.end) return {{"isIncomplete", false}, {"items", items}};
    begin = k.begin;
    end = k.end;
    has_values = r->has_values;
  }
  const std::optional<record_place> place = place_at(self, at.line);
  const json range = range_json(self, at.line, begin, end);
  if (!place) {
    items.push_back({{"label", "[generale]"},
                     {"kind", completion_keyword},
                     {"detail", "the general section, where the readers begin"},
                     {"textEdit", {{"range", range}, {"newText", "[generale]"}}}});
    return {{"isIncomplete", false}, {"items", items}};
  }
  for (const record_description& form : all_records()) {
    if (form.place != *place) continue;
    std::string doc = std::string(form.summary) + ": ";
    bool first = true;
    for (const record_field& f : form.fields) {
      doc += (first ? "" : ", ") + std::string(f.name) + unit_suffix(f.unit);
      first = false;
    }
    const std::string label = form.kind == record_kind::curve ? std::string("curvas / curvad")
                                                              : std::string(form.keyword);
    items.push_back({{"label", label},
                     {"kind", completion_keyword},
                     {"detail", std::string(form.summary)},
                     {"documentation", doc},
                     {"filterText", std::string(form.keyword)},
                     {"insertTextFormat", snippet_format},
                     {"textEdit",
                      {{"range", range},
                       {"newText", has_values ? std::string(form.keyword) : snippet_of(form)}}}});
  }
  return {{"isIncomplete", false}, {"items", items}};
}

json outline_of(const document_view& d) {
  json top = json::array();
  json* section = nullptr;
  for (const record_line& r : d.records) {
    if (r.is_section) {
      top.push_back(symbol(d, r, utf8(r.fields[0].text), "", symbol_namespace));
      top.back()["children"] = json::array();
      section = &top.back();
      continue;
    }
    if (r.kinds.empty() || !record_of(r.kinds[0]).in_outline) continue;
    const record_kind k = r.kinds[0];
    const auto position = record_position(r);
    std::string at = position ? grouped(*position) + " m" : std::string();
    auto number = [&](size_t i) -> std::string {
      return r.fields.size() > i && r.fields[i].number ? std::to_string(*r.fields[i].number) : "?";
    };
    json s;
    switch (k) {
      case record_kind::station:
        s = symbol(d, r, utf8(r.fields.size() > 17 ? r.fields[17].text : std::string("stazione")),
                   "station, " + at, symbol_struct);
        break;
      case record_kind::signal:
        s = symbol(d, r, "segnale " + at, "signal", symbol_event);
        break;
      case record_kind::restriction:
        s = symbol(d, r, "rallentamento " + at, number(2) + " km/h over " + number(3) + " m",
                   symbol_operator);
        break;
      case record_kind::speed_board:
        s = symbol(d, r, "indicatori_vmax " + at, "maximum-speed board", symbol_number);
        break;
      case record_kind::text_board:
        s = symbol(d, r, utf8(r.fields.size() > 2 ? r.fields[2].text : std::string()),
                   "text board, " + at, symbol_string);
        break;
      default:
        continue;
    }
    if (section)
      (*section)["children"].push_back(std::move(s));
    else
      top.push_back(std::move(s));
  }
  // A section's range runs to its last record.
  for (json& s : top)
    if (s.contains("children") && !s["children"].empty())
      s["range"]["end"] = s["children"].back()["range"]["end"];
  return top;
}

json definition_at(const document_pair& pair, const document_view& self, text_position at) {
  const record_line* r = self.record_at(at.line);
  if (!r) return nullptr;
  const auto p = record_position(*r);
  if (!p) return nullptr;
  const document_view* other = self.kind == document_kind::train_document
                                   ? (pair.line ? &*pair.line : nullptr)
                                   : (pair.train ? &*pair.train : nullptr);
  if (!other) return nullptr;
  json out = json::array();
  for (const record_line* o : records_at(*other, *p))
    out.push_back(
        {{"uri", other->uri},
         {"range", range_json(*other, o->line, o->fields[0].begin, o->fields.back().end)}});
  if (out.empty()) return nullptr;
  return out;
}
