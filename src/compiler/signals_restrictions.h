#pragma once
// Point objects of the train document: signals, temporary speed restrictions
// with their boards, and "abbattimento" cells.

#include <cstdint>
#include <optional>

#include "compiler/compile_state.h"

namespace compiler {

step signal_record(compile_state& cs);
step restriction_record(compile_state& cs);
step abbattimento_record(compile_state& cs);

// A signal: its arrangement (sx, dx, rapp), its three aspects on each side
// and its time value.
struct track_signal {
  int32_t position;
  int32_t sx;
  int32_t s[3];
  int32_t rapp;
  int32_t dx;
  int32_t d[3];
  int32_t time;
};
// Lays a signal at the point cell of its position, with its four approach
// marks 100 to 400 m before it; fault 16 when the cell is taken.
std::optional<fault_code> lay_signal(model::track_grid& grid, const track_signal& sig);

// A temporary speed restriction from metre x, `length` metres long, at
// `speed` km/h; `countdown` asks for the four countdown boards.
struct restriction {
  int32_t x;
  int32_t speed;
  int32_t length;
  int32_t f_tt;
  int32_t countdown;
  int32_t d_v;
};
// Lays its end, its start, its warning board 1200 m ahead and its countdown
// boards. Faults 17 to 20 when a cell is taken, 110 when the end cell lies
// outside the grid; *taken (when given) is then the cell found taken. The
// caller has checked that x + length fits 32 bits.
std::optional<fault_code> lay_restriction(model::track_grid& grid, const restriction& r,
                                          int32_t* taken = nullptr);

}  // namespace compiler
