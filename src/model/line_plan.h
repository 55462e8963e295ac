#pragma once
// The line plan: two plan coordinates (row 0 and row 1, in metres) for every
// metre 0 .. L + 7000 of the route.
//
// The plan is computed metre after metre from the start, so the metres that
// hold a value are always a prefix: metres 0 and 1 are the 16-bit integer
// points (0, 0) and (0, 1), every computed metre after them a pair of
// doubles, and every later metre is empty. Each point follows from the two
// before it: the step between them carries on, straight or turned by a
// curve's k radians. So the plan keeps only how far it is computed and where
// it bends, and walk_line_plan() gives back every point, bit for bit, when the
// plan is written; a route of 1 000 000 m costs no 16 MB of coordinates.
//
// How the plan is laid out in its file is in package_format.h.

#include <cstddef>
#include <cstdint>
#include <vector>

// Metres first .. last of the plan turn by k radians each.
struct plan_bend {
  int32_t first;
  int32_t last;
  double k;
};

struct line_plan {
  int32_t last_metre = -1;       // L + 7000; -1 while there is no plan
  int32_t computed = 0;          // metres 0 .. computed - 1 hold a value
  std::vector<plan_bend> bends;  // in metre order

  bool exists() const { return last_metre >= 0; }
};

// Creates the plan anew for metres 0 .. last_metre, every element empty.
void create_line_plan(line_plan& plan, int32_t last_metre);
// Sets metres 0 and 1 to the integer points (0, 0) and (0, 1).
void start_line_plan(line_plan& plan);
// Computes the metres from the first not yet computed up to `last`, each
// turned by k radians (k = 0: straight on). Needs metres 0 and 1.
void extend_line_plan(line_plan& plan, int32_t last, double k);

// Calls point(m, x, y) for every computed metre m from 2 on, in order. Each
// point is the one before plus the step from the one before that, turned by
// k to first order (the step is not renormalised):
//   straight: (x1 + d0, y1 + d1)
//   curved:   (x1 + (d0 + k * d1), y1 + (d1 - k * d0))
// with (d0, d1) = point m-1 minus point m-2, in plain double arithmetic.
//
// The walk goes piece by piece: straight up to the next bend, along the bend,
// and so on, straight on after the last one. Its state stays in local
// variables, so that the loop keeps it in registers.
template <typename F>
void walk_line_plan(const line_plan& plan, F&& point) {
  double x2 = 0, y2 = 0, x1 = 0, y1 = 1;
  const int32_t end = plan.computed - 1;
  int32_t m = 2;
  const size_t pieces = 2 * plan.bends.size() + 1;
  for (size_t i = 0; i < pieces; ++i) {
    const bool after_bends = i / 2 == plan.bends.size();
    const plan_bend* bend = after_bends ? nullptr : &plan.bends[i / 2];
    const bool along_bend = i % 2 == 1;
    const int32_t to = after_bends ? end : along_bend ? bend->last : bend->first - 1;
    const int32_t last = to < end ? to : end;
    const double k = along_bend ? bend->k : 0;
    // The same step in two loops, so that neither tests k at every metre.
    if (k == 0) {
      for (; m <= last; ++m) {
        const double x = x1 + (x1 - x2);
        const double y = y1 + (y1 - y2);
        point(m, x, y);
        x2 = x1, y2 = y1, x1 = x, y1 = y;
      }
    } else {
      for (; m <= last; ++m) {
        const double d0 = x1 - x2;
        const double d1 = y1 - y2;
        const double x = x1 + (d0 + k * d1);
        const double y = y1 + (d1 - k * d0);
        point(m, x, y);
        x2 = x1, y2 = y1, x1 = x, y1 = y;
      }
    }
  }
}

// Every point of the plan, metres 0 .. computed - 1, as two rows (for tools
// and tests; the writer walks the plan instead).
void line_plan_rows(const line_plan& plan, std::vector<double>* row0, std::vector<double>* row1);
