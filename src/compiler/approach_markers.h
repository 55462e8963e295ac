#pragma once
// The approach-marker pass: after the documents are read, markers (kind 12,
// value 180) are laid around the speed restrictions: ahead of the signals
// before a warning board, at three distances before a restriction's start,
// every 8 cells inside a slow restriction and before the first signal after
// its end.

#include <cstdint>
#include <optional>

#include "compiler/faults.h"
#include "model/track_grid.h"

namespace compiler {

// A fault of the grid rather than of a record: the code and the metre of the
// cell at fault (its index times 50).
struct grid_fault {
  fault_code code;
  int32_t position;
};

// Lays the markers; the last fault found, if any (the pass goes on after a
// fault).
std::optional<grid_fault> lay_approach_markers(model::track_grid& grid);

}  // namespace compiler
