#include "run/package_step.h"

#include <optional>
#include <ostream>

#include "compiler/finding.h"
#include "run/exit_status.h"
#include "runtime/windows1252.h"

namespace run {

package_step stamp_and_write(compiler::compile_result& compiled, const model::scenario_identity& id,
                             const std::string& directory, bool with_plan, runtime::disk& d) {
  package_step step;
  if (!compiled.compiled.has_grid()) {
    step.outcome = package_outcome::no_grid;
    return step;
  }
  step.stamp = model::stamp_reserved_slots(compiled.compiled);
  if (step.stamp != model::stamp_outcome::stamped) {
    step.outcome = package_outcome::reserved_slot;
    return step;
  }
  if (!model::write_package(compiled.compiled, id, directory, with_plan, d, &step.failure))
    step.outcome = package_outcome::io_failed;
  return step;
}

namespace {

// The bytes of a source document, or nullopt when it is not there.
bool read_document(runtime::disk& d, const std::string& path, std::optional<std::string>* out,
                   runtime::io_failure* failure) {
  if (d.stat(path) != runtime::disk::entry::file) return true;
  std::string bytes, reason;
  if (!d.read_file(path, &bytes, &reason)) {
    *failure = {path, reason, "read"};
    return false;
  }
  *out = std::move(bytes);
  return true;
}

bool delete_document(runtime::disk& d, const std::string& path, runtime::io_failure* failure) {
  std::string reason;
  if (d.remove_file(path, &reason)) return true;
  *failure = {path, reason, "delete"};
  return false;
}

}  // namespace

bool compile_in_directory(runtime::disk& d, const model::scenario_identity& id,
                          const std::string& directory, bool with_plan, directory_build* out) {
  directory_build& build = *out;
  const std::string line_path = model::path_in(directory, model::line_description_name(id));
  const std::string train_path = model::path_in(directory, model::train_document_name(id));
  std::optional<std::string> line, train;
  if (!read_document(d, line_path, &line, &build.package.failure) ||
      !read_document(d, train_path, &train, &build.package.failure)) {
    build.package.outcome = package_outcome::io_failed;
    return false;
  }

  compiler::compile_input input;
  if (line) input.line_description = *line;
  if (train) input.train_document = *train;
  input.line_name = id.line_name;
  input.train_number = id.train_number;
  input.with_plan = with_plan;
  build.compile = compiler::compile_documents(input);

  // The documents the compile read are the run's own: they go, the line
  // description first.
  if ((build.compile.line_description_consumed &&
       !delete_document(d, line_path, &build.package.failure)) ||
      (build.compile.train_document_consumed &&
       !delete_document(d, train_path, &build.package.failure))) {
    build.package.outcome = package_outcome::io_failed;
    return false;
  }
  return true;
}

directory_build build_package_in(runtime::disk& d, const model::scenario_identity& id,
                                 const std::string& directory, bool with_plan) {
  directory_build build;
  if (compile_in_directory(d, id, directory, with_plan, &build))
    build.package = stamp_and_write(build.compile, id, directory, with_plan, d);
  return build;
}

void report_fault(std::ostream& err, std::string_view program, const compiler::compile_fault& fault,
                  const document_names* names) {
  if (names) {
    const compiler::finding f = compiler::finding_of_fault(fault);
    compiler::write_finding(err, f,
                            f.document == compiler::source_document::line_description
                                ? names->line_description
                                : names->train_document);
    err.flush();
    return;
  }
  err << program << ": error " << compiler::fault_number(fault.code) << " at " << fault.position
      << " m: " << compiler::fault_meaning(fault.code) << std::endl;
}

void report_reserved_slot(std::ostream& err, model::stamp_outcome stamp) {
  err << " Errore n. " << model::reserved_slot_error_number(stamp) << std::endl;
}

int report_package_step(std::ostream& err, std::string_view program,
                        const compiler::compile_result& compiled, const package_step& step,
                        const document_names* names) {
  switch (step.outcome) {
    case package_outcome::io_failed:
      err << program << ": " << runtime::describe(step.failure) << std::endl;
      return exit_io_failure;
    case package_outcome::reserved_slot:
      report_reserved_slot(err, step.stamp);
      return exit_reserved_slot;
    case package_outcome::no_grid:
      if (compiled.fault) report_fault(err, program, *compiled.fault, names);
      err << program << ": no package written" << std::endl;
      return exit_no_package;
    case package_outcome::written:
      if (!compiled.fault) return exit_clean;
      report_fault(err, program, *compiled.fault, names);
      return exit_compile_fault;
  }
  return exit_io_failure;
}

}  // namespace run
