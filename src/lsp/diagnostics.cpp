#include "lsp/diagnostics.h"

#include <algorithm>

#include "checker/check.h"

namespace lsp {

namespace {

// The partners a lone document is checked against.
constexpr std::string_view lone_train = "[generale]\r\n[fine]\r\n";
std::string lone_line(int32_t route_metres) {
  return "[generale]\r\nlunghezza percorso,    " + std::to_string(route_metres) + "\r\n[fine]\r\n";
}

diagnostic note_on_first_line(std::string kind, std::string message) {
  diagnostic d;
  d.severity = diagnostic_severity::information;
  d.kind = std::move(kind);
  d.message = std::move(message);
  return d;
}

// Keeps a document's list within `room` entries: past it, a note of how
// many were left out takes the last place.
void cap(std::vector<diagnostic>& list, size_t left_out, size_t room) {
  if (list.size() + left_out <= room) return;
  left_out += list.size() - (room - 1);
  list.resize(room - 1);
  list.push_back(note_on_first_line(
      "too-many",
      std::to_string(left_out) + " more problems not shown: scenario-tool check lists them all"));
}

// The editor's view of the document a finding or a related record is in;
// none for the stand-in partner of a lone document.
const document_view* view_of(const document_pair& pair, compiler::source_document d) {
  return d == compiler::source_document::line_description ? pair.line : pair.train;
}

text_range range_of(const document_view& v, int line, const compiler::column_range& columns) {
  return v.editor_range(std::max(0, line - 1), std::max(0, columns.begin - 1),
                        std::max(0, columns.end - 1));
}

// A finding in the protocol's terms, on the document `target`.
diagnostic diagnostic_of(const compiler::finding& f, const document_view& target,
                         const document_pair& pair) {
  diagnostic d;
  d.range = range_of(target, f.line, f.range);
  d.severity = f.level == compiler::diagnostic_level::error ? diagnostic_severity::error
                                                            : diagnostic_severity::warning;
  d.message = f.message;
  if (f.code) {
    d.fault = compiler::fault_number(*f.code);
    d.kind = "fault";
  } else if (f.kind) {
    d.kind = std::string(compiler::warning_name(*f.kind));
  }
  d.position = f.position;
  d.from_compile = f.from_compile;
  for (const compiler::related_record& r : f.related)
    if (const document_view* v = view_of(pair, r.document))
      d.related.push_back({{v->uri, range_of(*v, r.line, r.columns)}, r.message});
  return d;
}

}  // namespace

pair_diagnostics diagnostics_of(const document_pair& pair, document_kind self,
                                int32_t lone_route_metres) {
  pair_diagnostics out;
  const bool lone = !pair.line || !pair.train;
  checker::check_input in;
  const std::string stand_in_line = pair.line ? std::string() : lone_line(lone_route_metres);
  in.line_description = pair.line ? std::string_view(pair.line->source.text()) : stand_in_line;
  in.train_document = pair.train ? std::string_view(pair.train->source.text()) : lone_train;
  checker::check_options options;
  options.max_findings_per_document = max_diagnostics;
  const checker::check_report report = checker::check_documents_counted(in, options);
  for (const compiler::finding& f : report.findings) {
    compiler::source_document where = f.document;
    if (where == compiler::source_document::none)
      where = self == document_kind::line_description && lone
                  ? compiler::source_document::line_description
                  : compiler::source_document::train_document;
    const document_view* target = view_of(pair, where);
    if (!target) continue;  // a finding in the stand-in partner
    (target == pair.line ? out.line : out.train).push_back(diagnostic_of(f, *target, pair));
  }
  // A lone document's note takes one place of its list.
  const bool is_line = self == document_kind::line_description;
  cap(out.line, report.left_out_of_line_description, max_diagnostics - (lone && is_line));
  cap(out.train, report.left_out_of_train_document, max_diagnostics - (lone && !is_line));
  if (lone) {
    std::vector<diagnostic>& list = is_line ? out.line : out.train;
    list.insert(list.begin(),
                note_on_first_line(
                    "no-partner",
                    is_line ? "no train document beside this line description: it is checked alone"
                            : "no line description beside this train document: it is checked "
                              "alone, on a route of " +
                                  std::to_string(lone_route_metres) + " m with nothing on it"));
  }
  return out;
}

}  // namespace lsp
