#pragma once
// scenario-tool help [COMMAND | RECORD | --man | --html | --topics]: the list
// of commands, one command's options, one record's reference, or the whole
// format reference as a manual page or an HTML page.

#include <iosfwd>

namespace tool {

int help_command(int argc, char** argv, std::ostream& out, std::ostream& err);

}  // namespace tool
