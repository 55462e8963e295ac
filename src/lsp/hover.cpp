#include "lsp/hover.h"

#include <algorithm>

#include "lsp/route_places.h"
#include "model/track_grid.h"
#include "runtime/windows1252.h"
#include "tool/package_summary.h"

namespace lsp {

namespace {

std::string utf8(std::string_view windows1252) {
  return runtime::windows1252_to_utf8(windows1252);
}

std::string_view document_name(document_kind k) {
  return k == document_kind::line_description ? "line description" : "train document";
}

std::string record_title(const record_line& r) {
  return std::string(compiler::record_of(r.kinds[0]).summary);
}

std::string unit_suffix(std::string_view unit) {
  return unit.empty() ? "" : " " + std::string(unit);
}

// The values a field takes and, for a code, what each means.
std::string accepted_values(const compiler::record_field& f) {
  std::string s;
  if (!f.accepts.empty()) s += "\n\nValues: " + std::string(f.accepts) + ".";
  for (const compiler::value_code& c : f.codes)
    s += "\n- `" + std::string(c.value) + "`: " + std::string(c.meaning);
  return s;
}

std::string keyword_hover(const record_line& r, const document_view& self) {
  const compiler::record_description& form = compiler::record_of(r.kinds[0]);
  std::string s = "**" + std::string(form.keyword) + "**: " + std::string(form.summary) + " (" +
                  std::string(document_name(self.kind)) + ")\n\n" + std::string(form.meaning) +
                  "\n\nFields after the keyword:\n";
  int n = 1;
  for (const compiler::record_field& f : form.fields)
    s += "\n" + std::to_string(n++) + ". `" + std::string(f.name) + "`" +
         (f.unit.empty() ? "" : " (" + std::string(f.unit) + ")") + ": " + std::string(f.meaning);
  if (r.kinds.size() > 1) {
    s += "\n\nThis keyword also names:";
    for (size_t i = 1; i < r.kinds.size(); ++i)
      s += " " + std::string(compiler::record_of(r.kinds[i]).summary) +
           (i + 1 < r.kinds.size() ? "," : "");
    s += "; each reads its values in turn.";
  }
  return s;
}

std::string describe_place(const document_pair& pair, const document_view& self,
                           const record_line& self_record, int64_t p,
                           const model::scenario* compiled) {
  std::string s;
  if (pair.line)
    if (auto km = line_kilometre(*pair.line, p)) s += "\n\nLine kilometre: " + kilometre_text(*km);
  if (p < INT32_MIN / 2 || p > INT32_MAX / 2) return s;
  const int32_t cell = model::point_cell(static_cast<int32_t>(p));
  s += "\n\nPoint cell " + std::to_string(cell) + " (metres " + grouped(int64_t{cell - 1} * 50) +
       " to " + grouped(int64_t{cell - 1} * 50 + 49) + ")";
  if (compiled && cell >= 0 && cell <= compiled->last_cell()) {
    const model::track_cell& c = compiled->grid[static_cast<size_t>(cell)];
    s += "; the compiled cell holds: " + tool::kind_name(c.kind);
    if (tool::gradient_set(c.b14))
      s += ", gradient " + std::to_string(tool::gradient_per_mille(c.b14)) + " per mille";
    if (c.b13) s += ", line speed " + std::to_string(tool::speed_kmh(c.b13)) + " km/h";
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
                        size_t index, const model::scenario* compiled) {
  const compiler::record_description& form = compiler::record_of(r.kinds[0]);
  const auto help = form.fields;
  const compiler::record_field& f = help[index - 1];
  std::string s = "**" + std::string(f.name) + "**" +
                  unit_suffix(f.unit.empty() ? "" : "(" + std::string(f.unit) + ")") + ": field " +
                  std::to_string(index) + " of " + std::to_string(help.size()) + " of a " +
                  std::string(form.summary) + " (`" + std::string(form.keyword) + "`)\n\n" +
                  std::string(f.meaning) + accepted_values(f);
  const field_span& v = r.fields[index];
  if (v.number) {
    s += "\n\nValue: " + grouped(*v.number) + unit_suffix(f.unit);
    if (f.is_position) s += describe_place(pair, self, r, *v.number, compiled);
  } else if (f.storage != compiler::field_storage::text) {
    s += "\n\nNot a whole number: the compile stops here with a run-time fault (code 25).";
  } else {
    s += "\n\nText: \"" + utf8(v.text) + "\" (" + std::to_string(v.text.size()) + " characters)";
  }
  return s;
}

}  // namespace

std::optional<hover_text> hover_at(const document_pair& pair, const document_view& self,
                                   text_position at, const model::scenario* compiled) {
  const record_line* r = self.record_at(at.line);
  if (!r) return std::nullopt;
  const int column = self.document_column(at.line, at.character);
  for (size_t i = 0; i < r->fields.size(); ++i) {
    const field_span& f = r->fields[i];
    // A value's comma and the blanks before it count as the value's.
    const int from = i == 0 ? f.begin : r->fields[i - 1].end + 1;
    if (column < from || column > std::max(f.end, f.begin + 1)) continue;
    std::string text;
    if (r->is_section) {
      text = "**" + utf8(f.text) + "**: a section header; it orders the document for people";
      if (r->place == compiler::record_place::line_records &&
          runtime::contains_any_case(f.text, "[curve]"))
        text += " and ends the general header";
      text += ".";
    } else if (r->kinds.empty()) {
      if (i != 0) return std::nullopt;
      text = "**" + utf8(f.text) + "**: no record has this keyword here; the compile skips it.";
    } else {
      text = i == 0 ? keyword_hover(*r, self) : value_hover(pair, self, *r, i, compiled);
    }
    return hover_text{text, self.editor_range(r->line, f.begin, std::max(f.end, f.begin))};
  }
  return std::nullopt;
}

}  // namespace lsp
