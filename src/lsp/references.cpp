#include "lsp/references.h"

#include "lsp/route_places.h"

namespace lsp {

std::vector<location> records_at_same_place(const document_pair& pair, const document_view& self,
                                            text_position at, bool both_documents) {
  std::vector<location> out;
  const record_line* r = self.record_at(at.line);
  if (!r) return out;
  const auto p = record_position(*r);
  if (!p) return out;
  for (const document_view* d : {pair.line, pair.train}) {
    if (!d || (!both_documents && d->uri != self.uri)) continue;
    for (const record_line* o : records_at(*d, *p))
      out.push_back({d->uri, d->editor_range(o->line, o->fields[0].begin, o->fields.back().end)});
  }
  return out;
}

}  // namespace lsp
