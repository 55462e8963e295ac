#include "run/fault_codes.h"

namespace {

constexpr fault_code codes[] = {
    {1, "the route length is above 1000000 m", false},
    {2, "a start or reference of the kilometric ranges is not a multiple of 50", false},
    {3, "the signal-repetition start is not a multiple of 50", false},
    {4, "the signal-repetition end is not a multiple of 50", false},
    {5, "the signal-repetition record names neither 4 nor 9 codes", false},
    {6, "a text board's cell is not free", true},
    {7, "an \"abbattimento\" record's cell is not free", true},
    {8, "a station's position is not a multiple of 50", true},
    {9, "a station's length is not a multiple of 100", true},
    {10, "the stations have reached the entries of the text boards", false},
    {11, "a signal before a restriction's warning board has no cell free for its marker", true},
    {12, "no free cell for a marker before a restriction's start", true},
    {13, "no free cell for a marker inside a restriction or before the signal after it", true},
    {15, "a positioned record lies beyond the track grid", true},
    {16, "a signal's cell is not free", true},
    {17, "a restriction's warning-board cell is not free", true},
    {18, "a restriction's start cell is not free", true},
    {19, "a restriction's end cell is not free", true},
    {20, "one of a restriction's four countdown cells is not free", true},
    {21, "a maximum-speed board's cell is not free", true},
    {22, "a station zone begins less than 350 m after the previous one ends", true},
    {24, "a station's cell would lie at or before cell 1 (zone end at 100 m or less)", false},
    {25, "a run-time fault while reading the documents", false},
    {101, "the line description does not exist", false},
    {102, "the line description has no \"[generale]\" section", false},
    {103, "a curve record names no curve class, or the plan runs beyond metre 1000000", false},
    {104, "the line description's header has no route length", false},
    {105, "the route length is negative", false},
    {106, "more than 80 mountain records", true},
    {107, "more than 81 text boards", true},
    {108, "a speed board's speed or stripe word does not fit 16 bits", true},
    {109, "a board, signal, restriction or \"abbattimento\" record at a negative position", true},
    {110, "a restriction's end cell lies outside the track grid", true},
};

constexpr fault_code unknown = {0, "unknown fault", false};

}  // namespace

const fault_code& describe_fault(int32_t code) {
  for (const fault_code& c : codes)
    if (c.code == code) return c;
  return unknown;
}

const fault_code* fault_codes_begin() {
  return codes;
}
const fault_code* fault_codes_end() {
  return codes + sizeof codes / sizeof codes[0];
}
