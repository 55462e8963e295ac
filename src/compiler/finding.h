#pragma once
// What the compile, the checker and the language server report about the
// two documents: one finding (severity, fault code or warning kind, document,
// line, column, the columns an editor marks, message, position, the records
// that explain it), with one text rendering here, the JSON one in the tool's
// check command and the protocol one in the language server. The messages
// of the compile's faults are made here too, once.
//
// The text rendering is the form compilers use, so that editors jump to it:
//
//   FILE:LINE:COLUMN: error: MESSAGE [TAG]
//
// LINE and COLUMN count from 1; a message with no line names the file alone
// ("FILE: error: ..."), one with no column the file and line.

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/faults.h"

namespace compiler {

enum class diagnostic_level { error, warning };

std::string_view level_name(diagnostic_level level);

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

// A stretch of one line, by column (from 1, in bytes): [begin, end).
struct column_range {
  int begin = 0;
  int end = 0;
  bool operator==(const column_range&) const = default;
};

// Another record that explains a finding: the record that holds a taken
// cell, the record before one out of order. Its columns are the record's
// text, blanks around it left out.
struct related_record {
  source_document document = source_document::none;
  int line = 0;
  column_range columns;
  std::string message;
  bool operator==(const related_record&) const = default;
};

struct finding {
  diagnostic_level level = diagnostic_level::error;
  // Where: the document (none for a fault that has no place) and the line
  // and column (from 1; 0 when not known).
  source_document document = source_document::none;
  int line = 0;
  int column = 0;
  // What an editor marks on the line: the field at the column, or the
  // record's text for a finding about the whole record (column 0). Filled by
  // the checker; empty for a finding with no line.
  column_range range;
  std::string message;
  // An error's fault code, or a warning's kind.
  std::optional<fault_code> code;
  std::optional<warning_kind> kind;
  // Whether this is the compile's own fault.
  bool from_compile = false;
  // The fault's position in metres, as the compile keeps it.
  std::optional<int32_t> position;
  // The records that explain it, filled by the checker.
  std::vector<related_record> related;
};

// "code 16" for a fault, the kind's name for a warning.
std::string finding_tag(const finding& f);

// The document a fault is about, for a message: the one it was found in;
// the kilometric ranges' fault (found once the train document is read) is
// the line description's header's, and a fault of the approach-marker pass
// the train document's, whose restrictions and signals set it off.
source_document fault_source(const compile_fault& fault);

// The message of a fault, without place and tag: what it means, the
// position when the fault recorded one of its own, the record's keyword and,
// for a run-time fault, what went wrong.
std::string fault_message(const compile_fault& fault);

// The compile's own fault as a finding: placed where the compile found it,
// or, when it found it at no record, in its document without a line.
finding finding_of_fault(const compile_fault& fault);

// The text rendering of a place and a message.
void write_diagnostic(std::ostream& out, std::string_view file, int line, int column,
                      diagnostic_level level, std::string_view message, std::string_view tag);
// A finding as text, in the document named `file`.
void write_finding(std::ostream& out, const finding& f, std::string_view file);

}  // namespace compiler
