#include "tool/finding_output.h"

#include <ostream>

namespace tool {

void write_findings(std::ostream& out, const std::vector<compiler::finding>& found, size_t count,
                    const run::document_names& names) {
  for (size_t i = 0; i < count && i < found.size(); ++i) {
    const compiler::finding& f = found[i];
    compiler::write_finding(out, f,
                            f.document == compiler::source_document::line_description
                                ? names.line_description
                                : names.train_document);
  }
  out.flush();
}

size_t error_count(const std::vector<compiler::finding>& found) {
  size_t errors = 0;
  for (const compiler::finding& f : found) errors += f.level == compiler::diagnostic_level::error;
  return errors;
}

std::string count_of_findings(const std::vector<compiler::finding>& found) {
  const size_t errors = error_count(found), warnings = found.size() - errors;
  auto counted = [](size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  if (errors && warnings)
    return counted(errors, "error", "errors") + " and " + counted(warnings, "warning", "warnings");
  if (errors) return counted(errors, "error", "errors");
  return counted(warnings, "warning", "warnings");
}

}  // namespace tool
