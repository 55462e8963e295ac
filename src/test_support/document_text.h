#pragma once
// Small text helpers for the tests of the built-in documents.

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace test_support {

// Characters of a UTF-8 text (continuation bytes not counted).
inline size_t char_count(std::string_view s) {
  return static_cast<size_t>(std::count_if(
      s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

// The comma-separated parts of a line, as they stand.
inline std::vector<std::string> split_fields(std::string_view line) {
  std::vector<std::string> fields;
  size_t from = 0;
  for (;;) {
    size_t comma = line.find(',', from);
    fields.emplace_back(line.substr(from, comma - from));
    if (comma == std::string_view::npos) return fields;
    from = comma + 1;
  }
}

}  // namespace test_support
