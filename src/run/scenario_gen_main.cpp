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

namespace {

constexpr const char* title = "scenario-gen";

int run(std::ostream& err) {
  const std::string directory = application_path();
  if (directory.empty()) {
    err << "scenario-gen: cannot tell the directory of the executable" << std::endl;
    return exit_io_failure;
  }
  return run_generator(real_disk(), directory, std::cout, err);
}

}  // namespace

int main(int argc, char** argv) {
  prepare_standard_streams();
  (void)argv;
  if (argc > 1) {
    std::cerr << "usage: scenario-gen (no arguments: writes the scenario package next to the "
                 "executable)\n";
    return exit_usage;
  }
  if (!watched_by_a_person()) return run(std::cerr);

  // The lines go to the console as well, once the run is over.
  std::ostringstream errors;
  int status;
  {
    const waiting_window window(title, "Attendere");
    status = run(errors);
  }
  std::cerr << errors.str() << std::flush;
  const std::string shown = message_box_text(status, errors.str());
  if (!shown.empty()) show_message_box(title, shown);
  return status;
}
