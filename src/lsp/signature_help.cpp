#include "lsp/signature_help.h"

namespace lsp {

std::optional<signature> signature_at(const document_view& self, text_position at) {
  const record_line* r = self.record_at(at.line);
  if (!r || r->kinds.empty()) return std::nullopt;
  const compiler::record_description& form = compiler::record_of(r->kinds[0]);
  if (form.fields.empty()) return std::nullopt;
  const int column = self.document_column(at.line, at.character);
  // The field the cursor is in: the last one that begins at or before it,
  // or the one after the last comma typed.
  const std::string_view line = self.source.line(at.line);
  int commas = 0;
  for (int i = r->fields[0].end; i < column && i < static_cast<int>(line.size()); ++i)
    commas += line[static_cast<size_t>(i)] == ',';
  if (column <= r->fields[0].end) return std::nullopt;  // on the keyword
  signature s;
  s.label = std::string(form.keyword);
  s.documentation = std::string(form.summary) + ": " + std::string(form.meaning);
  for (const compiler::record_field& f : form.fields) {
    std::string name(f.name);
    s.label += ",  " + name;
    std::string doc = std::string(f.meaning);
    if (!f.unit.empty()) doc = "(" + std::string(f.unit) + ") " + doc;
    if (!f.accepts.empty()) doc += ". Values: " + std::string(f.accepts);
    s.parameters.push_back({name, doc});
  }
  s.active = std::min(std::max(commas, 1), static_cast<int>(form.fields.size())) - 1;
  // A station's name follows its last number after a blank, not a comma.
  for (size_t i = 1; i < r->fields.size(); ++i)
    if (column >= r->fields[i].begin) s.active = static_cast<int>(i) - 1;
  return s;
}

}  // namespace lsp
