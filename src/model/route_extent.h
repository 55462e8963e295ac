#pragma once
// How far the track grid and the line plan reach for a route of L metres.

#include <cstdint>

namespace model {

// The grid and the plan run on this far past the end of the route: the plan
// has metres 0 .. L + 7000, the grid cells 0 .. round((L + 7000) / 50).
inline constexpr int32_t metres_past_route = 7000;

// The compile refuses longer routes, so no package holds one.
inline constexpr int32_t longest_route = 1000000;

// L + 7000, the plan's last metre.
inline constexpr int32_t plan_last_metre(int32_t route_length) {
  return route_length + metres_past_route;
}

}  // namespace model
