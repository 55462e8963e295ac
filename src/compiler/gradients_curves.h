#pragma once
// The track's geometry: "pendenza" records give every cell its gradient
// byte, "curva" records bend the line plan.

#include "compiler/compile_state.h"

namespace compiler {

step gradient_record(compile_state& cs);
step curve_record(compile_state& cs);

// After the last record: the gradient of the last record runs on to cell
// N - 3 (false on a run-time fault), and the plan runs straight on to metre
// L + 6998.
bool complete_gradients(compile_state& cs);
void complete_plan(compile_state& cs);

}  // namespace compiler
