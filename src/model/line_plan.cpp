#include "model/line_plan.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>

namespace model {

void create_line_plan(line_plan& plan, int32_t last_metre) {
  plan.last_metre = last_metre;
  plan.computed = 0;
  plan.bends.clear();
}

void start_line_plan(line_plan& plan) {
  if (plan.computed < 2) plan.computed = 2;
}

void extend_line_plan(line_plan& plan, int32_t last, double k) {
  if (last < plan.computed) return;
  if (k != 0) {
    if (!plan.bends.empty() && plan.bends.back().last == plan.computed - 1 &&
        plan.bends.back().k == k)
      plan.bends.back().last = last;
    else
      plan.bends.push_back({plan.computed, last, k});
  }
  plan.computed = last + 1;
}

namespace {

// A finite, nonzero, normal double as a whole number times a power of two,
// the number odd: v = *whole * 2^*power. False for anything else.
bool whole_times_power(double v, int64_t* whole, int* power) {
  const uint64_t bits = std::bit_cast<uint64_t>(v);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  if (biased == 0 || biased == 0x7FF) return false;
  uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
  const int zeros = std::countr_zero(mantissa);
  mantissa >>= zeros;
  *whole = bits >> 63 ? -static_cast<int64_t>(mantissa) : static_cast<int64_t>(mantissa);
  *power = biased - 1075 + zeros;
  return true;
}

constexpr int64_t exact_bound = int64_t{1} << 53;  // whole numbers below it are exact

// exact_straight_metres for one coordinate: the points a + j (a - b).
int32_t exact_steps(double b, double a, int32_t most) {
  if (std::bit_cast<uint64_t>(a) == 0 && std::bit_cast<uint64_t>(b) == 0) return most;  // +0 on
  int64_t wa, wb;
  int pa, pb;
  if (!whole_times_power(a, &wa, &pa) || !whole_times_power(b, &wb, &pb)) return 0;
  const int unit = std::min(pa, pb);
  // Both points in units of 2^unit, when they stay below 2^53 so (which also
  // keeps the multiplication in range).
  auto in_units = [&](int64_t whole, int power, int64_t* out) {
    const int shift = power - unit;
    const uint64_t size = static_cast<uint64_t>(whole < 0 ? -whole : whole);
    if (std::bit_width(size) + shift > 53) return false;
    *out = whole * (int64_t{1} << shift);
    return true;
  };
  int64_t ua, ub;
  if (!in_units(wa, pa, &ua) || !in_units(wb, pb, &ub)) return 0;
  const int64_t step = ua - ub;
  if (step <= -exact_bound || step >= exact_bound) return 0;
  if (step == 0) return most;
  // The points move one way: the last of them is the one to keep in bounds.
  const int64_t room = step > 0 ? (exact_bound - 1 - ua) / step : (ua + exact_bound - 1) / -step;
  return room <= 0 ? 0 : room < most ? static_cast<int32_t>(room) : most;
}

}  // namespace

int32_t exact_straight_metres(double x2, double x1, double y2, double y1, int32_t most) {
  const int32_t x = exact_steps(x2, x1, most);
  return x == 0 ? 0 : exact_steps(y2, y1, x);
}

void line_plan_rows(const line_plan& plan, std::vector<double>* row0, std::vector<double>* row1) {
  row0->assign({0, 0});
  row1->assign({0, 1});
  row0->resize(static_cast<std::size_t>(plan.computed));
  row1->resize(static_cast<std::size_t>(plan.computed));
  walk_line_plan(plan, [&](int32_t m, double x, double y) {
    (*row0)[static_cast<std::size_t>(m)] = x;
    (*row1)[static_cast<std::size_t>(m)] = y;
  });
}

}  // namespace model
