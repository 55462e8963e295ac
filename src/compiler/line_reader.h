#pragma once
// The first stage of the compile: the line description, its general header
// and its records.

#include "compiler/compile_context.h"

// Reads and deletes the line description. Returns flow::next when the train
// document is to be read next, flow::leave when the compile is over, and
// flow::trap on a run-time fault.
flow read_line_document(compile_context& ctx);

// Puts the three kilometric ranges (entries 81 to 83) in route order and
// moves the reference of each range in use on by 100 m. False (a run-time
// fault) when a sum overflows 32 bits.
bool progressive_ordina(run_state& st);
