#include "compiler/approach_markers.h"

#include <cstdint>

namespace compiler {

namespace {

constexpr int16_t marker_value = 180;

int16_t smaller(int16_t x, int16_t y) {
  return x > y ? y : x;
}

struct pass {
  model::track_grid& grid;
  int32_t last;  // N
  std::optional<grid_fault> fault;

  bool exists(int64_t i) const { return i >= 0 && i <= last; }
  model::track_cell& cell(int64_t i) { return grid[static_cast<size_t>(i)]; }
  // Cells outside the grid are never free and hold nothing.
  bool is_free(int64_t i) { return exists(i) && model::is_free_cell(cell(i)); }
  uint8_t kind(int64_t i) { return exists(i) ? cell(i).kind : model::kind_empty; }

  void lay(int64_t i) {
    cell(i).kind = model::kind_approach_marker;
    cell(i).w2 = marker_value;
  }
  void cap(int64_t i) { cell(i).w2 = smaller(marker_value, cell(i).w2); }
  // A later fault replaces an earlier one.
  void fail(fault_code code, int64_t i) { fault = grid_fault{code, static_cast<int32_t>(i * 50)}; }

  // Every signal among the 20 cells before a warning board gets a marker
  // in one of the two cells before it, or caps the marker already there.
  void before_warning(int32_t i) {
    for (int32_t a = 1; a <= 20 && i - a >= 3; ++a) {
      int32_t d = i - a;
      if (kind(d) != model::kind_signal) continue;
      if (is_free(d - 1))
        lay(d - 1);
      else if (is_free(d - 2))
        lay(d - 2);
      else if (kind(d - 1) == model::kind_approach_marker)
        cap(d - 1);
      else if (kind(d - 2) == model::kind_approach_marker)
        cap(d - 2);
      else
        fail(fault_code::no_marker_cell_before_signal, d);
    }
  }

  // Three groups of candidates before a restriction's start.
  void before_start(int32_t i) {
    static constexpr int32_t groups[3][3] = {{5, 6, 7}, {11, 12, 13}, {18, 19, 20}};
    for (const auto& group : groups) {
      if (i <= group[2]) continue;
      bool laid = false;
      for (int32_t distance : group) {
        if (is_free(i - distance)) {
          lay(i - distance);
          laid = true;
          break;
        }
      }
      if (!laid) fail(fault_code::no_marker_cell_before_start, i);
    }
  }

  // Inside a slow restriction, a marker every 8 cells up to its end cell.
  // Returns the end cell, or -1 when the grid ends first.
  int64_t inside_restriction(int32_t i) {
    int32_t counter = 0;
    for (int64_t k = i + 1; k <= last; ++k) {
      ++counter;
      if (counter == 8) {
        if (is_free(k)) {
          lay(k);
          counter = 0;
        } else if (is_free(k - 1)) {
          lay(k - 1);
          counter = 1;
        } else if (is_free(k + 1)) {
          lay(k + 1);
          counter = -1;
        } else {
          fail(fault_code::no_marker_cell_inside_or_after, k);
        }
      }
      if (kind(k) == model::kind_restriction_end) return k;
    }
    return -1;
  }

  // The first signal within 12 cells after the end gets a marker in one
  // of the two cells before it.
  void after_end(int64_t k) {
    for (int64_t s = k; s <= k + 12 && s <= last; ++s) {
      if (kind(s) != model::kind_signal) continue;
      if (s - 1 <= 0) return;
      if (is_free(s - 1))
        lay(s - 1);
      else if (is_free(s - 2))
        lay(s - 2);
      else
        fail(fault_code::no_marker_cell_inside_or_after, k);
      return;
    }
  }
};

}  // namespace

std::optional<grid_fault> lay_approach_markers(model::track_grid& grid) {
  const int32_t last = static_cast<int32_t>(grid.size()) - 1;
  pass p{grid, last, std::nullopt};
  const int32_t scan_end = last - 2;
  for (int32_t i = 1; i <= scan_end; ++i) {
    uint8_t kind = p.kind(i);
    if (kind == model::kind_restriction_warning) p.before_warning(i);
    if (kind != model::kind_restriction_start) continue;
    p.before_start(i);
    if (p.cell(i).w2 < 110) {
      int64_t end = p.inside_restriction(i);
      if (end >= 0) p.after_end(end);
    }
  }
  return p.fault;
}

}  // namespace compiler
