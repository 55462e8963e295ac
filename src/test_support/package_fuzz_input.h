#pragma once
// One input of the package-reader fuzz target, shared with the test that
// replays its seed corpus and every past finding.
//
// The input holds the three files of a package: a 4-byte little-endian
// length of the scenario table's file, a 4-byte length of the track grid's
// file, those two files, and the line plan's file (the rest). Lengths larger
// than what follows are cut to it.

#include <cstddef>
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

// A plan file with the values of its first `valued` metres only, every later
// metre empty in both rows, as a package may hold. A compiled plan is valued
// to its end; a seed whose plan is valued over a short stretch leads the
// search to packages a fraction as costly to read, report and draw, and to
// the empty metres, which compiled plans hold only at their very end. A plan
// that cannot be split into elements is given back as it is.
std::string plan_valued_to(std::string_view plan, size_t valued);

}  // namespace test_support
