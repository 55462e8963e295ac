#pragma once
// One input of the language server's fuzz target, shared with the test that
// replays its seed corpus and every past finding.

#include <string_view>

namespace testing {

// Feeds `input` to a server as the bytes an editor sends (framed messages,
// or anything else), on a disk held in memory, and checks that every answer
// is a framed JSON-RPC message and that the session ends. False when a check
// fails.
bool run_lsp_fuzz_input(std::string_view input);

}  // namespace testing
