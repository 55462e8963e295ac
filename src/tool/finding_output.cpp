#include "tool/finding_output.h"

#include <ostream>

#include "run/diagnostic.h"

std::string tag_of(const finding& f) {
  if (f.code) return "code " + std::to_string(fault_number(*f.code));
  if (f.kind) return std::string(warning_name(*f.kind));
  return "";
}

void write_findings(std::ostream& out, const std::vector<finding>& found, size_t count,
                    const document_names& names) {
  for (size_t i = 0; i < count && i < found.size(); ++i) {
    const finding& f = found[i];
    write_diagnostic(out,
                     f.document == source_document::line_description ? names.line_description
                                                                     : names.train_document,
                     f.line, f.column, f.level, f.message, tag_of(f));
  }
  out.flush();
}

size_t error_count(const std::vector<finding>& found) {
  size_t errors = 0;
  for (const finding& f : found) errors += f.level == diagnostic_level::error;
  return errors;
}

std::string count_of_findings(const std::vector<finding>& found) {
  const size_t errors = error_count(found), warnings = found.size() - errors;
  auto counted = [](size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
  };
  if (errors && warnings)
    return counted(errors, "error", "errors") + " and " + counted(warnings, "warning", "warnings");
  if (errors) return counted(errors, "error", "errors");
  return counted(warnings, "warning", "warnings");
}
