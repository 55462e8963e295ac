#pragma once
// Every fault code the compiler records, with what it means.

#include <cstdint>
#include <string_view>

struct fault_code {
  int32_t code;
  std::string_view meaning;
};

// The meaning of `code`, or "unknown fault" for a code the compiler never
// sets.
const fault_code& describe_fault(int32_t code);
