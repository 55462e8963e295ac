#pragma once
// What a record, a section or a value is, for the pointer resting on it.

#include <optional>

#include "lsp/document_view.h"
#include "lsp/types.h"
#include "model/scenario.h"

namespace lsp {

// `self` is one of the pair's documents; `compiled` the pair's compile, when
// both documents are there. None on a place with nothing to say.
std::optional<hover_text> hover_at(const document_pair& pair, const document_view& self,
                                   text_position at, const model::scenario* compiled);

}  // namespace lsp
