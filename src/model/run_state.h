#pragma once
// Everything one run knows: the identity constants, the compiled records and
// the compiler's fault record, cursors and counters. Created empty when the
// run starts and shared by every procedure of the run.

#include <array>
#include <cstdint>
#include <string>

#include "model/line_plan.h"
#include "model/scenario_table.h"
#include "model/track_grid.h"

// Where in the source documents the compile stopped on a fault, for the
// authoring tool; no file carries it.
struct fault_place {
  int document = 0;  // 0 none, 1 the line description, 2 the train document
  int line = 0;      // line of the record's keyword field
  std::string keyword;
  std::string detail;  // what the runtime said of a run-time fault
};

struct run_state {
  // Identity constants: every file name is built from them.
  std::string line_name;
  std::string train_number;
  // The directory that holds every file of the run.
  std::string directory;

  int32_t j = 0;  // non-zero: the line plan and its file are made
  std::string current_field;

  int32_t route_length = 0;
  int32_t plan_last_metre = 0;
  int32_t grid_last_index = -1;  // N; -1 while there is no grid

  track_grid grid;
  scenario_table table;
  line_plan plan;

  int32_t error_code = 0;
  int32_t error_position = 0;
  fault_place fault;

  // Line description loop state.
  int32_t mountain_count = 0;
  std::array<int32_t, 81> mountain_starts{};
  std::array<int32_t, 81> mountain_ends{};
  int32_t board_entry = first_board_entry;
  int32_t gradient_cursor = 0;
  int32_t previous_gradient = 0;
  int32_t plan_cursor = 2;

  // Train document loop state.
  int32_t speed_cursor = 0;
  int32_t carried_speed = 0;
  int32_t adhesion_cursor = 0;
  int32_t carried_adhesion = 0;
  int32_t station_entry_index = 1;

  bool grid_exists() const { return !grid.empty(); }
};
