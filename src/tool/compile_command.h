#pragma once
// scenario-tool compile: compiles any pair of source documents with the
// generator's own compiler, leaving the author's files untouched.
// scenario-tool documents: writes the five built-in documents.

#include <iosfwd>

#include "runtime/disk.h"

namespace tool {

int compile_command(int argc, char** argv, runtime::disk& d, std::ostream& out, std::ostream& err);
int documents_command(int argc, char** argv, runtime::disk& d, std::ostream& out,
                      std::ostream& err);

}  // namespace tool
