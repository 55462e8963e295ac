#pragma once
// The shape of a document for the editor: its sections as folding ranges,
// and a token for every keyword, number, text and section header (these
// files have no highlighting of their own anywhere else).

#include <vector>

#include "lsp/document_view.h"
#include "lsp/types.h"

namespace lsp {

std::vector<folding_range> folding_ranges_of(const document_view& self);
std::vector<semantic_token> semantic_tokens_of(const document_view& self);

}  // namespace lsp
