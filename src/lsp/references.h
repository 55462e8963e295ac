#pragma once
// Every record at the same place along the route as the one under the
// cursor, in both documents of the pair (references), or in this one
// (document highlight).

#include <vector>

#include "lsp/document_view.h"
#include "lsp/types.h"

namespace lsp {

std::vector<location> records_at_same_place(const document_pair& pair, const document_view& self,
                                            text_position at, bool both_documents);

}  // namespace lsp
