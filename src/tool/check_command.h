#pragma once
// scenario-tool check: reads a line description and a train document, writes
// nothing, and reports every problem it finds in them, the compile's own
// fault included, in the editors' form or as JSON.

#include <iosfwd>

#include "runtime/disk.h"

namespace tool {

int check_command(int argc, char** argv, runtime::disk& d, std::ostream& out, std::ostream& err);

}  // namespace tool
