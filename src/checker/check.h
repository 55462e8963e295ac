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
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/faults.h"
#include "run/diagnostic.h"

// X(name, kind as written in options, what it warns of)
#define SCENARIO_WARNING_LIST(X)                                                                  \
  X(unknown_keyword, "unknown-keyword",                                                           \
    "a line whose keyword no record has: the compile skips it")                                   \
  X(field_count, "field-count", "a record with fewer or more fields on its line than it takes")   \
  X(out_of_order, "out-of-order",                                                                 \
    "gradients, curves, mountains, speed limits or adhesion whose positions go backwards")        \
  X(utf8_in_document, "utf8-in-document",                                                         \
    "bytes that look like UTF-8 in a document that is read as Windows-1252")                      \
  X(header_key, "header-key", "a general-header key that is misspelt, repeated or missing")       \
  X(text_too_long, "text-too-long",                                                               \
    "a board text or station name longer than the board or the name can show")                    \
  X(after_end_marker, "after-end-marker", "text after \"[fine]\", which the compile still reads") \
  X(misplaced_record, "misplaced-record", "a record where the compile does not look for it")      \
  X(ambiguous_keyword, "ambiguous-keyword",                                                       \
    "a keyword that names more than one record: each reads its values in turn")                   \
  X(dash_keyword, "dash-keyword",                                                                 \
    "a record keyword with a '-' in it, which the reader passes over")                            \
  X(cut_short, "cut-short",                                                                       \
    "an object laid only in part: past the route's end or before its first cell")                 \
  X(value_range, "value-range",                                                                   \
    "a value that does not fit the byte or word it is kept in: the package holds another")

enum class warning_kind {
#define SCENARIO_WARNING_ENUM(name, option, meaning) name,
  SCENARIO_WARNING_LIST(SCENARIO_WARNING_ENUM)
#undef SCENARIO_WARNING_ENUM
};

std::string_view warning_name(warning_kind kind);
std::string_view warning_meaning(warning_kind kind);
std::span<const warning_kind> all_warning_kinds();
// The kind of a name as options write it ("unknown-keyword").
std::optional<warning_kind> warning_by_name(std::string_view name);

struct finding {
  diagnostic_level level = diagnostic_level::error;
  // Where: the document (none for a fault that has no place) and the line
  // and column (from 1; 0 when not known).
  source_document document = source_document::none;
  int line = 0;
  int column = 0;
  std::string message;
  // An error's fault code, or a warning's kind.
  std::optional<fault_code> code;
  std::optional<warning_kind> kind;
  // Whether this is the compile's own fault.
  bool from_compile = false;
  // The fault's position in metres, as the compile keeps it.
  std::optional<int32_t> position;
};

struct check_options {
  std::set<warning_kind> disabled;
  bool warnings_are_errors = false;
  // At most this many findings of each document are kept (0: all); the
  // rest are only counted, so that a document of garbage costs no memory.
  // The compile's own fault is always kept.
  size_t max_findings_per_document = 0;
};

// The findings, and how many of each document were left out.
struct check_report {
  std::vector<finding> findings;
  size_t left_out_of_line_description = 0;
  size_t left_out_of_train_document = 0;
};

struct check_input {
  std::string_view line_description;
  std::string_view train_document;
};

// Every finding, in document order (the line description first); a fault
// that has no place comes last.
std::vector<finding> check_documents(const check_input& input, const check_options& options);
check_report check_documents_counted(const check_input& input, const check_options& options);

// The record that set off a compile fault that names none (the kilometric
// ranges' fault, the approach-marker pass's faults): its document, line and
// column are filled in when a record is found.
void locate_fault(const check_input& input, compile_fault& fault);
