// libFuzzer target: arbitrary bytes through the whole compile and the
// writing of the package (see fuzz_input.h).

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "test_support/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!test_support::run_fuzz_input(std::string_view(reinterpret_cast<const char*>(data), size),
                                    test_support::fuzz_plan_metres))
    __builtin_trap();
  return 0;
}
