#include "tool/check_command.h"

#include <ostream>
#include <string>
#include <vector>

#include "checker/check.h"
#include "run/exit_status.h"
#include "tool/arguments.h"
#include "tool/author_documents.h"
#include "tool/finding_output.h"
#include "tool/json_writer.h"
#include "tool/warning_options.h"

namespace tool {

namespace {

constexpr size_t default_message_limit = 100;

std::string usage() {
  std::string u =
      "usage: scenario-tool check --line FILE --train FILE [--format text|json]\n"
      "                           [--max-messages N] [-Werror] [-Wno-KIND ...]\n"
      "\n"
      "Reads a line description and a train document, writes nothing, and reports\n"
      "every problem found in them: the compile's own fault, every other record the\n"
      "compile would refuse, and warnings for what the compile accepts silently.\n"
      "Each message reads FILE:LINE:COLUMN: error|warning: MESSAGE [code N or KIND];\n"
      "--format json prints them as a JSON array. At most N messages are printed\n"
      "(default 100, 0 for all). -Wno-KIND turns a kind of warning off, -Werror makes\n"
      "every warning an error.\n"
      "\n"
      "Exit status: 0 no errors (warnings allowed), 1 errors, 2 bad usage, 5 a file\n"
      "could not be read.\n"
      "\n";
  u += warning_kinds_help();
  return u;
}

// The columns a finding or a related record marks on its line.
void write_columns(json_writer& w, const compiler::column_range& columns) {
  w.key("range");
  w.begin_object(true);
  w.member("start_column", columns.begin);
  w.member("end_column", columns.end);
  w.end_object();
}

// Findings as a JSON array, an object a line: where (file, line, column and,
// for a finding on a line, the range of columns it marks), what (severity,
// code or kind, position, whether the compile itself stops there, message)
// and the records that explain it, each with its file, line, range and why.
void write_json(std::ostream& out, const std::vector<compiler::finding>& found, size_t shown,
                const std::string& line_file, const std::string& train_file) {
  auto file_of = [&](compiler::source_document d) -> const std::string& {
    return d == compiler::source_document::line_description ? line_file : train_file;
  };
  json_writer w;
  w.begin_array();
  for (size_t i = 0; i < shown; ++i) {
    const compiler::finding& f = found[i];
    w.begin_object(true);
    w.member("file", file_of(f.document));
    w.member("line", f.line);
    w.member("column", f.column);
    if (f.line > 0) write_columns(w, f.range);
    w.member("severity", compiler::level_name(f.level));
    if (f.code) w.member("code", compiler::fault_number(*f.code));
    if (f.kind) w.member("kind", compiler::warning_name(*f.kind));
    if (f.position) w.member("position", *f.position);
    w.member("from_compile", f.from_compile);
    w.member("message", f.message);
    if (!f.related.empty()) {
      w.key("related");
      w.begin_array(true);
      for (const compiler::related_record& r : f.related) {
        w.begin_object(true);
        w.member("file", file_of(r.document));
        w.member("line", r.line);
        write_columns(w, r.columns);
        w.member("message", r.message);
        w.end_object();
      }
      w.end_array();
    }
    w.end_object();
  }
  w.end_array();
  out << w.out;
}

}  // namespace

int check_command(int argc, char** argv, runtime::disk& d, std::ostream& out, std::ostream& err) {
  // The warning switches first: -Werror and -Wno-KIND.
  checker::check_options options;
  std::vector<char*> rest(argv, argv + argc);
  std::string error;
  if (!take_warning_options(rest, 2, &options, &error)) {
    err << "scenario-tool check: " << error << "\n" << usage();
    return run::exit_usage;
  }

  arguments args;
  if (!parse_arguments(static_cast<int>(rest.size()), rest.data(), 2,
                       {"--line", "--train", "--format", "--max-messages"}, {"--help", "-h"}, &args,
                       &error)) {
    err << "scenario-tool check: " << error << "\n" << usage();
    return run::exit_usage;
  }
  if (args.has("--help") || args.has("-h")) {
    out << usage();
    return run::exit_clean;
  }
  const std::string format = args.option("--format", "text");
  size_t limit = default_message_limit;
  if (args.options.count("--max-messages")) {
    const std::string n = args.option("--max-messages");
    if (n.empty() || n.size() > 9 || n.find_first_not_of("0123456789") != std::string::npos) {
      err << "scenario-tool check: --max-messages takes a whole number\n";
      return run::exit_usage;
    }
    limit = static_cast<size_t>(std::stoul(n));
  }
  if (const std::string missing = missing_options(args, {"--line FILE", "--train FILE"});
      !missing.empty()) {
    err << "scenario-tool check: " << missing << "\n" << usage();
    return run::exit_usage;
  }
  if (!args.positional.empty()) {
    err << "scenario-tool check: unexpected argument '" << args.positional[0]
        << "' (the documents go with --line and --train)\n"
        << usage();
    return run::exit_usage;
  }
  if (format != "text" && format != "json") {
    err << "scenario-tool check: --format takes text or json, not '" << format << "'\n";
    return run::exit_usage;
  }

  const std::string line_file = args.option("--line"), train_file = args.option("--train");
  author_documents docs;
  if (!read_author_documents(d, {line_file, train_file}, &docs, err)) return run::exit_io_failure;
  const std::string& line = docs.line_description;
  const std::string& train = docs.train_document;

  const std::vector<compiler::finding> found = checker::check_documents({line, train}, options);
  const size_t errors = error_count(found);
  const size_t shown = limit == 0 ? found.size() : std::min(limit, found.size());

  if (format == "json") {
    write_json(out, found, shown, line_file, train_file);
  } else {
    write_findings(out, found, shown, {line_file, train_file});
  }
  if (shown < found.size())
    err << "scenario-tool check: " << found.size() - shown
        << " more messages not shown (--max-messages)\n";
  if (!found.empty()) err << "scenario-tool check: " << count_of_findings(found) << "\n";
  return errors > 0 ? run::exit_compile_fault : run::exit_clean;
}

}  // namespace tool
