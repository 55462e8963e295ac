#pragma once
// A source document read a line at a time, one record a line, as authors
// write them: each line's keyword field, the records it names and where each
// of its values stands. Hover, completion, the outline and "go to
// definition" work on this reading; the diagnostics come from the checker.
//
// Columns count the bytes of the Windows-1252 text from 0, which are its
// characters.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/record_table.h"

namespace lsp {

enum class document_kind { unknown, line_description, train_document };

struct field_span {
  int begin = 0;  // first character
  int end = 0;    // one past the last (trailing blanks not included)
  std::string text;
  std::optional<int64_t> number;  // a number field's value when it is one
};

struct record_line {
  int line = 0;  // from 0
  // The keyword field first, then the values the record's form reads from
  // this line (fewer when the line ends early).
  std::vector<field_span> fields;
  // Where the readers look at this line: the general header or the records
  // of the line description, the train document's records; none before
  // "[generale]".
  std::optional<compiler::record_place> place;
  // The records whose keyword the field holds, at this place.
  std::vector<compiler::record_kind> kinds;
  bool is_section = false;  // a "[...]" header
  bool has_values = false;  // a comma follows the keyword field
};

// Every line that holds something, in order.
std::vector<record_line> read_record_lines(std::string_view text, document_kind kind);

// What a document is, by its name ("..._linea.txt", "...-.txt") or else by
// the keywords it holds.
document_kind kind_by_name(std::string_view file_name);
document_kind kind_by_content(std::string_view text);

// The record's first value when it is a metre along the route.
std::optional<int32_t> record_position(const record_line& r);

}  // namespace lsp
