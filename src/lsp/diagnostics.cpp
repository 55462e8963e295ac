#include "lsp/diagnostics.h"

#include <algorithm>
#include <tuple>

#include "checker/check.h"
#include "model/route_extent.h"

namespace {

// The partners a lone document is checked against.
constexpr std::string_view lone_train = "[generale]\r\n[fine]\r\n";
const std::string& lone_line() {
  static const std::string text =
      "[generale]\r\nlunghezza percorso,    " + std::to_string(longest_route) + "\r\n[fine]\r\n";
  return text;
}

diagnostic note_on_first_line(std::string kind, std::string message) {
  diagnostic d;
  d.severity = diagnostic_severity::information;
  d.kind = std::move(kind);
  d.message = std::move(message);
  return d;
}

// Cuts a document's list to max_diagnostics, with a note of how many were
// left out.
void cap(std::vector<diagnostic>& list) {
  if (list.size() <= max_diagnostics) return;
  const size_t left_out = list.size() - max_diagnostics + 1;
  list.resize(max_diagnostics - 1);
  list.push_back(note_on_first_line(
      "too-many",
      std::to_string(left_out) + " more problems not shown: scenario-tool check lists them all"));
}

diagnostic diagnostic_of(const finding& f, const document_view& target) {
  const int line = std::max(0, f.line - 1);
  const std::string_view line_text = target.source.line(line);
  int begin = 0, end = 0;
  if (f.line > 0 && f.column > 0) {
    std::tie(begin, end) = field_extent(line_text, f.column - 1);
  } else if (f.line > 0) {
    begin = static_cast<int>(std::min(line_text.size(), line_text.find_first_not_of(" \t")));
    end = static_cast<int>(line_text.size());
  }
  diagnostic d;
  d.range = target.editor_range(line, begin, end);
  d.severity = f.level == diagnostic_level::error ? diagnostic_severity::error
                                                  : diagnostic_severity::warning;
  d.message = f.message;
  if (f.code) {
    d.fault = fault_number(*f.code);
    d.kind = "fault";
  } else if (f.kind) {
    d.kind = std::string(warning_name(*f.kind));
  }
  d.position = f.position;
  d.from_compile = f.from_compile;
  return d;
}

}  // namespace

pair_diagnostics diagnostics_of(const document_pair& pair, document_kind self) {
  pair_diagnostics out;
  const bool lone = !pair.line || !pair.train;
  check_input in;
  in.line_description = pair.line ? std::string_view(pair.line->source.text()) : lone_line();
  in.train_document = pair.train ? std::string_view(pair.train->source.text()) : lone_train;
  for (const finding& f : check_documents(in, {})) {
    source_document where = f.document;
    if (where == source_document::none)
      where = self == document_kind::line_description && lone ? source_document::line_description
                                                              : source_document::train_document;
    const bool on_line = where == source_document::line_description;
    const std::optional<document_view>& target = on_line ? pair.line : pair.train;
    if (!target) continue;  // a finding in the stand-in partner
    (on_line ? out.line : out.train).push_back(diagnostic_of(f, *target));
  }
  cap(out.line);
  cap(out.train);
  if (lone) {
    const bool is_line = self == document_kind::line_description;
    std::vector<diagnostic>& list = is_line ? out.line : out.train;
    list.insert(list.begin(),
                note_on_first_line(
                    "no-partner",
                    is_line ? "no train document beside this line description: it is checked alone"
                            : "no line description beside this train document: it is checked "
                              "alone, on a route of " +
                                  std::to_string(longest_route) + " m with nothing on it"));
  }
  return out;
}
