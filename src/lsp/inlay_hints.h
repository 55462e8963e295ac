#pragma once
// Hints beside the values of a document: the line's own kilometre beside
// every metre along the route (from the kilometric ranges of the line
// description's header).

#include <vector>

#include "lsp/document_view.h"
#include "lsp/types.h"

namespace lsp {

std::vector<inlay_hint> inlay_hints_in(const document_pair& pair, const document_view& self,
                                       int first_line, int last_line);

}  // namespace lsp
