#include "lsp/diagnostics.h"

#include <algorithm>
#include <map>
#include <set>
#include <tuple>

#include "checker/check.h"
#include "lsp/route_places.h"
#include "model/route_extent.h"
#include "model/track_grid.h"

namespace lsp {

namespace {

// The partners a lone document is checked against.
constexpr std::string_view lone_train = "[generale]\r\n[fine]\r\n";
const std::string& lone_line() {
  static const std::string text = "[generale]\r\nlunghezza percorso,    " +
                                  std::to_string(model::longest_route) + "\r\n[fine]\r\n";
  return text;
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

diagnostic diagnostic_of(const compiler::finding& f, const document_view& target) {
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
  return d;
}

// Faults of a cell that another record already holds.
bool taken_cell_fault(const diagnostic& d) {
  return d.fault &&
         (*d.fault == 6 || *d.fault == 7 || *d.fault == 16 || (*d.fault >= 17 && *d.fault <= 21));
}

bool needs_related(const diagnostic& d) {
  return (taken_cell_fault(d) && d.position) || d.kind == "out-of-order";
}

// A document and the few of its records the related places need.
struct related_source {
  const document_view* view;
  std::vector<record_line> records;  // in the order of their lines

  const record_line* record_at(int line) const {
    auto it = std::lower_bound(records.begin(), records.end(), line,
                               [](const record_line& r, int n) { return r.line < n; });
    return it != records.end() && it->line == line ? &*it : nullptr;
  }
};

// Reads a document's records in one pass and keeps only those the related
// places of `list` name: the records at its diagnostics' lines, the record
// of the same kind before each of them, and the point records in `cells`
// (the cells of the taken-cell faults of both documents). A document of
// millions of lines is never held as records whole.
related_source records_for_related(const document_view& v, const std::vector<diagnostic>& list,
                                   const std::set<int32_t>& cells) {
  std::set<int> lines;
  for (const diagnostic& d : list)
    if (needs_related(d)) lines.insert(d.range.start.line);
  related_source out{&v, {}};
  std::set<int> kept;
  std::map<compiler::record_kind, record_line> last_of_kind;
  auto keep = [&](const record_line& r) {
    if (kept.insert(r.line).second) out.records.push_back(r);
  };
  for_each_record_line(v.source.text(), v.kind, [&](record_line&& r) {
    if (r.kinds.empty()) return;
    const compiler::record_kind k = r.kinds[0];
    const bool at_a_line = lines.count(r.line) > 0;
    if (at_a_line) {
      if (auto before = last_of_kind.find(k); before != last_of_kind.end()) keep(before->second);
    }
    const std::optional<int32_t> p = record_position(r);
    if (at_a_line || (compiler::record_of(k).reach == compiler::record_reach::point && p &&
                      cells.count(model::point_cell(*p))))
      keep(r);
    last_of_kind.insert_or_assign(k, std::move(r));
  });
  return out;
}

// The records a diagnostic points on to: those in the same cell as a record
// refused for a taken cell, the record of the same kind before one out of
// order.
void add_related(std::vector<diagnostic>& list, const related_source& self,
                 const std::vector<const related_source*>& pair) {
  for (diagnostic& d : list) {
    const record_line* r = self.record_at(d.range.start.line);
    if (!r || r->kinds.empty()) continue;
    if (taken_cell_fault(d) && d.position) {
      for (const related_source* v : pair)
        for (const record_line* o : records_at(v->records, *d.position)) {
          if ((v->view->uri == self.view->uri && o->line == r->line) ||
              compiler::record_of(o->kinds[0]).reach != compiler::record_reach::point)
            continue;
          d.related.push_back({{v->view->uri, v->view->editor_range(o->line, o->fields[0].begin,
                                                                    o->fields.back().end)},
                               "the " + std::string(compiler::record_of(o->kinds[0]).summary) +
                                   " that holds this cell"});
        }
    } else if (d.kind == "out-of-order") {
      const record_line* before = nullptr;
      for (const record_line& o : self.records) {
        if (o.line >= r->line) break;
        if (!o.kinds.empty() && o.kinds[0] == r->kinds[0]) before = &o;
      }
      if (before)
        d.related.push_back(
            {{self.view->uri, self.view->editor_range(before->line, before->fields[0].begin,
                                                      before->fields.back().end)},
             "the " + std::string(compiler::record_of(before->kinds[0]).summary) + " before it"});
    }
  }
}

bool needs_related(const std::vector<diagnostic>& list) {
  return std::any_of(list.begin(), list.end(),
                     [](const diagnostic& d) { return needs_related(d); });
}

}  // namespace

pair_diagnostics diagnostics_of(const document_pair& pair, document_kind self) {
  pair_diagnostics out;
  const bool lone = !pair.line || !pair.train;
  checker::check_input in;
  in.line_description = pair.line ? std::string_view(pair.line->source.text()) : lone_line();
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
    const bool on_line = where == compiler::source_document::line_description;
    const document_view* target = on_line ? pair.line : pair.train;
    if (!target) continue;  // a finding in the stand-in partner
    (on_line ? out.line : out.train).push_back(diagnostic_of(f, *target));
  }
  if (needs_related(out.line) || needs_related(out.train)) {
    std::set<int32_t> cells;
    for (const std::vector<diagnostic>* list : {&out.line, &out.train})
      for (const diagnostic& d : *list)
        if (taken_cell_fault(d) && d.position) cells.insert(model::point_cell(*d.position));
    std::optional<related_source> line, train;
    std::vector<const related_source*> both;
    if (pair.line) both.push_back(&line.emplace(records_for_related(*pair.line, out.line, cells)));
    if (pair.train)
      both.push_back(&train.emplace(records_for_related(*pair.train, out.train, cells)));
    if (line) add_related(out.line, *line, both);
    if (train) add_related(out.train, *train, both);
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
                                  std::to_string(model::longest_route) + " m with nothing on it"));
  }
  return out;
}

}  // namespace lsp
