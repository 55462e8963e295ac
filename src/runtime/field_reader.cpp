#include "runtime/field_reader.h"

#include <algorithm>

namespace runtime {

void field_reader::skip_blanks() {
  while (pos_ < text_.size() && is_blank(text_[pos_])) ++pos_;
}

bool field_reader::at_line_end() const {
  return pos_ < text_.size() && (text_[pos_] == '\r' || text_[pos_] == '\n');
}

void field_reader::consume_delimiter() {
  if (pos_ < text_.size() && text_[pos_] == ',')
    ++pos_;
  else if (at_line_end())
    consume_line_end();
}

void field_reader::consume_line_end() {
  if (pos_ < text_.size() && text_[pos_] == '\r') ++pos_;
  if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  ++line_;
  line_start_ = pos_;
}

bool field_reader::begin_field() {
  if (!fault_.empty()) return false;
  if (at_end()) {
    fault_ = "read past the end of the document";
    return false;
  }
  skip_blanks();
  field_line_ = line_;
  field_column_ = static_cast<int>(pos_ - line_start_) + 1;
  return true;
}

bool field_reader::read_text(std::string* out) {
  if (!begin_field()) return false;
  out->clear();
  if (pos_ < text_.size() && text_[pos_] == '"') {
    size_t close = text_.find('"', pos_ + 1);
    size_t end = close == std::string_view::npos ? text_.size() : close;
    for (size_t i = pos_ + 1; i < end; ++i)
      if (text_[i] == '\n') {
        ++line_;
        line_start_ = i + 1;
      }
    out->assign(text_.substr(pos_ + 1, end - pos_ - 1));
    pos_ = close == std::string_view::npos ? text_.size() : close + 1;
    while (pos_ < text_.size() && text_[pos_] != ',' && !at_line_end()) ++pos_;
  } else {
    size_t start = pos_;
    while (pos_ < text_.size() && text_[pos_] != ',' && !at_line_end()) ++pos_;
    out->assign(text_.substr(start, pos_ - start));
  }
  consume_delimiter();
  return true;
}

bool field_reader::read_number(int64_t low, int64_t high, int64_t* out) {
  if (!begin_field()) return false;
  // The common field first: unsigned digits up to the delimiter, in one
  // pass with the bytes in locals (documents of a long route hold a hundred
  // thousand numbers, read by the compile and again by the checker). Too
  // many digits to add up safely, a sign, any other byte or a value out of
  // range: the field is read again below, where each has its fault.
  const char* const text = text_.data();
  const size_t size = text_.size();
  size_t p = pos_;
  int64_t quick = 0;
  constexpr size_t quick_digits = 18;  // below 10^18: no overflow
  while (p < size && p - pos_ < quick_digits && text[p] >= '0' && text[p] <= '9')
    quick = quick * 10 + (text[p++] - '0');
  if (p - pos_ < quick_digits && quick >= low && quick <= high &&
      (p == size || text[p] == ',' || is_blank(text[p]) || text[p] == '\r' || text[p] == '\n')) {
    pos_ = p;
    skip_blanks();
    consume_delimiter();
    *out = quick;
    return true;
  }

  size_t start = pos_;
  while (pos_ < text_.size() && text_[pos_] != ',' && !is_blank(text_[pos_]) && !at_line_end())
    ++pos_;
  std::string_view token = text_.substr(start, pos_ - start);
  skip_blanks();
  consume_delimiter();

  int64_t value = 0;
  size_t i = 0;
  bool negative = false;
  if (!token.empty() && (token[0] == '-' || token[0] == '+')) {
    negative = token[0] == '-';
    i = 1;
    if (token.size() == 1) {
      fault_.assign("\"").append(token).append("\" is not a whole number");
      return false;
    }
  }
  for (; i < token.size(); ++i) {
    char c = token[i];
    if (c < '0' || c > '9') {
      fault_.assign("\"").append(token).append("\" is not a whole number");
      return false;
    }
    value = value * 10 + (c - '0');
    if (value > (negative ? -low : high)) {
      fault_.assign(token).append(" does not fit its field");
      return false;
    }
  }
  if (negative) value = -value;
  if (value < low || value > high) {
    fault_.assign(token).append(" does not fit its field");
    return false;
  }
  *out = value;
  return true;
}

bool field_reader::read_i32(int32_t* out) {
  int64_t v;
  if (!read_number(INT32_MIN, INT32_MAX, &v)) return false;
  *out = static_cast<int32_t>(v);
  return true;
}

bool field_reader::read_i16(int16_t* out) {
  int64_t v;
  if (!read_number(INT16_MIN, INT16_MAX, &v)) return false;
  *out = static_cast<int16_t>(v);
  return true;
}

bool field_reader::read_u8(uint8_t* out) {
  int64_t v;
  if (!read_number(0, 255, &v)) return false;
  *out = static_cast<uint8_t>(v);
  return true;
}

line_field read_line_field(std::string_view line, size_t at, bool as_number) {
  while (at < line.size() && is_blank(line[at])) ++at;
  line_field f;
  f.begin = at;
  size_t end = at;
  if (at < line.size() && line[at] == '"') {
    end = line.find('"', at + 1);
    end = end == std::string_view::npos ? line.size() : end + 1;
    f.next = line.find(',', end);
    f.next = f.next == std::string_view::npos ? line.size() : f.next + 1;
  } else {
    while (end < line.size() && line[end] != ',' && !(as_number && is_blank(line[end]))) ++end;
    f.next = end;
    // The delimiter: blanks after a number, then one comma.
    while (f.next < line.size() && is_blank(line[f.next])) ++f.next;
    if (f.next < line.size() && line[f.next] == ',') ++f.next;
  }
  while (end > f.begin && is_blank(line[end - 1])) --end;
  f.end = end;
  return f;
}

line_field field_at(std::string_view line, size_t column) {
  if (column >= line.size()) return {line.size(), line.size(), line.size()};
  const char c = line[column];
  const bool number = (c >= '0' && c <= '9') || c == '-' || c == '+';
  line_field f = read_line_field(line, column, number);
  if (f.end == f.begin) f.end = std::min(line.size(), f.begin + 1);
  return f;
}

}  // namespace runtime
