#include "tool/compile_command.h"

#include <ostream>

#include <memory>
#include <optional>

#include "checker/check.h"
#include "compiler/compile.h"
#include "documents/writers.h"
#include "model/file_names.h"
#include "run/directory_guard.h"
#include "run/exit_status.h"
#include "run/generator.h"
#include "run/package_step.h"
#include "tool/arguments.h"
#include "tool/author_documents.h"

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

}  // namespace

int compile_command(int argc, char** argv, disk& d, std::ostream& out, std::ostream& err) {
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

  scenario_identity id;
  id.line_name = args.option("--line-name", std::string(built_in_line_name));
  id.train_number = args.option("--train-number", std::string(built_in_train_number));
  const std::string directory = args.option("--out", ".");
  if (!names_files_safely(id)) {
    err << "scenario-tool compile: the line name and train number must be file names\n";
    return exit_usage;
  }
  if (d.stat(directory) != disk::entry::directory) {
    err << "scenario-tool compile: " << directory << " is not a directory\n";
    return exit_io_failure;
  }

  const document_names names{args.option("--line"), args.option("--train")};
  author_documents docs;
  if (!read_author_documents(d, names, &docs, err)) return exit_io_failure;

  const std::unique_ptr<directory_lock> lock =
      take_directory(d, directory, package_paths(id, directory), "scenario-tool", err);
  if (!lock) return exit_io_failure;

  compile_input input;
  input.line_description = docs.line_description;
  input.train_document = docs.train_document;
  input.line_name = id.line_name;
  input.train_number = id.train_number;
  compile_result compiled = compile_documents(input);
  const package_step step = stamp_and_write(compiled, id, directory, true, d);
  // A fault that names no record (the kilometric ranges', the approach-marker
  // pass's) is shown at the record that set it off.
  if (compiled.fault && compiled.fault->line == 0)
    locate_fault({docs.line_description, docs.train_document}, *compiled.fault);
  const int status = report_package_step(err, "scenario-tool", compiled, step, &names);
  if (status == exit_clean)
    out << "wrote " << path_in(directory, plan_file_name(id)) << ", "
        << path_in(directory, table_file_name(id)) << " and "
        << path_in(directory, grid_file_name(id)) << "\n";
  return status;
}

int documents_command(int argc, char** argv, disk& d, std::ostream& out, std::ostream& err) {
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
  const std::string directory = args.option("--out", ".");
  if (d.stat(directory) != disk::entry::directory) {
    err << "scenario-tool documents: " << directory << " is not a directory\n";
    return exit_io_failure;
  }
  const std::unique_ptr<directory_lock> lock = take_directory(
      d, directory, document_paths(built_in_identity(), directory), "scenario-tool", err);
  if (!lock) return exit_io_failure;
  io_failure failure;
  if (!write_builtin_documents(d, directory, built_in_identity(), &failure)) {
    err << "scenario-tool: " << describe(failure) << std::endl;
    return exit_io_failure;
  }
  return exit_clean;
}
