#pragma once
// One input of the package-reader fuzz target, shared with the test that
// replays its seed corpus and every past finding.
//
// The input holds the three files of a package: a 4-byte little-endian
// length of the scenario table's file, a 4-byte length of the track grid's
// file, those two files, and the line plan's file (the rest). Lengths larger
// than what follows are cut to it.

#include <string>
#include <string_view>

namespace test_support {

// Lays the three files into a directory of a disk held in memory and reads
// them as `inspect` and `render` do: the package reader, the text and JSON
// reports and the drawing. False when a check fails (a damaged package must
// be refused with a message, a readable one must give every report).
bool run_package_fuzz_input(std::string_view input);

// An input from the three files, in the form above.
std::string package_fuzz_input(std::string_view table, std::string_view grid,
                               std::string_view plan);

}  // namespace test_support
