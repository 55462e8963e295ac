#include "compiler/gradients_curves.h"

#include <cstdint>

#include "runtime/windows1252.h"

namespace {

constexpr int32_t last_curved_metre = 1000000;

// Writes the previous gradient into the cell under the cursor and moves the
// cursor on, at least once and until the cursor reaches `until`.
bool fill_gradient(run_state& st, int32_t until) {
  int64_t value = static_cast<int64_t>(st.previous_gradient) + 100;
  if (value > INT32_MAX) return false;
  do {
    if (st.gradient_cursor < 0 || st.gradient_cursor > st.grid_last_index) return false;
    st.grid[static_cast<size_t>(st.gradient_cursor)].b14 = static_cast<uint8_t>(value);
    ++st.gradient_cursor;
  } while (st.gradient_cursor < until);
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
    if (contains(field, c.digit)) return c.k;
  return 0;
}

// Computes the plan from the cursor up to metre `last`. False once the plan
// has reached metre 1000000, where it stops.
bool advance_plan(run_state& st, int32_t last, double k) {
  int32_t& m = st.plan_cursor;
  if (m > last) return true;
  bool too_far = last >= last_curved_metre;
  if (too_far) last = last_curved_metre;
  extend_line_plan(st.plan, last, k);
  m = last + 1;
  return !too_far;
}

}  // namespace

flow pendenza_record(compile_context& ctx) {
  run_state& st = ctx.st;
  int32_t start, g;
  if (!ctx.reader->read_i32(&start) || !ctx.reader->read_i32(&g)) return reader_trap(ctx);
  if (range_check(ctx, start) != flow::next) return flow::end_reading;
  int32_t s = stretch_cell(start);
  if (s > 0 && !fill_gradient(st, s)) return raise_trap(ctx, "gradient cells beyond the grid");
  st.previous_gradient = g;
  return flow::next;
}

bool complete_gradients(run_state& st) {
  return fill_gradient(st, st.grid_last_index - 2);
}

flow curva_record(compile_context& ctx) {
  run_state& st = ctx.st;
  const std::string field = st.current_field;
  int32_t start, length;
  if (!ctx.reader->read_i32(&start) || !ctx.reader->read_i32(&length)) return reader_trap(ctx);
  if (range_check(ctx, start) != flow::next) return flow::end_reading;
  double k = curvature(field);
  if (k == 0) return reject_document(ctx, 103);
  if (contains_any_case(field, "s")) k = -k;

  // A straight run up to the curve's start, then the curve; the plan may not
  // pass metre 1000000 in either. The end is worked out only after the
  // straight run, as the curve begins.
  if (!advance_plan(st, start, 0)) return reject_document(ctx, 103);
  int64_t end = static_cast<int64_t>(start) + length;
  if (end > INT32_MAX || end < INT32_MIN) return raise_trap(ctx, "the curve's end overflows");
  // A curve that runs past the end of the plan is bent up to the plan's last
  // metre.
  if (end > st.plan_last_metre) end = st.plan_last_metre;
  if (!advance_plan(st, static_cast<int32_t>(end), k)) return reject_document(ctx, 103);
  return flow::next;
}

void complete_plan(run_state& st) {
  if (st.plan_cursor > st.plan_last_metre - 2) return;
  extend_line_plan(st.plan, st.plan_last_metre - 2, 0);
  st.plan_cursor = st.plan_last_metre - 1;
}
