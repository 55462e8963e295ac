#include "model/track_grid.h"

#include "model/rounding.h"

int32_t point_cell(int32_t p) {
  return static_cast<int32_t>(round_half_even(p / 50.0 + 1));
}

int32_t stretch_cell(int32_t p) {
  return static_cast<int32_t>(round_half_even(p / 50.0));
}

int32_t last_cell_index(int32_t route_length) {
  return static_cast<int32_t>(round_half_even((route_length + 7000.0) / 50.0));
}
