#include "lsp/formatting.h"

#include <algorithm>
#include <map>

#include "runtime/windows1252.h"

namespace lsp {

namespace {

// The separator before field i of a record: a comma, or (a station's name)
// a blank only.
bool comma_before(std::string_view line, const record_line& r, size_t i) {
  const std::string_view between =
      line.substr(static_cast<size_t>(r.fields[i - 1].end),
                  static_cast<size_t>(r.fields[i].begin - r.fields[i - 1].end));
  return between.find(',') != std::string_view::npos;
}

// Whether a line reads the same fields as the record did.
bool reads_the_same(const std::string& line, const record_line& r, document_kind kind,
                    std::optional<compiler::record_place> place) {
  // Read as the only record of a document at the same place.
  const std::string head =
      place == compiler::record_place::line_records ? "[generale]\n[curve]\n" : "[generale]\n";
  const std::vector<record_line> again = read_record_lines(head + line, kind);
  if (again.empty()) return false;
  const record_line& a = again.back();
  if (a.fields.size() != r.fields.size() || a.kinds != r.kinds) return false;
  for (size_t i = 0; i < a.fields.size(); ++i)
    if (a.fields[i].text != r.fields[i].text) return false;
  return true;
}

}  // namespace

std::vector<text_edit> formatting_of(const document_view& self) {
  std::vector<text_edit> out;
  // Records in groups: one kind within one section.
  std::vector<std::vector<const record_line*>> groups;
  std::map<compiler::record_kind, size_t> group_of;
  for (const record_line& r : self.records) {
    if (r.is_section) {
      group_of.clear();
      continue;
    }
    if (r.kinds.empty() || r.fields.size() < 2 || r.place == compiler::record_place::line_header)
      continue;
    auto [it, fresh] = group_of.try_emplace(r.kinds[0], groups.size());
    if (fresh) groups.emplace_back();
    groups[it->second].push_back(&r);
  }
  for (const auto& group : groups) {
    std::vector<size_t> width;
    for (const record_line* r : group)
      for (size_t i = 0; i < r->fields.size(); ++i) {
        if (width.size() <= i) width.push_back(0);
        width[i] = std::max(width[i], r->fields[i].text.size());
      }
    for (const record_line* r : group) {
      const std::string_view line = self.source.line(r->line);
      // Leading blanks and what follows the last field stay.
      std::string text(line.substr(0, static_cast<size_t>(r->fields[0].begin)));
      size_t column = 0;
      for (size_t i = 0; i < r->fields.size(); ++i) {
        if (i > 0) {
          const bool comma = comma_before(line, *r, i);
          text += comma ? "," : "";
          const size_t target = column + width[i - 1] + 3;
          const size_t now = text.size() - static_cast<size_t>(r->fields[0].begin);
          text.append(target > now ? target - now : 1, ' ');
          column = target;
        }
        text += r->fields[i].text;
      }
      text += line.substr(static_cast<size_t>(r->fields.back().end));
      if (text == line || !reads_the_same(text, *r, self.kind, r->place)) continue;
      const int end = self.editor_column(r->line, static_cast<int>(line.size()));
      out.push_back({{{r->line, 0}, {r->line, end}}, runtime::windows1252_to_utf8(text)});
    }
  }
  return out;
}

}  // namespace lsp
