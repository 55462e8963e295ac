#pragma once

namespace run {

// How a run of either program ended, as its exit status.

enum exit_status : int {
  exit_clean = 0,            // package written, no fault in the documents
  exit_compile_fault = 1,    // package written from what compiled; the fault is reported
  exit_usage = 2,            // arguments the program does not take
  exit_no_package = 3,       // the compile stopped before the track grid existed
  exit_reserved_slot = 4,    // a reserved slot was taken: " Errore n. 1250" or "1251"
  exit_io_failure = 5,       // a file could not be read, written or deleted
  exit_package_damaged = 6,  // scenario-tool: a package file is cut short or holds garbage
};

}  // namespace run
