#pragma once
// The three kilometric ranges of the general header (entries 81 to 83).

#include "model/scenario_table.h"

namespace compiler {

// Puts the three ranges in route order, the one that begins last in entry
// 81, and moves the reference of each range in use on by 100 m. False (a
// run-time fault) when a sum overflows 32 bits.
bool sort_kilometric_ranges(model::scenario_table& table);

}  // namespace compiler
