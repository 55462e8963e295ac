#pragma once
// The text of a document as the editor holds it: UTF-8, with its lines
// indexed, edited in place by ranges whose columns count the units the
// session agreed on (UTF-16 code units unless the editor asked for UTF-8 or
// code points).
//
// Lines end at LF, CR LF or a lone CR, like the field reader's.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/types.h"

namespace lsp {

// Units of the UTF-8 text `s` in an encoding (a malformed byte counts as
// one character).
int units_of(std::string_view s, position_encoding e = position_encoding::utf16);
// The byte offset in `line` (UTF-8) of the character that begins after
// `units` units; the line's length when it is shorter. A column inside a
// character's units (a surrogate pair, a UTF-8 sequence) points at that
// character.
size_t byte_offset(std::string_view line, int units,
                   position_encoding e = position_encoding::utf16);
// Characters (code points) of a UTF-8 text, a malformed byte counting as one.
int code_points(std::string_view s);
// The column, in units, of the character with index `index` (code points
// from 0) in `line`.
int column_of_code_point(std::string_view line, int index,
                         position_encoding e = position_encoding::utf16);

class text_document {
 public:
  text_document() { index_lines(); }
  explicit text_document(std::string text, position_encoding encoding = position_encoding::utf16)
      : text_(std::move(text)), encoding_(encoding) {
    index_lines();
  }

  const std::string& text() const { return text_; }
  int line_count() const { return static_cast<int>(line_starts_.size()); }
  // A line without its line end; empty past the last line.
  std::string_view line(int index) const;

  // Byte offset of a position, clamped to the document: a line past the end
  // is the end, a column past a line's end is that line's end.
  size_t offset_of(text_position p) const;
  text_position position_of(size_t offset) const;

  position_encoding encoding() const { return encoding_; }
  void set_encoding(position_encoding e) { encoding_ = e; }

  void set_text(std::string text);
  // Replaces the text between two positions (in either order).
  void replace(text_position from, text_position to, std::string_view new_text);

 private:
  void index_lines();
  std::string text_;
  position_encoding encoding_ = position_encoding::utf16;
  std::vector<size_t> line_starts_;
};

}  // namespace lsp
