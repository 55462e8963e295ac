#pragma once
// The bytes that give a JSON text its structure outside strings, for the
// scans that follow it without parsing it (the transport's search for a
// body's end, the test of its nesting): every other byte is passed over
// with one look-up.

#include <array>
#include <cstdint>

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

}  // namespace lsp
