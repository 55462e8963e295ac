#include "model/track_grid.h"

#include "model/rounding.h"
#include "model/route_extent.h"

namespace model {

bool is_known_kind(uint8_t kind) {
  switch (kind) {
    case kind_empty:
    case kind_signal:
    case kind_restriction_end:
    case kind_restriction_start:
    case kind_restriction_warning:
    case kind_countdown:
    case kind_speed_board:
    case kind_station:
    case kind_mountain_marker:
    case kind_approach_marker:
    case kind_plain_marker:
    case kind_text_board:
      return true;
    default:
      return false;
  }
}

int32_t point_cell(int32_t p) {
  return static_cast<int32_t>(round_half_even(p / 50.0 + 1));
}

int32_t stretch_cell(int32_t p) {
  return static_cast<int32_t>(round_half_even(p / 50.0));
}

int32_t object_metre(int32_t cell, uint8_t kind) {
  switch (kind) {
    case kind_countdown:
    case kind_mountain_marker:
    case kind_approach_marker:
    case kind_plain_marker:
      return cell * 50;
    case kind_station:
      return (cell + 1) * 50;
    default:
      return (cell - 1) * 50;
  }
}

int32_t last_cell_index(int32_t route_length) {
  return static_cast<int32_t>(round_half_even((route_length + double{metres_past_route}) / 50.0));
}

}  // namespace model
