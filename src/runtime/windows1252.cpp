#include "runtime/windows1252.h"

#include <cstdint>

namespace runtime {

namespace {

// Unicode code points of the bytes 0x80 to 0x9F; 0 where the byte is unused.
constexpr uint16_t high_block[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char byte_for(uint32_t code_point) {
  if (code_point < 0x80 || (code_point >= 0xA0 && code_point <= 0xFF))
    return static_cast<char>(code_point);
  for (int i = 0; i < 32; ++i)
    if (high_block[i] != 0 && high_block[i] == code_point) return static_cast<char>(0x80 + i);
  return '?';
}

}  // namespace

std::string to_windows1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    // A run of ASCII, most of any document, is the same bytes in both.
    size_t ascii = i;
    while (ascii < utf8.size() && static_cast<unsigned char>(utf8[ascii]) < 0x80) ++ascii;
    if (ascii > i) {
      out.append(utf8.substr(i, ascii - i));
      i = ascii;
      continue;
    }
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
    if (extra < 0 || i + static_cast<size_t>(extra) >= utf8.size()) {
      out += '?';
      ++i;
      continue;
    }
    uint32_t cp = extra == 0 ? c : c & (0x3F >> extra);
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      unsigned char cc = static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]);
      if ((cc & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!valid) {
      out += '?';
      ++i;
      continue;
    }
    out += byte_for(cp);
    i += static_cast<size_t>(extra) + 1;
  }
  return out;
}

std::string windows1252_to_utf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    uint32_t cp = c;
    if (c >= 0x80 && c < 0xA0) cp = high_block[c - 0x80] ? high_block[c - 0x80] : 0xFFFD;
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

namespace {

constexpr unsigned char lower_of(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 32);
  switch (c) {
    case 0x8A:
      return 0x9A;  // S caron
    case 0x8C:
      return 0x9C;  // OE ligature
    case 0x8E:
      return 0x9E;  // Z caron
    case 0x9F:
      return 0xFF;  // Y diaeresis
    default:
      return c;
  }
}

struct lower_table {
  unsigned char of[256];
  constexpr lower_table() : of() {
    for (int c = 0; c < 256; ++c) of[c] = lower_of(static_cast<unsigned char>(c));
  }
};
constexpr lower_table lower;

}  // namespace

unsigned char lower_windows1252(unsigned char c) {
  return lower.of[c];
}

std::string lower_text(std::string_view text) {
  std::string out(text);
  for (char& ch : out) ch = static_cast<char>(lower_windows1252(static_cast<unsigned char>(ch)));
  return out;
}

bool contains_any_case(std::string_view text, std::string_view word) {
  if (word.empty()) return true;
  if (word.size() > text.size()) return false;
  auto low = [](char c) { return lower.of[static_cast<unsigned char>(c)]; };
  // Only a place that starts with the word's first letter is compared on.
  const unsigned char first = low(word[0]);
  for (size_t i = 0; i + word.size() <= text.size(); ++i) {
    if (low(text[i]) != first) continue;
    size_t k = 1;
    while (k < word.size() && low(text[i + k]) == low(word[k])) ++k;
    if (k == word.size()) return true;
  }
  return false;
}

}  // namespace runtime
