#pragma once
// The stations and signals of every document the editor holds, whose name
// holds the query (any case).

#include <string_view>
#include <vector>

#include "lsp/document_view.h"
#include "lsp/types.h"

namespace lsp {

std::vector<symbol_information> workspace_symbols(const std::vector<const document_view*>& held,
                                                  std::string_view query);

}  // namespace lsp
