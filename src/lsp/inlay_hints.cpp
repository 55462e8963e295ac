#include "lsp/inlay_hints.h"

#include "lsp/route_places.h"

namespace lsp {

std::vector<inlay_hint> inlay_hints_in(const document_pair& pair, const document_view& self,
                                       int first_line, int last_line) {
  std::vector<inlay_hint> out;
  if (!pair.line) return out;
  for (const record_line& r : self.records) {
    if (r.line < first_line || r.line > last_line || r.kinds.empty()) continue;
    if (r.place == compiler::record_place::line_header) continue;  // the ranges themselves
    const compiler::record_description& form = compiler::record_of(r.kinds[0]);
    for (size_t i = 1; i < r.fields.size() && i - 1 < form.fields.size(); ++i) {
      const field_span& f = r.fields[i];
      if (!form.fields[i - 1].is_position || !f.number) continue;
      const auto km = line_kilometre(*pair.line, *f.number);
      if (!km) continue;
      out.push_back({{r.line, self.editor_column(r.line, f.end)},
                     " " + kilometre_text(*km),
                     "the line's kilometre at route metre " + grouped(*f.number)});
    }
  }
  return out;
}

}  // namespace lsp
