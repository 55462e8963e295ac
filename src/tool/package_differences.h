#pragma once
// What differs between the package a compile of the documents gives and the
// package read from disk, in words for the person who gave the documents:
// each kind of difference once, with how many cells or entries it touches
// and the first of them.

#include <string>
#include <vector>

#include "model/package_reader.h"
#include "model/scenario.h"

namespace tool {

// Empty when the documents make this package (the stamps and check codes of
// cell 1 and the line entry, which the package writer sets, aside).
std::vector<std::string> package_differences(const model::scenario& compiled,
                                             const model::package& p);

}  // namespace tool
