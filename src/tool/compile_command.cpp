#include "tool/compile_command.h"

#include <ostream>

#include "compiler/compile_context.h"
#include "documents/writers.h"
#include "model/file_names.h"
#include "run/fault_codes.h"
#include "run/run_sequence.h"
#include "runtime/overlay_disk.h"
#include "tool/arguments.h"

namespace {

constexpr const char* compile_usage =
    "usage: scenario-tool compile --line FILE --train FILE [--out DIR]\n"
    "                             [--line-name NAME] [--train-number NUMBER]\n"
    "\n"
    "Compiles a line description and a train document into the three files of\n"
    "a scenario package, written to DIR (default: the current directory) as\n"
    "NAME_linea.dat, NAME_NUMBER.sim and NAME_NUMBER.dat. The input files are\n"
    "never changed. NAME and NUMBER default to the built-in scenario's.\n";

constexpr const char* documents_usage =
    "usage: scenario-tool documents [--out DIR]\n"
    "\n"
    "Writes the built-in scenario's five documents to DIR (default: the current\n"
    "directory): the line description, the train document and the three forms.\n";

// Where the compile stopped, as an author needs it: the document and the
// line of the record's keyword.
void report_fault(std::ostream& err, const run_state& st, const std::string& line_file,
                  const std::string& train_file) {
  const fault_place& place = st.fault;
  err << "scenario-tool: ";
  if (place.document == in_line_document || place.document == in_train_document) {
    err << (place.document == in_line_document ? line_file : train_file);
    if (place.line > 0) err << ":" << place.line;
    err << ": ";
  }
  err << "error " << st.error_code << " at " << st.error_position
      << " m: " << describe_fault(st.error_code).meaning;
  if (!place.keyword.empty()) err << " (record \"" << place.keyword << "\")";
  if (!place.detail.empty()) err << " (" << place.detail << ")";
  err << std::endl;
}

}  // namespace

int compile_command(int argc, char** argv, std::ostream& out, std::ostream& err) {
  arguments args;
  std::string error;
  if (!parse_arguments(argc, argv, 2,
                       {"--line", "--train", "--out", "--line-name", "--train-number"},
                       {"--help", "-h"}, &args, &error)) {
    err << "scenario-tool compile: " << error << "\n" << compile_usage;
    return exit_usage;
  }
  if (args.has("--help") || args.has("-h")) {
    out << compile_usage;
    return exit_clean;
  }
  if (!args.positional.empty() || !args.options.count("--line") || !args.options.count("--train")) {
    err << compile_usage;
    return exit_usage;
  }

  run_state st;
  st.line_name = args.option("--line-name", std::string(built_in_line_name));
  st.train_number = args.option("--train-number", std::string(built_in_train_number));
  st.directory = args.option("--out", ".");
  if (st.line_name.empty() || st.line_name.find('/') != std::string::npos ||
      st.train_number.find('/') != std::string::npos) {
    err << "scenario-tool compile: the line name and train number must be file names\n";
    return exit_usage;
  }
  if (real_disk().stat(st.directory) != disk::entry::directory) {
    err << "scenario-tool compile: " << st.directory << " is not a directory\n";
    return exit_io_failure;
  }

  const std::string line_file = args.option("--line");
  const std::string train_file = args.option("--train");
  overlay_disk d(real_disk());
  for (const auto& [input, staged] : {std::pair{line_file, line_document_path(st)},
                                      std::pair{train_file, train_document_path(st)}}) {
    std::string bytes, reason;
    if (!real_disk().read_file(input, &bytes, &reason)) {
      err << "scenario-tool: cannot read " << input << ": " << reason << "\n";
      return exit_io_failure;
    }
    d.files[staged] = std::move(bytes);
  }

  percorso_result result = memorizza_percorso(st, d, 1);
  if (st.error_code != 0 && result.outcome != percorso_outcome::io_failed &&
      result.outcome != percorso_outcome::reserved_slot) {
    report_fault(err, st, line_file, train_file);
    if (result.outcome == percorso_outcome::no_grid) {
      err << "scenario-tool: no package written" << std::endl;
      return exit_no_package;
    }
    return exit_compile_fault;
  }
  int status = finish_run(err, "scenario-tool", st, result);
  if (status == exit_clean)
    out << "wrote " << plan_file_path(st) << ", " << table_file_path(st) << " and "
        << grid_file_path(st) << "\n";
  return status;
}

int documents_command(int argc, char** argv, std::ostream& out, std::ostream& err) {
  arguments args;
  std::string error;
  if (!parse_arguments(argc, argv, 2, {"--out"}, {"--help", "-h"}, &args, &error)) {
    err << "scenario-tool documents: " << error << "\n" << documents_usage;
    return exit_usage;
  }
  if (args.has("--help") || args.has("-h")) {
    out << documents_usage;
    return exit_clean;
  }
  if (!args.positional.empty()) {
    err << documents_usage;
    return exit_usage;
  }
  run_state st;
  st.line_name = built_in_line_name;
  st.train_number = built_in_train_number;
  st.directory = args.option("--out", ".");
  if (real_disk().stat(st.directory) != disk::entry::directory) {
    err << "scenario-tool documents: " << st.directory << " is not a directory\n";
    return exit_io_failure;
  }
  io_failure failure;
  disk& d = real_disk();
  if (!dati_linea(st, d, &failure) || !dati_treno(st, d, &failure) || !dati_note(st, d, &failure) ||
      !dati_rallentamenti(st, d, &failure) || !dati_scheda(st, d, &failure)) {
    err << "scenario-tool: " << describe(failure) << std::endl;
    return exit_io_failure;
  }
  return exit_clean;
}
