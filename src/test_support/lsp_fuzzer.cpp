// libFuzzer target: arbitrary bytes as an editor's side of a session with the
// language server (see lsp_fuzz_input.h).

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "test_support/lsp_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!test_support::run_lsp_fuzz_input(
          std::string_view(reinterpret_cast<const char*>(data), size)))
    __builtin_trap();
  return 0;
}
