#include "run/diagnostic.h"

#include <ostream>

#include "runtime/printable_text.h"

std::string_view level_name(diagnostic_level level) {
  return level == diagnostic_level::error ? "error" : "warning";
}

void write_diagnostic(std::ostream& out, std::string_view file, int line, int column,
                      diagnostic_level level, std::string_view message, std::string_view tag) {
  // Whatever a document or a file name holds reaches the terminal only as
  // visible text.
  out << printable(file);
  if (line > 0) {
    out << ':' << line;
    if (column > 0) out << ':' << column;
  }
  out << ": " << level_name(level) << ": " << printable(message);
  if (!tag.empty()) out << " [" << tag << ']';
  out << '\n';
}
