#pragma once
// scenario-tool inspect, render and view: read a package directory and show what it
// holds, as a report or as a drawing. Both exit 0 when done, 2 on a usage
// error, 5 when a file cannot be read or written and 6 when the package is
// damaged.

#include <iosfwd>

#include "runtime/disk.h"

namespace tool {

int inspect_command(int argc, char** argv, runtime::disk& d, std::ostream& out, std::ostream& err);
int render_command(int argc, char** argv, runtime::disk& d, std::ostream& out, std::ostream& err);
int view_command(int argc, char** argv, runtime::disk& d, std::ostream& out, std::ostream& err);

}  // namespace tool
