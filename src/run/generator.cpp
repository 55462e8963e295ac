#include "run/generator.h"

#include <ostream>

#include "documents/writers.h"
#include "run/exit_status.h"
#include "run/package_step.h"

namespace {
constexpr std::string_view program_name = "scenario-gen";
}

scenario_identity built_in_identity() {
  return {std::string(built_in_line_name), std::string(built_in_train_number)};
}

int run_generator(disk& d, const std::string& directory, std::ostream& out, std::ostream& err) {
  const scenario_identity id = built_in_identity();
  out << "Attendere" << std::endl;

  io_failure failure;
  if (!write_builtin_documents(d, directory, id, &failure)) {
    err << program_name << ": " << describe(failure) << std::endl;
    return exit_io_failure;
  }
  const directory_build build = build_package_in(d, id, directory, true);
  return report_package_step(err, program_name, build.compile, build.package, nullptr);
}
