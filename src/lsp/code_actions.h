#pragma once
// Quick fixes for what the diagnostics of a document say: a keyword replaced
// by the one meant ("did you mean"), a position rounded to the 50 m raster,
// letters that were saved as UTF-8 turned back into the letters meant, a
// missing "[generale]" or "[fine]" added.

#include <vector>

#include "lsp/document_view.h"
#include "lsp/types.h"

namespace lsp {

// The fixes for the diagnostics of `self` that touch the lines of `range`.
std::vector<code_action> code_actions_for(const document_view& self, text_range range,
                                          const std::vector<diagnostic>& diagnostics);

}  // namespace lsp
