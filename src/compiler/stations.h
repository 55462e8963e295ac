#pragma once
// "stazione" records: one scenario entry per station, counting up from entry
// 1, with the station's zone, its station cell and its approach marks.

#include "compiler/compile_state.h"

namespace compiler {

step station_record(compile_state& cs);

}  // namespace compiler
