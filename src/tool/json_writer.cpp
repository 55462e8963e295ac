#include "tool/json_writer.h"

#include "runtime/printable_text.h"

#include <charconv>
#include <cmath>

namespace tool {

std::string json_string(std::string_view text) {
  static constexpr char hex[] = "0123456789abcdef";
  std::string out = "\"";
  for (size_t i = 0; i < text.size(); ++i) {
    const char ch = text[i];
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 0x80) {
      // Whole UTF-8 sequences pass, but for the C1 controls, which are
      // escaped like the others; a byte that starts none becomes U+FFFD.
      const size_t n = runtime::utf8_sequence(text, i);
      const unsigned char c1 = static_cast<unsigned char>(n == 2 ? text[i + 1] : 0);
      if (n == 0) {
        out += "\\ufffd";
      } else if (n == 2 && c == 0xC2 && c1 < 0xA0) {
        out += "\\u00";
        out += hex[c1 >> 4];
        out += hex[c1 & 0xF];
        ++i;
      } else {
        out.append(text.substr(i, n));
        i += n - 1;
      }
      continue;
    }
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20 || c == 0x7F) {
          out += "\\u00";
          out += hex[c >> 4];
          out += hex[c & 0xF];
        } else {
          out += ch;
        }
    }
  }
  out += '"';
  return out;
}

void json_writer::new_line() {
  out += '\n';
  out.append(2 * scopes_.size(), ' ');
}

void json_writer::before_value() {
  if (after_key_) {
    after_key_ = false;
    return;
  }
  if (scopes_.empty()) return;
  scope& s = scopes_.back();
  if (!s.empty) out += s.on_one_line ? ", " : ",";
  if (!s.on_one_line) new_line();
  s.empty = false;
}

void json_writer::key(std::string_view name) {
  before_value();
  out += json_string(name);
  out += ": ";
  after_key_ = true;
}

void json_writer::open(char bracket, bool on_one_line) {
  before_value();
  out += bracket;
  const bool parent_on_one_line = !scopes_.empty() && scopes_.back().on_one_line;
  scopes_.push_back({on_one_line || parent_on_one_line, true});
}

void json_writer::close(char bracket) {
  const scope s = scopes_.back();
  scopes_.pop_back();
  if (!s.empty && !s.on_one_line) new_line();
  out += bracket;
  if (scopes_.empty()) out += '\n';
}

void json_writer::value(int64_t v) {
  before_value();
  out += std::to_string(v);
}

void json_writer::value(double v) {
  before_value();
  if (!std::isfinite(v)) {
    out += "null";
    return;
  }
  char buf[64];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  out.append(buf, r.ptr);
}

void json_writer::value(bool v) {
  before_value();
  out += v ? "true" : "false";
}

void json_writer::value(std::string_view utf8) {
  before_value();
  out += json_string(utf8);
}

void json_writer::null() {
  before_value();
  out += "null";
}

}  // namespace tool
