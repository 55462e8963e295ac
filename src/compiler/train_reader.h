#pragma once
// The second stage of the compile: the train document, with the train's
// general values, the speed-limit and adhesion bytes of every cell, and the
// signal, restriction, "abbattimento" and station records.

#include <string_view>

#include "compiler/compile_state.h"

namespace compiler {

// Reads the train document. Returns step::stop when the reading is over
// (with or without a fault) and step::runtime_fault on a run-time fault.
step read_train_document(compile_state& cs, std::string_view bytes);

// The speed-limit ("velocita") and adhesion ("aderenza") records: each fills
// the cells from its cursor up to its own cell with the value carried from
// the record before it.
step speed_record(compile_state& cs);
step adhesion_record(compile_state& cs);

}  // namespace compiler
