#include "compiler/gradients_curves.h"

#include <cstdint>

#include "runtime/windows1252.h"

namespace compiler {

namespace {

constexpr int32_t last_curved_metre = 1000000;

// Writes the last record's gradient into the cell under the cursor and moves
// the cursor on, at least once and until it reaches `until`. False when the
// cursor leaves the grid or the byte's value overflows 32 bits.
bool fill_gradient(compile_state& cs, int32_t until) {
  line_cursors& at = cs.line;
  int64_t value = static_cast<int64_t>(at.gradient) + 100;
  if (value > INT32_MAX) return false;
  do {
    if (at.gradient_cell < 0 || at.gradient_cell > cs.sc.last_cell()) return false;
    cs.sc.grid[static_cast<size_t>(at.gradient_cell)].b14 = static_cast<uint8_t>(value);
    ++at.gradient_cell;
  } while (at.gradient_cell < until);
  return true;
}

// Curvature in radians per metre of the curve class named by the first
// digit test that matches; 0 when the field names no class.
double curvature(const std::string& field) {
  static constexpr struct {
    const char* digit;
    double k;
  } classes[] = {{"1", 0.0001}, {"2", 0.0002}, {"3", 0.0004},
                 {"4", 0.001},  {"5", 0.002},  {"6", 0.003}};
  for (const auto& c : classes)
    if (runtime::contains(field, c.digit)) return c.k;
  return 0;
}

// Computes the plan from the cursor up to metre `last`. False once the plan
// has reached metre 1000000, where it stops.
bool advance_plan(compile_state& cs, int32_t last, double k) {
  int32_t& m = cs.line.plan_metre;
  if (m > last) return true;
  bool too_far = last >= last_curved_metre;
  if (too_far) last = last_curved_metre;
  model::extend_line_plan(cs.sc.plan, last, k);
  m = last + 1;
  return !too_far;
}

}  // namespace

// "pendenza": from position P on, the gradient is G per mille.
step gradient_record(compile_state& cs) {
  int32_t start, gradient;
  if (!read_record_field<record_kind::gradient, 0>(cs, &start) ||
      !read_record_field<record_kind::gradient, 1>(cs, &gradient))
    return reader_fault(cs);
  if (range_check(cs, start) != step::next) return step::end_document;
  int32_t s = model::stretch_cell(start);
  if (s > 0 && !fill_gradient(cs, s)) return runtime_fault(cs, "gradient cells beyond the grid");
  cs.line.gradient = gradient;
  return step::next;
}

bool complete_gradients(compile_state& cs) {
  return fill_gradient(cs, cs.sc.last_cell() - 2);
}

// "curvas1" .. "curvad6": a curve of a class from position P, L metres long;
// "s" turns it the other way.
step curve_record(compile_state& cs) {
  const std::string field = cs.field;
  int32_t start, length;
  if (!read_record_field<record_kind::curve, 0>(cs, &start) ||
      !read_record_field<record_kind::curve, 1>(cs, &length))
    return reader_fault(cs);
  if (range_check(cs, start) != step::next) return step::end_document;
  double k = curvature(field);
  if (k == 0) return reject(cs, fault_code::curve_without_class);
  if (runtime::contains_any_case(field, "s")) k = -k;

  // A straight run up to the curve's start, then the curve; the plan may not
  // pass metre 1000000 in either. The end is worked out only after the
  // straight run, as the curve begins.
  if (!advance_plan(cs, start, 0)) return reject(cs, fault_code::curve_without_class);
  int64_t end = static_cast<int64_t>(start) + length;
  if (end > INT32_MAX || end < INT32_MIN) return runtime_fault(cs, "the curve's end overflows");
  // A curve that runs past the end of the plan is bent up to the plan's last
  // metre.
  if (end > cs.sc.plan.last_metre) end = cs.sc.plan.last_metre;
  if (!advance_plan(cs, static_cast<int32_t>(end), k))
    return reject(cs, fault_code::curve_without_class);
  return step::next;
}

void complete_plan(compile_state& cs) {
  const int32_t last = cs.sc.plan.last_metre;
  if (cs.line.plan_metre > last - 2) return;
  model::extend_line_plan(cs.sc.plan, last - 2, 0);
  cs.line.plan_metre = last - 1;
}

}  // namespace compiler
