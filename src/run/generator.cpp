#include "run/generator.h"

#include <cerrno>
#include <cstring>
#include <memory>
#include <ostream>

#include "documents/writers.h"
#include "run/directory_guard.h"
#include "run/exit_status.h"
#include "run/package_step.h"

namespace run {

namespace {

constexpr std::string_view program_name = "scenario-gen";

// The line description and the train document live only while a run lasts:
// a run that ends on a failed file operation removes what it left of them, as
// far as the disk lets it (the failure already reported is the one that
// counts).
void remove_source_documents(runtime::disk& d, const model::scenario_identity& id,
                             const std::string& directory) {
  for (const std::string& name :
       {model::line_description_name(id), model::train_document_name(id)}) {
    const std::string path = model::path_in(directory, name);
    std::string ignored;
    if (d.stat_no_follow(path) == runtime::disk::entry::file) d.remove_file(path, &ignored);
  }
}

}  // namespace

model::scenario_identity built_in_identity() {
  return {std::string(built_in_line_name), std::string(built_in_train_number)};
}

std::vector<std::string> generator_file_paths(const model::scenario_identity& id,
                                              const std::string& directory) {
  std::vector<std::string> paths = model::document_paths(id, directory);
  for (std::string& p : model::package_paths(id, directory)) paths.push_back(std::move(p));
  return paths;
}

int run_generator(runtime::disk& d, const std::string& directory, std::ostream& out,
                  std::ostream& err) {
  const model::scenario_identity id = built_in_identity();
  out << "Attendere" << std::endl;
  if (!out) {
    err << program_name << ": cannot write standard output: " << std::strerror(errno) << std::endl;
    return exit_io_failure;
  }

  const std::unique_ptr<runtime::directory_lock> lock =
      take_directory(d, directory, generator_file_paths(id, directory), program_name, err);
  if (!lock) return exit_io_failure;

  runtime::io_failure failure;
  if (!documents::write_builtin_documents(d, directory, id, &failure)) {
    remove_source_documents(d, id, directory);
    err << program_name << ": " << runtime::describe(failure) << std::endl;
    return exit_io_failure;
  }
  const directory_build build = build_package_in(d, id, directory, true);
  if (build.package.outcome == package_outcome::io_failed)
    remove_source_documents(d, id, directory);
  return report_package_step(err, program_name, build.compile, build.package, nullptr);
}

std::string message_box_text(int status, std::string_view errors) {
  if (status != exit_reserved_slot && status != exit_io_failure) return std::string();
  while (!errors.empty() && errors.back() == '\n') errors.remove_suffix(1);
  std::string_view line = errors.substr(errors.rfind('\n') + 1);
  const std::string prefix = std::string(program_name) + ": ";
  if (line.starts_with(prefix)) line.remove_prefix(prefix.size());
  return std::string(line);
}

}  // namespace run
