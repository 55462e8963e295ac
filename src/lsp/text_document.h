#pragma once
// The text of a document as the editor holds it: UTF-8, with its lines
// indexed, edited in place by ranges whose columns count UTF-16 code units
// (as the editors' protocol counts them).
//
// Lines end at LF, CR LF or a lone CR, like the field reader's.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/types.h"

// UTF-16 code units of the UTF-8 text `s` (a malformed byte counts as one).
int utf16_length(std::string_view s);
// The byte offset in `line` (UTF-8) of the character that begins after
// `units` UTF-16 code units; the line's length when it is shorter. A column
// inside a surrogate pair points at the pair's character.
size_t utf8_offset(std::string_view line, int units);
// Characters (code points) of a UTF-8 text, a malformed byte counting as one.
int code_points(std::string_view s);
// The UTF-16 column of the character with index `index` (code points from 0)
// in `line`.
int utf16_column_of_code_point(std::string_view line, int index);

class text_document {
 public:
  text_document() { index_lines(); }
  explicit text_document(std::string text) : text_(std::move(text)) { index_lines(); }

  const std::string& text() const { return text_; }
  int line_count() const { return static_cast<int>(line_starts_.size()); }
  // A line without its line end; empty past the last line.
  std::string_view line(int index) const;

  // Byte offset of a position, clamped to the document: a line past the end
  // is the end, a column past a line's end is that line's end.
  size_t offset_of(text_position p) const;
  text_position position_of(size_t offset) const;

  void set_text(std::string text);
  // Replaces the text between two positions (in either order).
  void replace(text_position from, text_position to, std::string_view new_text);

 private:
  void index_lines();
  std::string text_;
  std::vector<size_t> line_starts_;
};
