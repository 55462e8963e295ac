#include "model/line_plan.h"

#include <cstddef>

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
