#pragma once
// The first stage of the compile: the line description, its general header
// and its records.

#include <string_view>

#include "compiler/compile_state.h"

namespace compiler {

// Reads the line description: the general header sizes the grid and the
// plan, then every record is offered to the record handlers. Returns
// step::next when the train document is to be read next, step::stop when the
// compile is over and step::runtime_fault on a run-time fault.
step read_line_description(compile_state& cs, std::string_view bytes);

// The general header's tests, each applied to the keyword field in
// cs.field; every test that matches reads its values.
step header_record(compile_state& cs);

}  // namespace compiler
