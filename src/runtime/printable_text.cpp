#include "runtime/printable_text.h"

namespace runtime {

size_t utf8_sequence(std::string_view text, size_t i) {
  const unsigned char c = static_cast<unsigned char>(text[i]);
  const size_t n = c < 0x80                 ? 1
                   : c >= 0xC2 && c <= 0xDF ? 2
                   : c >= 0xE0 && c <= 0xEF ? 3
                   : c >= 0xF0 && c <= 0xF4 ? 4
                                            : 0;
  if (n == 0 || i + n > text.size()) return 0;
  for (size_t k = 1; k < n; ++k)
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
  const unsigned char c1 = static_cast<unsigned char>(n > 1 ? text[i + 1] : 0);
  // Overlong forms, UTF-16 surrogates and code points past U+10FFFF.
  if ((c == 0xE0 && c1 < 0xA0) || (c == 0xED && c1 >= 0xA0) || (c == 0xF0 && c1 < 0x90) ||
      (c == 0xF4 && c1 >= 0x90))
    return 0;
  return n;
}

std::string printable(std::string_view utf8) {
  static constexpr char hex[] = "0123456789abcdef";
  std::string out;
  out.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size();) {
    const unsigned char c = static_cast<unsigned char>(utf8[i]);
    const size_t n = utf8_sequence(utf8, i);
    const unsigned char c1 = static_cast<unsigned char>(n == 2 ? utf8[i + 1] : 0);
    if (n == 2 && c == 0xC2 && c1 < 0xA0) {  // U+0080 .. U+009F
      out += "\\u00";
      out += hex[c1 >> 4];
      out += hex[c1 & 0xF];
    } else if (n == 0 || c < 0x20 || c == 0x7F) {
      out += "\\x";
      out += hex[c >> 4];
      out += hex[c & 0xF];
    } else {
      out.append(utf8.substr(i, n));
      i += n;
      continue;
    }
    i += n == 0 ? 1 : n;
  }
  return out;
}

}  // namespace runtime
