#pragma once
// Messages about a place in a document, the way compilers print them, so
// that editors jump to them:
//
//   FILE:LINE:COLUMN: error: MESSAGE [TAG]
//
// LINE and COLUMN count from 1; a message with no line names the file alone
// ("FILE: error: ..."), one with no column the file and line.

#include <iosfwd>
#include <string>
#include <string_view>

enum class diagnostic_level { error, warning };

std::string_view level_name(diagnostic_level level);

void write_diagnostic(std::ostream& out, std::string_view file, int line, int column,
                      diagnostic_level level, std::string_view message, std::string_view tag);
