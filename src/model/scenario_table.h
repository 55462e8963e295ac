#pragma once
// The scenario table: 87 entries of sixteen fields. The byte layout of an
// entry in the .sim file is in package_format.h.
//
// What the entries hold:
//   0         nothing: it stays cleared
//   1 up      stations, in the order of the train document (station_* below)
//   80 down   the texts of the text boards, in the order of the line description
//   81 .. 83  the three kilometric ranges, the one that begins last first
//   84        the route header
//   85        the line's identity, background values, stamp and check code
//   86        the train's identity, signal repetition, sand and clock

#include <array>
#include <cstdint>
#include <string>

namespace model {

struct scenario_entry {
  uint8_t b0 = 0;
  int32_t l4 = 0;
  int32_t l8 = 0;
  int32_t l12 = 0;
  uint8_t b16 = 0;
  std::string text;  // Windows-1252, one byte a character
  int16_t w24 = 0;
  int16_t w26 = 0;
  int16_t w28 = 0;
  int16_t w30 = 0;
  int16_t w32 = 0;
  uint8_t b34 = 0;
  uint8_t b35 = 0;
  uint8_t b36 = 0;
  uint8_t b37 = 0;
  int32_t l40 = 0;

  bool operator==(const scenario_entry&) const = default;
};

inline constexpr int scenario_entries = 87;
// The longest text an entry can carry: its length is stored in 16 bits.
inline constexpr size_t longest_entry_text = 65535;

// Entries with a fixed use.
inline constexpr int first_station_entry = 1;  // stations count up from here
inline constexpr int first_board_entry = 80;   // text boards count down from here
inline constexpr int entry_range_last = 81;    // the kilometric range that begins last
inline constexpr int entry_range_middle = 82;
inline constexpr int entry_range_first = 83;  // the kilometric range that begins first
inline constexpr int entry_route = 84;        // route header
inline constexpr int entry_line = 85;         // line identity, background values, stamps
inline constexpr int entry_train = 86;        // train identity and train header

using scenario_table = std::array<scenario_entry, scenario_entries>;

// True when any field of the entry is set.
bool entry_in_use(const scenario_entry& e);

// The fields of the fixed entries by what they hold. Each comes as a pair:
// one to store into, one to read.
#define SCENARIO_FIELD(name, entry, field)           \
  inline auto& name(scenario_table& t) {             \
    return t[entry].field;                           \
  }                                                  \
  inline const auto& name(const scenario_table& t) { \
    return t[entry].field;                           \
  }

// Entry 84.
SCENARIO_FIELD(braked_mass_percent, entry_route, l4)
SCENARIO_FIELD(route_length, entry_route, l8)
SCENARIO_FIELD(car_count, entry_route, l12)
// Entry 85.
SCENARIO_FIELD(line_name_text, entry_line, text)
SCENARIO_FIELD(background_one, entry_line, l4)
SCENARIO_FIELD(background_two, entry_line, l12)
SCENARIO_FIELD(background_three, entry_line, l8)
SCENARIO_FIELD(line_stamp, entry_line, w24)
SCENARIO_FIELD(weighted_check_code_slot, entry_line, l40)
// Entry 86.
SCENARIO_FIELD(train_number_text, entry_train, text)
SCENARIO_FIELD(repetition_start, entry_train, l4)
SCENARIO_FIELD(repetition_end, entry_train, l8)
SCENARIO_FIELD(repetition_codes, entry_train, l12)
SCENARIO_FIELD(sand, entry_train, w24)
SCENARIO_FIELD(clock_hour, entry_train, w28)
SCENARIO_FIELD(clock_minute, entry_train, w30)
SCENARIO_FIELD(clock_second, entry_train, w32)

#undef SCENARIO_FIELD

// A kilometric range (entries 81 .. 83): l4 the route metre where it
// starts, l8 the line kilometre (in metres) it counts from, l12 1 when the
// range applies. The reference of a range in use is stored this much higher
// than the document gives it.
inline constexpr int32_t range_reference_shift = 100;

// A station entry (1 up): b0 its type, l12 its metre, l4 .. l8 its zone, text
// its name, l40 its time of day in seconds; b16, b34 .. b37 and w24 .. w32
// carry further values of the record as they stand.

}  // namespace model
