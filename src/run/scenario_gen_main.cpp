// scenario-gen: writes the built-in scenario's documents and package next to
// the executable. Where a person watches (a double click on Windows) it
// also shows a waiting window while it works, and a message box for a
// taken reserved slot or a file it could not write.

#include <iostream>
#include <optional>
#include <sstream>

#include "run/exit_status.h"
#include "run/generator.h"
#include "runtime/desktop.h"
#include "runtime/disk.h"

namespace run {

namespace {

constexpr const char* title = "scenario-gen";

int generate_beside_executable(std::ostream& err) {
  const std::string directory = runtime::application_path();
  if (directory.empty()) {
    err << "scenario-gen: cannot tell the directory of the executable" << std::endl;
    return exit_io_failure;
  }
  return run_generator(runtime::real_disk(), directory, std::cout, err);
}

}  // namespace

}  // namespace run

int main(int argc, char** argv) {
  runtime::prepare_standard_streams();
  (void)argv;
  if (argc > 1) {
    std::cerr << "usage: scenario-gen (no arguments: writes the scenario package next to the "
                 "executable)\n";
    return run::exit_usage;
  }
  if (!runtime::watched_by_a_person()) return run::generate_beside_executable(std::cerr);

  // The lines go to the console as well, once the run is over.
  std::ostringstream errors;
  int status;
  {
    const runtime::waiting_window window(run::title, "Attendere");
    status = run::generate_beside_executable(errors);
  }
  std::cerr << errors.str() << std::flush;
  const std::string shown = run::message_box_text(status, errors.str());
  if (!shown.empty()) runtime::show_message_box(run::title, shown);
  return status;
}
