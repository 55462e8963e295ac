#pragma once
// The bytes that give a JSON text its structure outside strings, for the
// scans that follow it without parsing it (the transport's search for a
// body's end, the test of its nesting): every other byte is passed over
// with one look-up.

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace lsp {

enum class json_byte : uint8_t { plain, quote, opening, closing };

inline constexpr std::array<json_byte, 256> json_bytes = [] {
  std::array<json_byte, 256> t{};
  t['"'] = json_byte::quote;
  t['{'] = t['['] = json_byte::opening;
  t['}'] = t[']'] = json_byte::closing;
  return t;
}();

inline json_byte json_byte_of(char c) {
  return json_bytes[static_cast<unsigned char>(c)];
}

// Inside a string (its opening quote before `i`), where it ends among the
// `n` bytes at `p`: the index of its closing quote, or n when the bytes end
// first; *escaped then says whether their last byte is a backslash, which
// escapes the byte that comes after them. Found by searching for quotes and
// for backslashes, each of which escapes the byte after it.
inline size_t closing_quote(const char* p, size_t i, size_t n, bool* escaped) {
  auto quote_from = [&](size_t from) {
    const void* q = std::memchr(p + from, '"', n - from);
    return q ? static_cast<size_t>(static_cast<const char*>(q) - p) : n;
  };
  *escaped = false;
  size_t quote = quote_from(i);
  for (;;) {
    const void* backslash = std::memchr(p + i, '\\', quote - i);
    if (!backslash) return quote;
    i = static_cast<size_t>(static_cast<const char*>(backslash) - p) + 2;
    if (i > n) {
      *escaped = true;
      return n;
    }
    if (i > quote) quote = quote_from(i);
  }
}

}  // namespace lsp
