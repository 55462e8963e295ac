// scenario-gen: writes the built-in scenario's documents and package next to
// the executable.

#include <iostream>

#include "model/run_state.h"
#include "run/run_sequence.h"
#include "runtime/disk.h"

int main(int argc, char** argv) {
  (void)argv;
  if (argc > 1) {
    std::cerr << "usage: scenario-gen (no arguments: writes the scenario package next to the "
                 "executable)\n";
    return exit_usage;
  }
  run_state st;
  st.directory = application_path();
  if (st.directory.empty()) {
    std::cerr << "scenario-gen: cannot tell the directory of the executable\n";
    return exit_io_failure;
  }
  return form_load_handler(st, real_disk(), std::cout, std::cerr);
}
