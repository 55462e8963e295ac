#pragma once
// A second, friendlier reading of the two source documents, for their
// authors. It writes nothing and changes nothing of the compile; it reports
//
// - the compile's own fault, with the code, position and record the compile
//   gives;
// - every other record that the compile would refuse on its own: each
//   record is handed, alone, to the compiler's own record handler, on a grid
//   and table that hold what the records before it laid, and the reading
//   goes on after a refused record as if it had not been there;
// - warnings for what the compile accepts without a word (kinds below).
//
// The documents are read a line at a time, each line being one record, as
// authors write them; where the compile would read a record across lines
// (too few fields on a line), a warning says so.

#include <cstdint>
#include <future>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/compile.h"
#include "compiler/faults.h"
#include "compiler/finding.h"

namespace checker {

struct check_options {
  std::set<compiler::warning_kind> disabled;
  bool warnings_are_errors = false;
  // At most this many findings of each document are kept (0: all); the
  // rest are only counted, so that a document of garbage costs no memory.
  // The compile's own fault is always kept.
  size_t max_findings_per_document = 0;
};

// The findings, and how many of each document were left out.
struct check_report {
  std::vector<compiler::finding> findings;
  size_t left_out_of_line_description = 0;
  size_t left_out_of_train_document = 0;
};

struct check_input {
  std::string_view line_description;
  std::string_view train_document;
  // The compile of these two documents, when the caller makes it (the
  // `compile` command, to write it) on another thread: the check reads the
  // documents line by line first and waits for it only then. Without it the
  // check compiles them itself, beside its reading. Only read; the names it
  // is made with and the stamped slots matter to no finding.
  std::shared_future<const compiler::compile_result*> compiling = {};
};

// Every finding, in document order (the line description first); a fault
// that has no place comes last.
std::vector<compiler::finding> check_documents(const check_input& input,
                                               const check_options& options);
check_report check_documents_counted(const check_input& input, const check_options& options);

// The record that set off a compile fault that names none (the kilometric
// ranges' fault, the approach-marker pass's faults): its document, line and
// column are filled in when a record is found.
void locate_fault(const check_input& input, compiler::compile_fault& fault);

}  // namespace checker
