#pragma once
// One input of the fuzz target, shared with the test that replays the seed
// corpus and every past finding.

#include <cstdint>
#include <string>
#include <string_view>

#include "model/line_plan.h"

namespace test_support {

// The plan metres the fuzz target writes: the plan of a long route costs
// more than all the rest of an input, and its writing is the same code for
// every length, so the target writes the plan's first metres only (the same
// points as the whole plan's); the corpus test and the plan's own tests
// write whole plans.
inline constexpr int32_t fuzz_plan_metres = 2000;

// Splits `input` at its first NUL byte into a line description and a train
// document (without a NUL byte, the train document is the built-in one), runs
// the whole compile and the writing of the package on a disk held in memory,
// and checks what every run must leave behind. False when a check fails.
// With `plan_metres` at 0 or more, the plan is cut to its metres 0 ..
// plan_metres before it is written; -1 writes it whole.
bool run_fuzz_input(std::string_view input, int32_t plan_metres = -1);

// The plan's file as the package writer writes it, with the plan valued
// over its first `valued` metres only and every later metre empty, as a
// package may hold. A compiled plan is valued to its end; a package seed
// whose plan is valued over a short stretch leads the package reader's
// search to inputs a fraction as costly to read, report and draw, and to
// the empty metres, which compiled plans hold only at their very end.
std::string plan_file_valued_to(const model::line_plan& plan, int32_t valued);

}  // namespace test_support
