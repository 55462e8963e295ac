#pragma once
// Point objects of the train document: signals, temporary speed restrictions
// with their boards, and "abbattimento" cells.

#include <cstdint>

#include "compiler/compile_context.h"

flow segnale_record(compile_context& ctx);
flow rallentamento_record(compile_context& ctx);
flow abbattimento_record(compile_context& ctx);

// Lays a signal at the point cell of `posizione` with its four approach
// marks 100 to 400 m before it; error 16 when the cell is taken. Raises
// `tempo` from 1..100 to 101.
void memo_segnale(run_state& st, int32_t posizione, int32_t& sx, int32_t& s1, int32_t& s2,
                  int32_t& s3, int32_t& rapp, int32_t& dx, int32_t& d1, int32_t& d2, int32_t& d3,
                  int32_t& tempo);

// Lays a speed restriction from metre x, l metres long: end, start, warning
// board 1200 m ahead and, when f_ta is non-zero, four countdown boards.
// Errors 17 to 20 when a cell is taken, 110 when the end cell lies outside
// the grid; false on a run-time fault (x + l overflows 32 bits).
bool memo_rallentamento(run_state& st, int32_t x, int32_t& v, int32_t& l, int32_t& f_tt,
                        int32_t f_ta, int32_t& d_v);
