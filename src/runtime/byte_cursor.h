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
  int16_t i16() {
    uint16_t u = static_cast<uint16_t>(u8());
    u = static_cast<uint16_t>(u | (u8() << 8));
    return static_cast<int16_t>(u);
  }
  int32_t i32() {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(u8()) << (8 * i);
    return static_cast<int32_t>(u);
  }
  double f64() {
    uint64_t u = 0;
    for (int i = 0; i < 8; ++i) u |= static_cast<uint64_t>(u8()) << (8 * i);
    double v;
    std::memcpy(&v, &u, sizeof v);
    return v;
  }
  std::string text(size_t n) {
    std::string s(bytes.substr(at, n));
    at += n;
    return s;
  }
};

}  // namespace runtime
