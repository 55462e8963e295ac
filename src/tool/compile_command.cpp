#include "tool/compile_command.h"

#include <functional>
#include <future>
#include <ostream>
#include <string>
#include <vector>

#include <memory>
#include <optional>
#include <system_error>

#include "checker/check.h"
#include "compiler/compile.h"
#include "documents/writers.h"
#include "model/file_names.h"
#include "model/package_writer.h"
#include "run/directory_guard.h"
#include "run/exit_status.h"
#include "run/generator.h"
#include "run/package_step.h"
#include "runtime/replace_files.h"
#include "tool/arguments.h"
#include "tool/author_documents.h"
#include "tool/finding_output.h"
#include "tool/warning_options.h"

namespace tool {

namespace {

std::string compile_usage() {
  return "usage: scenario-tool compile --line FILE --train FILE [--out DIR]\n"
         "                             [--line-name NAME] [--train-number NUMBER]\n"
         "                             [--keep-partial] [-Werror] [-Wno-KIND ...]\n"
         "\n"
         "Compiles a line description and a train document into the three files of\n"
         "a scenario package, written to DIR (default: the current directory; made\n"
         "when missing) as NAME_linea.dat, NAME_NUMBER.sim and NAME_NUMBER.dat. The\n"
         "input files are never changed. NAME and NUMBER come from the documents'\n"
         "names where they read NAME_linea.txt and NAME_NUMBER-.txt, else from the\n"
         "built-in scenario.\n"
         "\n"
         "Errors and warnings are those of 'scenario-tool check', one a line on\n"
         "standard error (-Werror and -Wno-KIND as there). On an error nothing is\n"
         "written and a package already in DIR stays as it was; with --keep-partial\n"
         "what compiled is written all the same, as the generator does.\n"
         "\n"
         "Exit status: 0 written, 1 errors, 2 bad usage, 3 the compile stopped\n"
         "before the track grid existed, 4 a reserved slot was in use, 5 a file\n"
         "could not be read or written.\n"
         "\n" +
         warning_kinds_help();
}

constexpr const char* documents_usage =
    "usage: scenario-tool documents [--out DIR]\n"
    "\n"
    "Writes the built-in scenario's five documents to DIR (default: the current\n"
    "directory): the line description, the train document and the three forms.\n";

}  // namespace

namespace {

// The names of the package's files: the options', else what the documents'
// names say, else the built-in scenario's (with a note, so that nobody
// looks for the package under the wrong name).
model::scenario_identity package_identity(const arguments& args, const run::document_names& names,
                                          std::ostream& err) {
  const model::named_parts parts =
      model::names_from_documents(names.line_description, names.train_document);
  model::scenario_identity id;
  if (args.options.count("--line-name"))
    id.line_name = args.option("--line-name");
  else if (parts.line_name && model::names_files_safely({*parts.line_name, ""}))
    id.line_name = *parts.line_name;
  else {
    id.line_name = std::string(run::built_in_line_name);
    err << "scenario-tool compile: note: " << names.line_description
        << " is not named NAME_linea.txt; the package takes the line name " << id.line_name
        << " (give --line-name to choose one)\n";
  }
  if (args.options.count("--train-number"))
    id.train_number = args.option("--train-number");
  else if (parts.train_number && model::names_files_safely({id.line_name, *parts.train_number}))
    id.train_number = *parts.train_number;
  else {
    id.train_number = std::string(run::built_in_train_number);
    err << "scenario-tool compile: note: " << names.train_document
        << " is not named NAME_NUMBER-.txt; the package takes the train number " << id.train_number
        << " (give --train-number to choose one)\n";
  }
  return id;
}

// Whether any file of the package is in the directory already.
bool package_exists(runtime::disk& d, const model::scenario_identity& id,
                    const std::string& directory) {
  for (const std::string& path : model::package_paths(id, directory))
    if (d.stat_no_follow(path) != runtime::disk::entry::missing) return true;
  return false;
}

// The package of a compile written under temporary names while the checker
// reads the documents: in a directory that is there already and holds no
// unfinished replacement. The files take their place only once the check
// found no error (or with --keep-partial); otherwise they go again and the
// directory is left as it was.
struct package_ahead {
  std::unique_ptr<runtime::directory_lock> lock;  // held once the directory was taken
  model::stamp_outcome stamp = model::stamp_outcome::stamped;
  bool written = false;         // every temporary file is there (else none is)
  runtime::io_failure failure;  // why the writing failed
};

// Takes the directory for a package written ahead; false where it cannot be
// (the ordinary write after the check then tries again and says what is
// wrong).
bool take_directory_ahead(package_ahead& a, runtime::disk& d, const std::string& directory,
                          const std::vector<std::string>& paths) {
  if (d.stat(directory) != runtime::disk::entry::directory ||
      d.stat_no_follow(runtime::journal_path(directory)) != runtime::disk::entry::missing)
    return false;
  std::string reason;
  runtime::io_failure unrecovered;
  a.lock = d.lock_directory(directory, &reason);
  if (a.lock && !runtime::recover_interrupted_replacement(d, directory, paths, &unrecovered))
    a.lock.reset();
  return a.lock != nullptr;
}

// Compiles the documents and writes the package under temporary names in a
// directory taken ahead. The plan's file is written on a thread of its own
// from the moment the line description is compiled, while the train
// document is read; the other two files are written beside it once the
// compile is done and stamped. `compiled_done` is called as soon as the
// compile is, before the files are written. At the end either every
// temporary file is there (a.written) or none is.
void compile_and_write_ahead(const compiler::compile_input& documents,
                             compiler::compile_result& out, package_ahead& a, runtime::disk& d,
                             const model::scenario_identity& id, const std::string& directory,
                             const std::vector<std::string>& paths,
                             const std::function<void()>& compiled_done) {
  compiler::compile_input input = documents;
  const bool taken = take_directory_ahead(a, d, directory, paths);
  model::line_plan plan;
  std::future<bool> plan_written;
  if (taken)
    input.line_plan_done = [&](const model::line_plan& p) {
      plan = p;
      try {
        plan_written = std::async(std::launch::async, [&] {
          return model::write_plan_temporary(plan, id, directory, d, &a.failure);
        });
      } catch (const std::system_error&) {
        // No thread to be had: the plan is written with the other files.
      }
    };
  out = compiler::compile_documents(input);
  bool ahead = false;
  if (taken && out.compiled.has_grid()) {
    a.stamp = model::stamp_reserved_slots(out.compiled);
    ahead = a.stamp == model::stamp_outcome::stamped;
  }
  compiled_done();
  // From here until the check ends both threads only read the scenario.
  // The other two files are written beside the plan's.
  const bool plan_apart = plan_written.valid();
  runtime::io_failure others_failure;
  const bool others_written =
      ahead && model::write_package_temporaries(out.compiled, id, directory, !plan_apart, d,
                                                &others_failure);
  const bool plan_ok = !plan_apart || plan_written.get();
  if (plan_ok && ahead && !others_written) a.failure = others_failure;
  a.written = plan_ok && others_written;
  if (taken && !a.written) runtime::discard_temporaries(d, paths);
  // A compile that ended before the grid writes nothing: the directory is
  // taken again, and the run says why, after the check.
  if (!out.compiled.has_grid()) a.lock.reset();
}

}  // namespace

int compile_command(int argc, char** argv, runtime::disk& d, std::ostream& out, std::ostream& err) {
  checker::check_options options;
  std::vector<char*> rest(argv, argv + argc);
  std::string error;
  if (!take_warning_options(rest, 2, &options, &error)) {
    err << "scenario-tool compile: " << error << "\n" << compile_usage();
    return run::exit_usage;
  }

  arguments args;
  if (!parse_arguments(static_cast<int>(rest.size()), rest.data(), 2,
                       {"--line", "--train", "--out", "--line-name", "--train-number"},
                       {"--help", "-h", "--keep-partial"}, &args, &error)) {
    err << "scenario-tool compile: " << error << "\n" << compile_usage();
    return run::exit_usage;
  }
  if (args.has("--help") || args.has("-h")) {
    out << compile_usage();
    return run::exit_clean;
  }
  if (const std::string missing = missing_options(args, {"--line FILE", "--train FILE"});
      !missing.empty()) {
    err << "scenario-tool compile: " << missing << "\n" << compile_usage();
    return run::exit_usage;
  }
  if (!args.positional.empty()) {
    err << "scenario-tool compile: unexpected argument '" << args.positional[0]
        << "' (the documents go with --line and --train, the directory with --out)\n"
        << compile_usage();
    return run::exit_usage;
  }
  const run::document_names names{args.option("--line"), args.option("--train")};
  const model::scenario_identity id = package_identity(args, names, err);
  if (!model::names_files_safely(id)) {
    err << "scenario-tool compile: the line name and train number must be file names\n";
    return run::exit_usage;
  }

  author_documents docs;
  if (!read_author_documents(d, names, &docs, err)) return run::exit_io_failure;

  compiler::compile_input input;
  input.line_description = docs.line_description;
  input.train_document = docs.train_document;
  input.line_name = id.line_name;
  input.train_number = id.train_number;
  const std::string directory = args.option("--out", ".");
  const std::vector<std::string> paths = model::package_paths(id, directory);

  // The compile, and then the writing of its package under temporary names,
  // on a thread of their own while the checker reads the documents line by
  // line; the check waits for the compile only at its end.
  compiler::compile_result compiled;
  package_ahead package;
  std::promise<const compiler::compile_result*> compile_done;
  checker::check_input check_input{docs.line_description, docs.train_document};
  check_input.compiling = compile_done.get_future().share();
  std::future<void> compiling = std::async(std::launch::async, [&] {
    bool done = false;
    try {
      compile_and_write_ahead(input, compiled, package, d, id, directory, paths, [&] {
        done = true;
        compile_done.set_value(&compiled);
      });
    } catch (...) {
      if (!done) compile_done.set_exception(std::current_exception());
      throw;
    }
  });
  const std::vector<compiler::finding> found = checker::check_documents(check_input, options);
  compiling.get();
  const bool written_ahead = package.written;
  write_findings(err, found, found.size(), names);
  const size_t errors = error_count(found);
  const bool keep_partial = args.has("--keep-partial");

  if (errors > 0 && !keep_partial) {
    if (written_ahead) runtime::discard_temporaries(d, paths);
    package.lock.reset();
    err << "scenario-tool compile: " << count_of_findings(found) << "; no package written"
        << (package_exists(d, id, directory) ? " (the one in " + directory + " is unchanged)" : "")
        << "\n";
    return compiled.fault && !compiled.compiled.has_grid() ? run::exit_no_package
                                                           : run::exit_compile_fault;
  }
  if (!found.empty()) err << "scenario-tool compile: " << count_of_findings(found) << "\n";

  run::package_step step;
  std::unique_ptr<runtime::directory_lock>& lock = package.lock;
  if (lock) {
    if (package.stamp != model::stamp_outcome::stamped) {
      step.outcome = run::package_outcome::reserved_slot;
      step.stamp = package.stamp;
    } else if (!written_ahead) {
      step.outcome = run::package_outcome::io_failed;
      step.failure = package.failure;
    } else if (!runtime::replace_together(d, paths, &step.failure)) {
      step.outcome = run::package_outcome::io_failed;
    }
  } else {
    if (!runtime::make_directories(d, directory, &error)) {
      err << "scenario-tool compile: cannot make the output directory: " << error << "\n";
      return run::exit_io_failure;
    }
    lock = run::take_directory(d, directory, paths, "scenario-tool", err);
    if (!lock) return run::exit_io_failure;
    step = run::stamp_and_write(compiled, id, directory, true, d);
  }
  switch (step.outcome) {
    case run::package_outcome::io_failed:
      err << "scenario-tool: " << runtime::describe(step.failure) << std::endl;
      return run::exit_io_failure;
    case run::package_outcome::reserved_slot:
      run::report_reserved_slot(err, step.stamp);
      return run::exit_reserved_slot;
    case run::package_outcome::no_grid:
      err << "scenario-tool compile: the compile stopped before the track grid existed; no "
             "package written\n";
      return run::exit_no_package;
    case run::package_outcome::written:
      break;
  }
  out << "wrote " << model::path_in(directory, model::plan_file_name(id)) << ", "
      << model::path_in(directory, model::table_file_name(id)) << " and "
      << model::path_in(directory, model::grid_file_name(id)) << "\n";
  return errors > 0 ? run::exit_compile_fault : run::exit_clean;
}

int documents_command(int argc, char** argv, runtime::disk& d, std::ostream& out,
                      std::ostream& err) {
  arguments args;
  std::string error;
  if (!parse_arguments(argc, argv, 2, {"--out"}, {"--help", "-h"}, &args, &error)) {
    err << "scenario-tool documents: " << error << "\n" << documents_usage;
    return run::exit_usage;
  }
  if (args.has("--help") || args.has("-h")) {
    out << documents_usage;
    return run::exit_clean;
  }
  if (!args.positional.empty()) {
    err << documents_usage;
    return run::exit_usage;
  }
  const std::string directory = args.option("--out", ".");
  if (!runtime::make_directories(d, directory, &error)) {
    err << "scenario-tool documents: cannot make the output directory: " << error << "\n";
    return run::exit_io_failure;
  }
  const std::unique_ptr<runtime::directory_lock> lock =
      run::take_directory(d, directory, model::document_paths(run::built_in_identity(), directory),
                          "scenario-tool", err);
  if (!lock) return run::exit_io_failure;
  runtime::io_failure failure;
  if (!documents::write_builtin_documents(d, directory, run::built_in_identity(), &failure)) {
    err << "scenario-tool: " << runtime::describe(failure) << std::endl;
    return run::exit_io_failure;
  }
  return run::exit_clean;
}

}  // namespace tool
