#pragma once
// Formatting: the values of the records of each section aligned in
// columns, records of one kind together. Only the blanks between fields
// change; a line whose fields would read differently afterwards is left as
// it is.

#include <vector>

#include "lsp/document_view.h"
#include "lsp/types.h"

namespace lsp {

std::vector<text_edit> formatting_of(const document_view& self);

}  // namespace lsp
