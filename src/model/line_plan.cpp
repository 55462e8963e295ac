#include "model/line_plan.h"

#include <cstddef>

void create_line_plan(line_plan& plan, int32_t last_metre) {
  plan.last_metre = last_metre;
  plan.computed = 0;
  plan.row0.assign(static_cast<std::size_t>(last_metre) + 1, 0.0);
  plan.row1.assign(static_cast<std::size_t>(last_metre) + 1, 0.0);
}

void start_line_plan(line_plan& plan) {
  plan.row0[0] = 0;
  plan.row1[0] = 0;
  plan.row0[1] = 0;
  plan.row1[1] = 1;
  if (plan.computed < 2) plan.computed = 2;
}

int16_t plan_tag(const line_plan& plan, int32_t m) {
  if (m >= plan.computed) return plan_tag_empty;
  return m < 2 ? plan_tag_integer : plan_tag_double;
}

int64_t plan_row_bytes(const line_plan& plan) {
  int64_t elements = static_cast<int64_t>(plan.last_metre) + 1;
  int64_t integers = plan.computed < 2 ? plan.computed : 2;
  int64_t doubles = plan.computed - integers;
  return 2 * elements + 2 * integers + 8 * doubles;
}
