#pragma once
// The line plan: two plan coordinates (row 0 and row 1, in metres) for every
// metre 0 .. L + 7000 of the route.
//
// The plan is computed metre after metre from the start, so the metres that
// hold a value are always a prefix: metres 0 and 1 are 16-bit integers, the
// computed metres after them doubles, and every later metre is empty. In the
// file each element is a 16-bit type tag followed by its value.

#include <cstdint>
#include <vector>

struct line_plan {
  int32_t last_metre = -1;  // L + 7000; -1 while there is no plan
  int32_t computed = 0;     // metres 0 .. computed - 1 hold a value
  std::vector<double> row0;
  std::vector<double> row1;

  bool exists() const { return last_metre >= 0; }
};

inline constexpr int16_t plan_tag_empty = 0;
inline constexpr int16_t plan_tag_integer = 2;
inline constexpr int16_t plan_tag_double = 5;

// Creates the plan anew for metres 0 .. last_metre, every element empty.
void create_line_plan(line_plan& plan, int32_t last_metre);
// Sets metres 0 and 1 to the integer points (0, 0) and (0, 1).
void start_line_plan(line_plan& plan);
// The tag of metre m.
int16_t plan_tag(const line_plan& plan, int32_t m);
// Bytes of one row in the file.
int64_t plan_row_bytes(const line_plan& plan);
