#pragma once
// The line's own kilometres: the kilometric ranges in use (entries 81 to 83
// with flag 1), in route order. Inside a range the line's kilometre of route
// metre m is reference - m (the boards and the driver's forms count down
// along the route); the compile stores each reference 100 m higher than the
// document gives it, and that is taken off here. The one formula for the
// drawing, the view, the language server's hover and the forms' tests.

#include <cstdint>
#include <string>
#include <vector>

#include "model/scenario_table.h"

namespace model {

struct kilometric_range {
  int32_t start = 0;      // route metre where the range begins
  int64_t reference = 0;  // the line's metre at route metre 0, as documents give it
  int entry = 0;
};

// The ranges in use of a compiled table, by start.
std::vector<kilometric_range> kilometric_ranges(const scenario_table& table);
// The ranges in use as a document writes them (start, reference, flag; the
// flag 1 for a range in use), by start.
struct written_range {
  int64_t start = 0;
  int64_t reference = 0;
  int64_t flag = 0;
};
std::vector<kilometric_range> kilometric_ranges(const std::vector<written_range>& written);
// The range in force at route metre m (the last one that begins at or before
// it), or -1 when m lies before every range.
int range_at(const std::vector<kilometric_range>& ranges, int64_t m);
// The line's metre of route metre m; the route metre itself where no range
// is in force.
int64_t line_metre(const std::vector<kilometric_range>& ranges, int64_t m);
// "86+550" from a line metre; "-0+200" below zero.
std::string kilometre_mark(int64_t line_metre);

}  // namespace model
