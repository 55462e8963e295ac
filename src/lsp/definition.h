#pragma once
// "Go to definition" from a record at a position to the partner's records
// at that place: from a signal or station to the boards in its cell and to
// the gradient, curve or mountain in force there, and back.

#include <vector>

#include "lsp/document_view.h"
#include "lsp/types.h"

namespace lsp {

std::vector<location> definition_at(const document_pair& pair, const document_view& self,
                                    text_position at);

}  // namespace lsp
