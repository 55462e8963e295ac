#pragma once
// Line-side features of the line description: mountain stretches with their
// marker cells, speed-indicator boards and text boards.

#include <cstdint>

#include "compiler/compile_context.h"

flow montagna_record(compile_context& ctx);
flow indicatori_record(compile_context& ctx);
flow cartello_record(compile_context& ctx);

// Lays the mountain stretch from `inizio` to `fine` metres: the mountain byte
// of every cell, and a marker in every fourth empty cell when tipo is above
// 10. Cells beyond either end of the grid are left out. Sets error 106 when
// the mountain tables are full; false on a run-time fault (the gap to the
// previous mountain overflows 32 bits).
bool memo_montagna(run_state& st, int32_t& inizio, int32_t& fine, int32_t& tipo);

// Lays a speed-indicator board at a position inside the grid; sets error 21
// when its cell is taken and 108 when a packed word does not fit 16 bits.
void memo_indicatori_v_max(run_state& st, int32_t posizione, const int32_t& vas, const int32_t& vbs,
                           const int32_t& vcs, const int32_t& strisces, const int32_t& vad,
                           const int32_t& vbd, const int32_t& vcd, const int32_t& strisced);
