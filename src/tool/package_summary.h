#pragma once
// What a package says, decoded for people: the stamps and check codes, which
// entries are stations and which board texts, the object of every cell with
// its values, the stretch bytes as runs and the geometry of the plan. Shared
// by the text and JSON reports and by the drawing.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/line_kilometre.h"
#include "model/package_reader.h"
#include "runtime/printable_text.h"

namespace tool {

// The stamps and check codes as the package holds them, and the codes
// computed from the line name and train number of entries 85 and 86.
struct package_checks {
  int16_t line_stamp = 0;
  int16_t cell_stamp = 0;
  int32_t code_st = 0;
  int32_t computed_st = 0;
  int16_t code_og = 0;
  int16_t computed_og = 0;

  bool stamps_match() const {
    return line_stamp == model::line_stamp_value && cell_stamp == model::cell_stamp_value;
  }
  bool codes_match() const { return code_st == computed_st && code_og == computed_og; }
};
package_checks check_package(const model::package& p);

// One decoded value of an object: a whole number, a list of them (printed
// "a/b/c") or a text (Windows-1252, as stored).
struct object_field {
  std::string key;
  std::vector<int64_t> numbers;
  std::string text;
  bool is_text = false;
  std::string unit;
};

// A cell that holds an object, an approach mark, or both.
struct cell_object {
  int32_t cell = 0;
  int32_t metre = 0;  // the position the object stands for (see object_metre)
  uint8_t kind = 0;   // 0 when the cell carries only a mark
  uint8_t mark = 0;   // b11
  std::vector<object_field> fields;
};

// "signal", "speed board", ...; "kind 7" for a kind no object uses.
std::string kind_name(uint8_t kind);

// Every cell with an object or a mark, in cell order. The stamps in w2 and w4
// of cell 1 are not read as values of the object there.
std::vector<cell_object> cell_objects(const model::package& p);

// The entries named by text-board cells (highest first), and the other
// entries of 1 to 80 in use (the stations, lowest first).
std::vector<int> board_entries(const model::package& p);
std::vector<int> station_entries(const model::package& p);

// A run of cells first .. last whose stretch byte has the same value.
struct stretch_run {
  int32_t first_cell = 0;
  int32_t last_cell = 0;
  uint8_t raw = 0;
};
std::vector<stretch_run> stretch_runs(const model::track_grid& grid,
                                      uint8_t model::track_cell::*slot);

// The stretch bytes in people's units. A gradient byte of 0 is a cell the
// compiler never reached (the last cells of the grid), not -100 per mille.
inline bool gradient_set(uint8_t raw) {
  return raw != 0;
}
inline int gradient_per_mille(uint8_t raw) {
  return raw - 100;
}
inline int speed_kmh(uint8_t raw) {
  return raw * 5;
}

// The plan's extent, length and turning over the metres that hold a value.
// Row 0 is the east coordinate, row 1 the north one. A value that is not a
// finite number (a damaged or hostile file) is counted, and left out of the
// extent, the length and the turning as an empty metre is.
struct plan_geometry {
  int32_t metres = 0;  // elements per row
  int32_t valued = 0;  // metres holding a value
  int32_t first_valued = -1;
  int32_t last_valued = -1;
  int32_t not_finite = 0;  // valued metres with an infinite or NaN value
  int32_t first_not_finite = -1;
  double min_east = 0, max_east = 0, min_north = 0, max_north = 0;
  double length = 0;            // metres along the trace
  double net_turning = 0;       // degrees, clockwise positive
  double absolute_turning = 0;  // degrees

  // The extent holds at least one point.
  bool has_extent() const { return valued > not_finite; }
};
plan_geometry measure_plan(const model::plan_rows& plan);

// A speed restriction's stretch: its start cell and the first end cell after
// it, in metres, and its speed.
struct restriction_stretch {
  int32_t start = 0;
  int32_t end = 0;
  int32_t speed = 0;
  int32_t start_cell = 0;
  int32_t end_cell = -1;  // -1 when no end cell follows
};
std::vector<restriction_stretch> restriction_stretches(const model::package& p);

// "09:05:00" from seconds of the day; "-00:00:05" for a negative value.
std::string time_of_day(int64_t seconds);
// "09:02:30" from the clock words.
std::string clock_time(int h, int m, int s);

}  // namespace tool
