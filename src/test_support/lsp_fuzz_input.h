#pragma once
// One input of the language server's fuzz target, shared with the test that
// replays its seed corpus and every past finding.

#include <string_view>

namespace test_support {

// Feeds `input` to a server as the bytes an editor sends (framed messages,
// or anything else), on a disk held in memory, and checks that every answer
// is a framed JSON-RPC message and that the session ends. False when a check
// fails.
bool run_lsp_fuzz_input(std::string_view input);

// The check of the server's output above: nothing but answers, one after the
// other, each framed as lsp::framed frames it and holding a JSON-RPC message
// (an object whose "jsonrpc" member is "2.0").
bool lsp_answers_are_framed(std::string_view output);

}  // namespace test_support
