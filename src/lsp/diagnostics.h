#pragma once
// The checker's findings for a pair of documents, each placed on the
// editor's range of its field (the keyword, or the value at fault).
//
// A document without a partner is checked against a stand-in: a line
// description against a train document with no records, a train document
// against a route of the greatest length with nothing on it. Only the lone
// document's own findings are given, after a note that says so.

#include <cstdint>
#include <vector>

#include "lsp/document_view.h"
#include "lsp/types.h"
#include "model/route_extent.h"

namespace lsp {

struct pair_diagnostics {
  std::vector<diagnostic> line;
  std::vector<diagnostic> train;
};

// No editor shows more problems than this for one document with profit; a
// document of garbage would otherwise send megabytes on every keystroke.
inline constexpr size_t max_diagnostics = 1000;

// `self` names the document whose pair it is, when the other is missing. A
// lone train document is checked on a route of `lone_route_metres`.
pair_diagnostics diagnostics_of(const document_pair& pair, document_kind self,
                                int32_t lone_route_metres = model::longest_route);

}  // namespace lsp
