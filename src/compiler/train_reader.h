#pragma once
// The second stage of the compile: the train document, with the train's
// general values, the speed-limit and adhesion bytes of every cell, and the
// signal, restriction, "abbattimento" and station records.

#include "compiler/compile_context.h"

// Reads and deletes the train document. Returns flow::leave when the compile
// is over and flow::trap on a run-time fault.
flow read_train_document(compile_context& ctx);
