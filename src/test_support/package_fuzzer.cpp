// libFuzzer target: arbitrary bytes as the three files of a package, through
// the package reader, the reports and the drawing (see package_fuzz_input.h).

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "test_support/package_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!test_support::run_package_fuzz_input(
          std::string_view(reinterpret_cast<const char*>(data), size)))
    __builtin_trap();
  return 0;
}
