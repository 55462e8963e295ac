#pragma once
// The outline of a document: its sections, and inside them the stations,
// signals, speed restrictions and boards, in document order, so that the
// outline lists the route as it runs.

#include <vector>

#include "lsp/document_view.h"
#include "lsp/types.h"

namespace lsp {

std::vector<document_symbol> outline_of(const document_view& self);

}  // namespace lsp
