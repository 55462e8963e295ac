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

namespace model {

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

// How many of the next straight points, at most `most`, are exactly the
// last point plus the step again and again: then the step rule computes
// them with no rounding anywhere, so adding the step gives the same bits.
// That holds where, in units of the lower of the two points' lowest set
// bits, both points, their difference and every point ahead are whole
// numbers below 2^53, in each coordinate (or both points are +0). 0 where
// it cannot be shown (a coordinate that is -0, not finite or subnormal, or
// one point 0 and the other not, for one).
int32_t exact_straight_metres(double x2, double x1, double y2, double y1, int32_t most);

// Straight runs shorter than this are walked step by step.
inline constexpr int32_t exact_run_worth = 16;

// Walks the computed metres from 2 on, in order, a stretch at a time, so
// that a caller can hand each stretch's points on (to a buffer that is then
// written, for instance) before the next. Each point is the one before plus
// the step from the one before that, turned by k to first order (the step is
// not renormalised):
//   straight: (x1 + d0, y1 + d1)
//   curved:   (x1 + (d0 + k * d1), y1 + (d1 - k * d0))
// with (d0, d1) = point m-1 minus point m-2, in plain double arithmetic.
//
// The walk goes piece by piece: straight up to the next bend, along the bend,
// and so on, straight on after the last one. Within a stretch its state stays
// in local variables, and the loops call nothing but `point`, so that the
// points stay in registers from one metre to the next.
//
// On a straight piece the step soon stops changing: once both the step and
// the points ahead are exact in double arithmetic (see
// exact_straight_metres), each point is the one before plus the step, the
// same bits in half the work, until a coordinate would need a bit more than
// a double holds; then one by one again until the step is exact anew.
class line_plan_walker {
 public:
  explicit line_plan_walker(const line_plan& plan)
      : plan_(&plan), end_(plan.computed - 1), after_bends_(2 * plan.bends.size()) {}

  // Metres not yet walked.
  int32_t left() const { return end_ >= m_ ? end_ - m_ + 1 : 0; }

  // Calls point(m, x, y) for the next n metres (n at most left()).
  template <typename F>
  void walk(int32_t n, F&& point);

 private:
  const line_plan* plan_;
  int32_t end_;         // the last computed metre
  size_t after_bends_;  // the piece that runs on after the last bend
  size_t piece_ = 0;    // even: straight up to bend piece_ / 2; odd: along it
  int32_t m_ = 2;       // the next metre
  double x2_ = 0, y2_ = 0, x1_ = 0, y1_ = 1;
};

template <typename F>
void line_plan_walker::walk(int32_t n, F&& point) {
  double x2 = x2_, y2 = y2_, x1 = x1_, y1 = y1_;
  int32_t m = m_;
  const int32_t stop = m + n - 1;  // the stretch's last metre
  while (m <= stop) {
    const bool after_bends = piece_ == after_bends_;
    const plan_bend* bend = after_bends ? nullptr : &plan_->bends[piece_ / 2];
    const bool along_bend = piece_ % 2 == 1;
    const int32_t to = after_bends ? end_ : along_bend ? bend->last : bend->first - 1;
    const int32_t last = to < stop ? to : stop;
    const double k = along_bend ? bend->k : 0;
    // The same step in two loops, so that neither tests k at every metre.
    if (k == 0) {
      while (m <= last) {
        const int32_t exact = last - m + 1 < exact_run_worth
                                  ? 0
                                  : exact_straight_metres(x2, x1, y2, y1, last - m + 1);
        if (exact >= exact_run_worth) {
          const double d0 = x1 - x2;
          const double d1 = y1 - y2;
          for (const int32_t to_exact = m + exact - 1; m <= to_exact; ++m) {
            const double x = x1 + d0;
            const double y = y1 + d1;
            point(m, x, y);
            x2 = x1, y2 = y1, x1 = x, y1 = y;
          }
          continue;
        }
        const int32_t by_step = last - m < exact_run_worth ? last : m + exact_run_worth - 1;
        for (; m <= by_step; ++m) {
          const double x = x1 + (x1 - x2);
          const double y = y1 + (y1 - y2);
          point(m, x, y);
          x2 = x1, y2 = y1, x1 = x, y1 = y;
        }
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
    if (m > to && !after_bends) ++piece_;
  }
  x2_ = x2, y2_ = y2, x1_ = x1, y1_ = y1;
  m_ = m;
}

// Calls point(m, x, y) for every computed metre m from 2 on, in order (see
// line_plan_walker).
template <typename F>
void walk_line_plan(const line_plan& plan, F&& point) {
  line_plan_walker walker(plan);
  walker.walk(walker.left(), point);
}

// Every point of the plan, metres 0 .. computed - 1, as two rows (for tools
// and tests; the writer walks the plan instead).
void line_plan_rows(const line_plan& plan, std::vector<double>* row0, std::vector<double>* row1);

}  // namespace model
