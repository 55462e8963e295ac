#pragma once
// The track grid: one cell per 50 m of route, each a fixed record of eleven
// slots. The byte layout of a cell in the .dat file is in package_format.h;
// how each kind of object packs its values into the words is in cell_words.h.

#include <cstdint>
#include <vector>

namespace model {

struct track_cell {
  uint8_t kind = 0;  // what object occupies the cell; 0 = nothing
  int16_t w2 = 0;    // the object's four values
  int16_t w4 = 0;
  int16_t w6 = 0;
  int16_t w8 = 0;
  uint8_t b10 = 0;  // time value of a signal
  uint8_t b11 = 0;  // approach code ahead of a signal or a station
  uint8_t b12 = 0;  // mountain zone type of the stretch
  uint8_t b13 = 0;  // line speed limit of the stretch, in steps of 5 km/h
  uint8_t b14 = 0;  // gradient of the stretch in per mille, plus 100
  uint8_t b15 = 0;  // adhesion value of the stretch

  bool operator==(const track_cell&) const = default;
};

// Object kinds.
inline constexpr uint8_t kind_empty = 0;
inline constexpr uint8_t kind_signal = 1;
inline constexpr uint8_t kind_restriction_end = 2;
inline constexpr uint8_t kind_restriction_start = 3;
inline constexpr uint8_t kind_restriction_warning = 4;
inline constexpr uint8_t kind_countdown = 5;
inline constexpr uint8_t kind_speed_board = 6;
inline constexpr uint8_t kind_station = 10;
inline constexpr uint8_t kind_mountain_marker = 11;
inline constexpr uint8_t kind_approach_marker = 12;
inline constexpr uint8_t kind_plain_marker = 13;
inline constexpr uint8_t kind_text_board = 14;

// True for the kinds above; a file may hold others.
bool is_known_kind(uint8_t kind);

using track_grid = std::vector<track_cell>;

// The point cell of an object at metre p: round(p / 50 + 1).
int32_t point_cell(int32_t p);
// The cell in which a stretch starting at metre p starts: round(p / 50).
int32_t stretch_cell(int32_t p);

// The route metre that cell `cell` stands for, for an object of `kind`:
// point objects sit in cell p / 50 + 1, stretch-placed ones (countdowns,
// markers) in cell p / 50, and a station cell is the cell before the end of
// its station's zone.
int32_t object_metre(int32_t cell, uint8_t kind);

// A cell that an object may take: empty, or holding only a mountain marker.
inline bool is_free_cell(const track_cell& c) {
  return c.kind == kind_empty || c.kind == kind_mountain_marker;
}

// Index of the last cell of the grid of a route of `route_length` metres:
// round((L + 7000) / 50).
int32_t last_cell_index(int32_t route_length);

}  // namespace model
