#pragma once
// The records the compiler knows: how each one is recognised by its keyword
// field and the fields that follow it. The readers match keywords with these
// tests; the checker uses the same tests and forms to read a document the
// way the compiler does.

#include <span>
#include <string_view>

enum class record_kind {
  // The line description's general header.
  route_length,
  range_three,
  range_two,
  range_one,
  background_one,
  background_two,
  background_three,
  signal_repetition,
  // The line description's records.
  gradient,
  curve,
  mountain,
  speed_board,
  text_board,
  // The train document's records.
  braked_mass,
  car_count,
  speed_limit,
  adhesion,
  clock,
  sand,
  signal,
  restriction,
  abbattimento,
  station,
};

// Where a record is read.
enum class record_place { line_header, line_records, train_records };

struct record_form {
  record_kind kind;
  record_place place;
  // The keyword as the documents write it.
  std::string_view keyword;
  // One letter for each field after the keyword: 'i' a 32-bit number, 'h' a
  // 16-bit number, 'b' an 8-bit unsigned number, 't' a text.
  std::string_view fields;
  // What the record is, for people.
  std::string_view what;
};

// Every record, in the order in which the readers offer a keyword field to
// the tests of each place.
std::span<const record_form> all_record_forms();
const record_form& form_of(record_kind kind);

// Whether a keyword field is one of this record's. A field may match more
// than one record; each of them then reads its values in turn.
bool keyword_matches(record_kind kind, std::string_view field);
