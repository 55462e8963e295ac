// scenario-gen: writes the built-in scenario's documents and package next to
// the executable.

#include <iostream>

#include "run/exit_status.h"
#include "run/generator.h"
#include "runtime/disk.h"

int main(int argc, char** argv) {
  (void)argv;
  if (argc > 1) {
    std::cerr << "usage: scenario-gen (no arguments: writes the scenario package next to the "
                 "executable)\n";
    return exit_usage;
  }
  const std::string directory = application_path();
  if (directory.empty()) {
    std::cerr << "scenario-gen: cannot tell the directory of the executable\n";
    return exit_io_failure;
  }
  return run_generator(real_disk(), directory, std::cout, std::cerr);
}
