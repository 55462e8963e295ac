#pragma once
// The track's geometry: "pendenza" records give every cell its gradient
// byte, "curva" records bend the line plan.

#include "compiler/compile_context.h"

flow pendenza_record(compile_context& ctx);
flow curva_record(compile_context& ctx);

// After the last record: the gradient of the last record runs on to cell
// N - 3, and the plan runs straight on to metre L + 6998. Both return false
// on a run-time fault.
bool complete_gradients(run_state& st);
void complete_plan(run_state& st);
