#pragma once
// The whole run of the generator: the five documents, the compile and the
// package, in a fixed order, with the exit status that tells how it ended.

#include <cstdint>
#include <iosfwd>
#include <string_view>

#include "model/run_state.h"
#include "runtime/disk.h"
#include "runtime/replace_files.h"

inline constexpr std::string_view built_in_line_name = "Borvasco_Lestrano";
inline constexpr std::string_view built_in_train_number = "40817";

enum exit_status : int {
  exit_clean = 0,          // package written, no fault in the documents
  exit_compile_fault = 1,  // package written from what compiled; the fault is reported
  exit_usage = 2,          // arguments the program does not take
  exit_no_package = 3,     // the compile stopped before the track grid existed
  exit_reserved_slot = 4,  // a reserved slot was taken: " Errore n. 1250" or "1251"
  exit_io_failure = 5,     // a file could not be read, written or deleted
};

// How memorizza_percorso ended.
enum class percorso_outcome {
  package_written,  // error_code tells whether the compile found a fault
  no_grid,          // the compile stopped before the grid existed; nothing written
  reserved_slot,    // the check of a reserved slot failed; nothing written
  io_failed,        // the disk failed; the earlier package is untouched
};

struct percorso_result {
  percorso_outcome outcome = percorso_outcome::package_written;
  int errore_code = 0;  // 1250 or 1251 with reserved_slot
  io_failure failure;   // with io_failed
};

// Compiles the two source documents of the run's directory and writes the
// package: the line plan only when j is non-zero.
percorso_result memorizza_percorso(run_state& st, disk& d, int32_t j);

// The fault message: " Errore n. " followed by `a`, on its own line.
void errore(std::ostream& err, std::string_view a);

// One line for a compile fault: the code and the position first, so that a
// script can read them, then the meaning.
void report_compile_fault(std::ostream& err, std::string_view program, const run_state& st);

// Reports how memorizza_percorso ended and returns the exit status.
int finish_run(std::ostream& err, std::string_view program, const run_state& st,
               const percorso_result& result);

// The generator's run in the directory st.directory: sets the identity
// constants, writes the five documents, compiles and writes the package.
int form_load_handler(run_state& st, disk& d, std::ostream& out, std::ostream& err);
