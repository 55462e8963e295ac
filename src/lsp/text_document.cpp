#include "lsp/text_document.h"

#include <algorithm>

namespace lsp {

namespace {

// The length of the UTF-8 sequence that starts with byte c: 1 for ASCII and
// for a byte that starts no sequence.
size_t sequence_length(unsigned char c) {
  if (c < 0xC0) return 1;
  if (c < 0xE0) return 2;
  if (c < 0xF0) return 3;
  if (c < 0xF8) return 4;
  return 1;
}

// The next character of s from i: its byte length and its units.
void next_character(std::string_view s, size_t i, size_t* bytes, int* units,
                    position_encoding e = position_encoding::utf16) {
  size_t n = sequence_length(static_cast<unsigned char>(s[i]));
  if (i + n > s.size()) n = 1;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) {
      n = 1;
      break;
    }
  *bytes = n;
  *units = 1;
  switch (e) {
    case position_encoding::utf8:
      *units = static_cast<int>(n);
      break;
    case position_encoding::utf16:
      *units = n == 4 ? 2 : 1;
      break;
    case position_encoding::utf32:
      break;
  }
}

}  // namespace

int units_of(std::string_view s, position_encoding e) {
  int units = 0;
  for (size_t i = 0; i < s.size();) {
    size_t n;
    int u;
    next_character(s, i, &n, &u, e);
    i += n;
    units += u;
  }
  return units;
}

size_t byte_offset(std::string_view line, int units, position_encoding e) {
  size_t i = 0;
  int seen = 0;
  while (i < line.size() && seen < units) {
    size_t n;
    int u;
    next_character(line, i, &n, &u, e);
    if (seen + u > units) break;  // inside a character's units
    i += n;
    seen += u;
  }
  return i;
}

int code_points(std::string_view s) {
  int count = 0;
  for (size_t i = 0; i < s.size(); ++count) {
    size_t n;
    int u;
    next_character(s, i, &n, &u);
    i += n;
  }
  return count;
}

int column_of_code_point(std::string_view line, int index, position_encoding e) {
  int units = 0;
  size_t i = 0;
  for (int k = 0; k < index && i < line.size(); ++k) {
    size_t n;
    int u;
    next_character(line, i, &n, &u, e);
    i += n;
    units += u;
  }
  // Past the line's end every character counts one unit.
  return units + std::max(0, index - code_points(line));
}

void text_document::index_lines() {
  line_starts_.assign(1, 0);
  for (size_t i = 0; i < text_.size(); ++i) {
    if (text_[i] == '\r') {
      if (i + 1 < text_.size() && text_[i + 1] == '\n') ++i;
      line_starts_.push_back(i + 1);
    } else if (text_[i] == '\n') {
      line_starts_.push_back(i + 1);
    }
  }
}

std::string_view text_document::line(int index) const {
  if (index < 0 || index >= line_count()) return {};
  size_t start = line_starts_[static_cast<size_t>(index)];
  size_t end = start;
  while (end < text_.size() && text_[end] != '\r' && text_[end] != '\n') ++end;
  return std::string_view(text_).substr(start, end - start);
}

size_t text_document::offset_of(text_position p) const {
  if (p.line < 0) return 0;
  if (p.line >= line_count()) return text_.size();
  return line_starts_[static_cast<size_t>(p.line)] +
         byte_offset(line(p.line), p.character, encoding_);
}

text_position text_document::position_of(size_t offset) const {
  offset = std::min(offset, text_.size());
  auto it = std::upper_bound(line_starts_.begin(), line_starts_.end(), offset);
  int index = static_cast<int>(it - line_starts_.begin()) - 1;
  std::string_view l = line(index);
  size_t in_line = std::min(offset - line_starts_[static_cast<size_t>(index)], l.size());
  return {index, units_of(l.substr(0, in_line), encoding_)};
}

void text_document::set_text(std::string text) {
  text_ = std::move(text);
  index_lines();
}

void text_document::replace(text_position from, text_position to, std::string_view new_text) {
  size_t a = offset_of(from), b = offset_of(to);
  if (a > b) std::swap(a, b);
  text_.replace(a, b - a, new_text);
  index_lines();
}

}  // namespace lsp
