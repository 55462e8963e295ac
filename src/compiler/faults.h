#pragma once
// Every fault the compiler can find in the documents: one list, from which
// both the enum and the table of meanings are made, so that they cannot
// drift apart.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace compiler {

// X(name, code, has a position of its own, meaning)
#define SCENARIO_FAULT_LIST(X)                                                                    \
  X(route_too_long, 1, false, "the route length is above 1000000 m")                              \
  X(range_not_on_50, 2, false,                                                                    \
    "a start or reference of the kilometric ranges is not a multiple of 50")                      \
  X(repetition_start_not_on_50, 3, false, "the signal-repetition start is not a multiple of 50")  \
  X(repetition_end_not_on_50, 4, false, "the signal-repetition end is not a multiple of 50")      \
  X(repetition_code_count, 5, false, "the signal-repetition record names neither 4 nor 9 codes")  \
  X(text_board_cell_taken, 6, true, "a text board's cell is not free")                            \
  X(abbattimento_cell_taken, 7, true, "an \"abbattimento\" record's cell is not free")            \
  X(station_not_on_50, 8, true, "a station's position is not a multiple of 50")                   \
  X(station_length_not_on_100, 9, true, "a station's length is not a multiple of 100")            \
  X(stations_reach_boards, 10, false, "the stations have reached the entries of the text boards") \
  X(no_marker_cell_before_signal, 11, true,                                                       \
    "a signal before a restriction's warning board has no cell free for its marker")              \
  X(no_marker_cell_before_start, 12, true,                                                        \
    "no free cell for a marker before a restriction's start")                                     \
  X(no_marker_cell_inside_or_after, 13, true,                                                     \
    "no free cell for a marker inside a restriction or before the signal after it")               \
  X(beyond_grid, 15, true, "a positioned record lies beyond the track grid")                      \
  X(signal_cell_taken, 16, true, "a signal's cell is not free")                                   \
  X(warning_cell_taken, 17, true, "a restriction's warning-board cell is not free")               \
  X(start_cell_taken, 18, true, "a restriction's start cell is not free")                         \
  X(end_cell_taken, 19, true, "a restriction's end cell is not free")                             \
  X(countdown_cell_taken, 20, true, "one of a restriction's four countdown cells is not free")    \
  X(speed_board_cell_taken, 21, true, "a maximum-speed board's cell is not free")                 \
  X(station_zones_too_close, 22, true,                                                            \
    "a station zone begins less than 350 m after the previous one ends")                          \
  X(station_cell_too_early, 24, false,                                                            \
    "a station's cell would lie at or before cell 1 (zone end at 100 m or less)")                 \
  X(runtime_fault, 25, false, "a run-time fault while reading the documents")                     \
  X(no_line_description, 101, false, "the line description does not exist")                       \
  X(no_general_section, 102, false, "the line description has no \"[generale]\" section")         \
  X(curve_without_class, 103, false,                                                              \
    "a curve record names no curve class, or the plan runs beyond metre 1000000")                 \
  X(no_route_length, 104, false, "the line description's header has no route length")             \
  X(negative_route_length, 105, false, "the route length is negative")                            \
  X(too_many_mountains, 106, true, "more than 80 mountain records")                               \
  X(too_many_text_boards, 107, true, "more than 81 text boards")                                  \
  X(speed_board_word_too_wide, 108, true,                                                         \
    "a speed board's speed or stripe word does not fit 16 bits")                                  \
  X(negative_position, 109, true,                                                                 \
    "a board, signal, restriction or \"abbattimento\" record at a negative position")             \
  X(restriction_end_beyond_grid, 110, true, "a restriction's end cell lies outside the track grid")

enum class fault_code : int32_t {
#define SCENARIO_FAULT_ENUM(name, code, positioned, meaning) name = code,
  SCENARIO_FAULT_LIST(SCENARIO_FAULT_ENUM)
#undef SCENARIO_FAULT_ENUM
};

// The code's number, as messages print it.
inline int32_t fault_number(fault_code code) {
  return static_cast<int32_t>(code);
}
// What the fault means, for people.
std::string_view fault_meaning(fault_code code);
// Whether the step that finds the fault records a position of its own.
bool fault_has_position(fault_code code);
// Every code, in the list's order.
std::span<const fault_code> all_fault_codes();

// The document a fault was found in.
enum class source_document { none, line_description, train_document };

// The one fault a compile reports: the last one found, which stops the
// compile or, found by the approach-marker pass, ends it.
struct compile_fault {
  fault_code code = fault_code::runtime_fault;
  // The position the compile last recorded, in metres, from this fault or an
  // earlier one (0 when none did); the generator reports it as it stands.
  int32_t position = 0;
  // Whether this fault recorded the position itself.
  bool has_position = false;
  // Where in the documents: the document, the line and column of the
  // record's keyword field, or of its value at fault for a fault of one
  // value (0 when none), and the keyword field as it was read (its
  // first 256 bytes).
  source_document document = source_document::none;
  int line = 0;
  int column = 0;
  std::string keyword;
  // What the reader or a conversion said of a run-time fault.
  std::string detail;
  // For a restriction's cell found taken (faults 17 to 20), that cell: the
  // fault's position is the restriction's own.
  std::optional<int32_t> taken_cell;
};

}  // namespace compiler
