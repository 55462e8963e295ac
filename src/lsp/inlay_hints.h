#pragma once
// Hints beside the values of a document: the line's own kilometre beside
// every metre along the route (from the kilometric ranges of the line
// description's header), and beside a speed that the package keeps packed
// (a speed limit in 5 km/h steps, a board's two speeds of one category in
// one word) what it keeps and the speeds a train reads back from it.

#include <vector>

#include "lsp/document_view.h"
#include "lsp/types.h"

namespace lsp {

std::vector<inlay_hint> inlay_hints_in(const document_pair& pair, const document_view& self,
                                       int first_line, int last_line);

}  // namespace lsp
