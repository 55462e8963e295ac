#include "compiler/finding.h"

#include <ostream>

#include "runtime/printable_text.h"
#include "runtime/windows1252.h"

namespace compiler {

namespace {

struct warning_info {
  std::string_view name;
  std::string_view meaning;
};

constexpr warning_info warning_table[] = {
#define SCENARIO_WARNING_INFO(name, option, meaning) {option, meaning},
    SCENARIO_WARNING_LIST(SCENARIO_WARNING_INFO)
#undef SCENARIO_WARNING_INFO
};

constexpr warning_kind warning_kinds[] = {
#define SCENARIO_WARNING_KIND(name, option, meaning) warning_kind::name,
    SCENARIO_WARNING_LIST(SCENARIO_WARNING_KIND)
#undef SCENARIO_WARNING_KIND
};

// Document text (Windows-1252) for a message (UTF-8), cut short.
std::string shown_text(std::string_view text, size_t longest) {
  std::string shown = runtime::windows1252_to_utf8(text.substr(0, longest));
  if (text.size() > longest) shown += "...";
  return shown;
}

}  // namespace

std::string_view warning_name(warning_kind kind) {
  return warning_table[static_cast<size_t>(kind)].name;
}
std::string_view warning_meaning(warning_kind kind) {
  return warning_table[static_cast<size_t>(kind)].meaning;
}
std::span<const warning_kind> all_warning_kinds() {
  return warning_kinds;
}
std::optional<warning_kind> warning_by_name(std::string_view name) {
  for (warning_kind k : warning_kinds)
    if (warning_name(k) == name) return k;
  return std::nullopt;
}

std::string_view level_name(diagnostic_level level) {
  return level == diagnostic_level::error ? "error" : "warning";
}

void write_diagnostic(std::ostream& out, std::string_view file, int line, int column,
                      diagnostic_level level, std::string_view message, std::string_view tag) {
  // Whatever a document or a file name holds reaches the terminal only as
  // visible text.
  out << runtime::printable(file);
  if (line > 0) {
    out << ':' << line;
    if (column > 0) out << ':' << column;
  }
  out << ": " << level_name(level) << ": " << runtime::printable(message);
  if (!tag.empty()) out << " [" << tag << ']';
  out << '\n';
}

void write_finding(std::ostream& out, const finding& f, std::string_view file) {
  write_diagnostic(out, file, f.line, f.column, f.level, f.message, finding_tag(f));
}

std::string finding_tag(const finding& f) {
  if (f.code) return "code " + std::to_string(fault_number(*f.code));
  if (f.kind) return std::string(warning_name(*f.kind));
  return "";
}

source_document fault_source(const compile_fault& fault) {
  if (fault.code == fault_code::range_not_on_50) return source_document::line_description;
  if (fault.document == source_document::none) return source_document::train_document;
  return fault.document;
}

std::string fault_message(const compile_fault& fault) {
  std::string m(fault_meaning(fault.code));
  if (fault.has_position) m.append(" at ").append(std::to_string(fault.position)).append(" m");
  if (!fault.keyword.empty())
    m.append(" (record \"").append(shown_text(fault.keyword, 40)).append("\")");
  if (!fault.detail.empty()) m.append(" (").append(shown_text(fault.detail, 80)).append(")");
  return m;
}

finding finding_of_fault(const compile_fault& fault) {
  finding f;
  f.from_compile = true;
  const source_document doc = fault_source(fault);
  f.document = doc;
  if (fault.document == doc) {
    f.line = fault.line;
    f.column = fault.column;
  }
  f.message = fault_message(fault);
  f.code = fault.code;
  f.position = fault.position;
  return f;
}

}  // namespace compiler
