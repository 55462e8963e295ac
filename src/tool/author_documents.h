#pragma once
// The two documents an author names with --line and --train, read whole for
// the commands that work on them (compile, check, view). They are never
// changed.

#include <iosfwd>
#include <string>

#include "run/package_step.h"
#include "runtime/disk.h"

namespace tool {

struct author_documents {
  std::string line_description;
  std::string train_document;
};

// Reads both documents. False, with one line naming the file and the
// system's reason written to `err`, when one cannot be read; the command then
// ends with exit_io_failure.
bool read_author_documents(runtime::disk& d, const run::document_names& names,
                           author_documents* out, std::ostream& err);

}  // namespace tool
