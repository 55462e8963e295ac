#include "tool/author_documents.h"

#include <ostream>

#include "runtime/replace_files.h"

namespace tool {

bool read_author_documents(runtime::disk& d, const run::document_names& names,
                           author_documents* out, std::ostream& err) {
  for (const auto& [path, bytes] : {std::pair{&names.line_description, &out->line_description},
                                    std::pair{&names.train_document, &out->train_document}}) {
    std::string reason;
    if (!d.read_file(*path, bytes, &reason)) {
      err << "scenario-tool: " << runtime::describe(runtime::io_failure{*path, reason, "read"})
          << "\n";
      return false;
    }
  }
  return true;
}

}  // namespace tool
