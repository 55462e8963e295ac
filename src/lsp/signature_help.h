#pragma once
// Which field of its record the cursor is in, with the field's name, unit,
// accepted values and meaning from the record table.

#include <optional>

#include "lsp/document_view.h"
#include "lsp/types.h"

namespace lsp {

std::optional<signature> signature_at(const document_view& self, text_position at);

}  // namespace lsp
