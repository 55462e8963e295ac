#include "lsp/definition.h"

#include "lsp/route_places.h"

namespace lsp {

std::vector<location> definition_at(const document_pair& pair, const document_view& self,
                                    text_position at) {
  std::vector<location> out;
  const record_line* r = self.record_at(at.line);
  if (!r) return out;
  const auto p = record_position(*r);
  if (!p) return out;
  const document_view* other = self.kind == document_kind::train_document
                                   ? (pair.line ? &*pair.line : nullptr)
                                   : (pair.train ? &*pair.train : nullptr);
  if (!other) return out;
  for (const record_line* o : records_at(*other, *p))
    out.push_back(
        {other->uri, other->editor_range(o->line, o->fields[0].begin, o->fields.back().end)});
  return out;
}

}  // namespace lsp
