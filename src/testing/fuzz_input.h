#pragma once
// One input of the fuzz target, shared with the test that replays the seed
// corpus and every past finding.

#include <string_view>

// Splits `input` at its first NUL byte into a line description and a train
// document (without a NUL byte, the train document is the built-in one), runs
// the whole compile and the writing of the package on a disk held in memory,
// and checks what every run must leave behind. False when a check fails.
bool run_fuzz_input(std::string_view input);
