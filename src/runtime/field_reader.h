#pragma once
// Reads a comma-delimited text document one field at a time.
//
// - Blanks (spaces and tabs) before a field are skipped.
// - A text field ends at a comma or at the end of a line; blanks inside it,
//   trailing ones included, belong to it. A field that begins with a double
//   quote runs to the closing quote, and whatever follows the quote up to
//   the next comma or line end is dropped.
// - A number field ends at a comma, a blank or the end of a line. It is an
//   optional sign and decimal digits; an empty field reads as 0.
// - The delimiter is consumed with the field (after a number that ends at a
//   blank: the blanks, and a comma or line end right behind them).
// - at_end() is true once the last byte of the document has been consumed.
//
// Reading past the end, a number that does not fit its target and a number
// field that is not a whole number are run-time faults: the read returns
// false and fault() says what happened. The reader then refuses every
// further read.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace runtime {

// A blank between fields: a space or a tab.
inline bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

// Where one field of a single line (its line end cut off) lies when read as
// the field reader reads it, by column from 0 in bytes: the blanks before it
// skipped, [begin, end) with trailing blanks left out (a quoted field up to
// its closing quote included), and `next` where the following field's
// blanks begin, the delimiter consumed. The language server takes the
// columns of every field of a line from here.
struct line_field {
  size_t begin = 0;
  size_t end = 0;
  size_t next = 0;
};
line_field read_line_field(std::string_view line, size_t at, bool as_number);

// The field a report points at by its column (from 0): read as a number
// when it starts like one, and at least one column wide, so that an empty
// field is shown by its comma. A column past the line gives its end.
line_field field_at(std::string_view line, size_t column);

struct field_reader {
  explicit field_reader(std::string_view text) : text_(text) {}

  bool at_end() const { return pos_ >= text_.size(); }

  bool read_text(std::string* out);
  bool read_i32(int32_t* out);
  bool read_i16(int16_t* out);
  bool read_u8(uint8_t* out);

  // Line (from 1) on which the last field read began, and its column there
  // (from 1, in bytes, after the blanks that precede it).
  int field_line() const { return field_line_; }
  int field_column() const { return field_column_; }
  const std::string& fault() const { return fault_; }

 private:
  bool read_number(int64_t low, int64_t high, int64_t* out);
  bool begin_field();
  void skip_blanks();
  // The comma or the line end at the position, when one is there.
  void consume_delimiter();
  void consume_line_end();
  bool at_line_end() const;

  std::string_view text_;
  size_t pos_ = 0;
  int line_ = 1;
  size_t line_start_ = 0;  // where line_ begins
  int field_line_ = 0;
  int field_column_ = 0;
  std::string fault_;
};

}  // namespace runtime
