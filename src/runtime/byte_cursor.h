#pragma once
// Little-endian values taken one after the other from a file's bytes. The
// caller checks has(n) before taking n bytes: nothing here reads past the end.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace runtime {

struct byte_cursor {
  std::string_view bytes;
  size_t at = 0;

  size_t left() const { return bytes.size() - at; }
  bool has(size_t n) const { return n <= left(); }

  uint8_t u8() { return static_cast<uint8_t>(bytes[at++]); }
  int16_t i16() { return static_cast<int16_t>(static_cast<uint16_t>(little<2>())); }
  int32_t i32() { return static_cast<int32_t>(static_cast<uint32_t>(little<4>())); }
  double f64() {
    const uint64_t u = little<8>();
    double v;
    std::memcpy(&v, &u, sizeof v);
    return v;
  }
  // The next n bytes as a little-endian number, whatever the host's order.
  // They are copied out at once: a file of a million values is read a value,
  // not a byte, at a time.
  template <size_t n>
  uint64_t little() {
    unsigned char b[n];
    std::memcpy(b, bytes.data() + at, n);
    at += n;
    uint64_t u = 0;
    for (size_t i = 0; i < n; ++i) u |= static_cast<uint64_t>(b[i]) << (8 * i);
    return u;
  }
  std::string text(size_t n) {
    std::string s(bytes.substr(at, n));
    at += n;
    return s;
  }
};

}  // namespace runtime
