#pragma once
// The keywords that may stand where the cursor is, each with a snippet of
// its record's fields.

#include <vector>

#include "lsp/document_view.h"
#include "lsp/types.h"

namespace lsp {

// `snippets`: whether the editor takes snippets ("${1:position}"); without
// them, the keywords alone.
std::vector<completion_item> completion_at(const document_view& self, text_position at,
                                           bool snippets);

}  // namespace lsp
