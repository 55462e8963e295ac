#include "run/package_step.h"

#include <optional>
#include <ostream>

#include "compiler/finding.h"
#include "run/exit_status.h"
#include "runtime/windows1252.h"

package_step stamp_and_write(compile_result& compiled, const scenario_identity& id,
                             const std::string& directory, bool with_plan, disk& d) {
  package_step step;
  if (!compiled.compiled.has_grid()) {
    step.outcome = package_outcome::no_grid;
    return step;
  }
  step.stamp = stamp_reserved_slots(compiled.compiled);
  if (step.stamp != stamp_outcome::stamped) {
    step.outcome = package_outcome::reserved_slot;
    return step;
  }
  if (!write_package(compiled.compiled, id, directory, with_plan, d, &step.failure))
    step.outcome = package_outcome::io_failed;
  return step;
}

namespace {

// The bytes of a source document, or nullopt when it is not there.
bool read_document(disk& d, const std::string& path, std::optional<std::string>* out,
                   io_failure* failure) {
  if (d.stat(path) != disk::entry::file) return true;
  std::string bytes, reason;
  if (!d.read_file(path, &bytes, &reason)) {
    *failure = {path, reason, "read"};
    return false;
  }
  *out = std::move(bytes);
  return true;
}

bool delete_document(disk& d, const std::string& path, io_failure* failure) {
  std::string reason;
  if (d.remove_file(path, &reason)) return true;
  *failure = {path, reason, "delete"};
  return false;
}

}  // namespace

directory_build build_package_in(disk& d, const scenario_identity& id, const std::string& directory,
                                 bool with_plan) {
  directory_build build;
  const std::string line_path = path_in(directory, line_description_name(id));
  const std::string train_path = path_in(directory, train_document_name(id));
  std::optional<std::string> line, train;
  if (!read_document(d, line_path, &line, &build.package.failure) ||
      !read_document(d, train_path, &train, &build.package.failure)) {
    build.package.outcome = package_outcome::io_failed;
    return build;
  }

  compile_input input;
  if (line) input.line_description = *line;
  if (train) input.train_document = *train;
  input.line_name = id.line_name;
  input.train_number = id.train_number;
  input.with_plan = with_plan;
  build.compile = compile_documents(input);

  // The documents the compile read are the run's own: they go, the line
  // description first.
  if ((build.compile.line_description_consumed &&
       !delete_document(d, line_path, &build.package.failure)) ||
      (build.compile.train_document_consumed &&
       !delete_document(d, train_path, &build.package.failure))) {
    build.package.outcome = package_outcome::io_failed;
    return build;
  }
  build.package = stamp_and_write(build.compile, id, directory, with_plan, d);
  return build;
}

void report_fault(std::ostream& err, std::string_view program, const compile_fault& fault,
                  const document_names* names) {
  if (names) {
    const finding f = finding_of_fault(fault);
    write_finding(err, f,
                  f.document == source_document::line_description ? names->line_description
                                                                  : names->train_document);
    err.flush();
    return;
  }
  err << program << ": error " << fault_number(fault.code) << " at " << fault.position
      << " m: " << fault_meaning(fault.code) << std::endl;
}

void report_reserved_slot(std::ostream& err, stamp_outcome stamp) {
  err << " Errore n. " << reserved_slot_error_number(stamp) << std::endl;
}

int report_package_step(std::ostream& err, std::string_view program, const compile_result& compiled,
                        const package_step& step, const document_names* names) {
  switch (step.outcome) {
    case package_outcome::io_failed:
      err << program << ": " << describe(step.failure) << std::endl;
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
