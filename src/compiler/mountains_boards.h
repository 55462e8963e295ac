#pragma once
// Line-side features of the line description: mountain stretches with their
// marker cells, maximum-speed boards and text boards.

#include <cstdint>
#include <optional>

#include "compiler/compile_state.h"

namespace compiler {

step mountain_record(compile_state& cs);
step speed_board_record(compile_state& cs);
step text_board_record(compile_state& cs);

// Lays a mountain stretch from metre `start` to metre `end`: the mountain
// byte of every cell, and a marker in every fourth empty cell when
// `with_markers`. Cells beyond either end of the grid are left out.
void lay_mountain(model::track_grid& grid, int32_t start, int32_t end, int32_t type,
                  bool with_markers);
// The cells a mountain stretch from metre `start` to metre `end` covers,
// first to last, before they are cut to the grid (none when first > last).
struct mountain_cells {
  int64_t first;
  int64_t last;
};
mountain_cells cells_of_mountain(int32_t start, int32_t end);

// A maximum-speed board: three pairs of speeds in km/h (sides "s" and "d")
// and the stripe counts of both sides.
struct speed_board {
  int32_t position;
  int32_t s_speeds[3];
  int32_t s_stripes;
  int32_t d_speeds[3];
  int32_t d_stripes;
};
// Lays a board at a position inside the grid; its fault when its cell is
// taken (21) or a packed word does not fit 16 bits (108).
std::optional<fault_code> lay_speed_board(model::track_grid& grid, const speed_board& board);

}  // namespace compiler
