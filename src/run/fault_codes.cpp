#include "run/fault_codes.h"

namespace {

constexpr fault_code codes[] = {
    {1, "the route length is above 1000000 m"},
    {2, "a start or reference of the kilometric ranges is not a multiple of 50"},
    {3, "the signal-repetition start is not a multiple of 50"},
    {4, "the signal-repetition end is not a multiple of 50"},
    {5, "the signal-repetition record names neither 4 nor 9 codes"},
    {6, "a text board's cell is not free"},
    {7, "an \"abbattimento\" record's cell is not free"},
    {8, "a station's position is not a multiple of 50"},
    {9, "a station's length is not a multiple of 100"},
    {10, "the stations have reached the entries of the text boards"},
    {11, "a signal before a restriction's warning board has no cell free for its marker"},
    {12, "no free cell for a marker before a restriction's start"},
    {13, "no free cell for a marker inside a restriction or before the signal after it"},
    {15, "a positioned record lies beyond the track grid"},
    {16, "a signal's cell is not free"},
    {17, "a restriction's warning-board cell is not free"},
    {18, "a restriction's start cell is not free"},
    {19, "a restriction's end cell is not free"},
    {20, "one of a restriction's four countdown cells is not free"},
    {21, "a maximum-speed board's cell is not free"},
    {22, "a station zone begins less than 350 m after the previous one ends"},
    {24, "a station's cell would lie at or before cell 1 (zone end at 100 m or less)"},
    {25, "a run-time fault while reading the documents"},
    {101, "the line description does not exist"},
    {102, "the line description has no \"[generale]\" section"},
    {103, "a curve record names no curve class, or the plan runs beyond metre 1000000"},
    {104, "the line description's header has no route length"},
    {105, "the route length is negative"},
    {106, "more than 80 mountain records"},
    {107, "more than 81 text boards"},
    {108, "a speed board's speed or stripe word does not fit 16 bits"},
    {109, "a board, signal, restriction or \"abbattimento\" record at a negative position"},
    {110, "a restriction's end cell lies outside the track grid"},
};

constexpr fault_code unknown = {0, "unknown fault"};

}  // namespace

const fault_code& describe_fault(int32_t code) {
  for (const fault_code& c : codes)
    if (c.code == code) return c;
  return unknown;
}
