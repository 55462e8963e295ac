#pragma once
// The two check codes stamped into the package, computed from the train
// number and the line name held in entries 86 and 85.

#include <cstdint>

#include "model/run_state.h"

// Sum of the codes of the first 25 characters of the check text, each
// weighted by its position (1 to 25).
int32_t codice_gara_st(run_state& st);
// Plain sum of the codes of the same 25 characters.
int16_t codice_gara_og(run_state& st);
