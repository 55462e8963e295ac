#pragma once
// The scenario table: 87 entries of sixteen fields, written to the .sim file
// as 34 bytes plus the characters of the entry's text.

#include <array>
#include <cstdint>
#include <string>

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
};

inline constexpr int scenario_entries = 87;
inline constexpr int scenario_entry_fixed_bytes = 34;
// The longest text an entry can carry: its length is stored in 16 bits.
inline constexpr size_t longest_entry_text = 65535;

// Entries with a fixed use.
inline constexpr int first_board_entry = 80;  // text boards count down from here
inline constexpr int entry_range_last = 81;   // the kilometric range that begins last
inline constexpr int entry_range_middle = 82;
inline constexpr int entry_range_first = 83;  // the kilometric range that begins first
inline constexpr int entry_route = 84;        // route header
inline constexpr int entry_line = 85;         // line identity, background values, stamps
inline constexpr int entry_train = 86;        // train identity and train header

using scenario_table = std::array<scenario_entry, scenario_entries>;

void clear_scenario_table(scenario_table& table);
