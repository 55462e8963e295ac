#pragma once
// The compiled scenario: the track grid, the scenario table and the line plan,
// as the compiler builds them and the package files hold them.

#include <cstdint>

#include "model/line_plan.h"
#include "model/scenario_table.h"
#include "model/track_grid.h"

namespace model {

struct scenario {
  track_grid grid;  // empty until the route length is known
  scenario_table table;
  line_plan plan;  // exists only when the compile was asked for a plan

  bool has_grid() const { return !grid.empty(); }
  // N, the index of the grid's last cell; -1 while there is no grid.
  int32_t last_cell() const { return static_cast<int32_t>(grid.size()) - 1; }
};

}  // namespace model
