#pragma once
// Which documents compile together. A train document pairs with the line
// description beside it: first the one named for it ("X_40817-.txt" with
// "X_linea.txt"), then any line description the editor holds in the same
// folder; when the editor holds none, the one named for it on the disk. A
// line description pairs the same way with the train documents named for
// it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/document_records.h"
#include "runtime/disk.h"

namespace lsp {

// A document the editor holds (its URI in the caller's keeping), and what
// it is.
struct held_kind {
  std::string_view uri;
  document_kind kind = document_kind::unknown;
};

// A document's partner: one the editor holds (`path` empty), or a file on
// the disk.
struct partner_document {
  std::string uri;
  std::string path;
};

std::optional<partner_document> find_partner(std::string_view uri, document_kind kind,
                                             const std::vector<held_kind>& held,
                                             runtime::disk& files);

// The other kind of document of a pair.
document_kind partner_kind(document_kind kind);

}  // namespace lsp
