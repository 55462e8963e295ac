#include "compiler/compile.h"

#include "compiler/approach_markers.h"
#include "compiler/compile_state.h"
#include "compiler/line_reader.h"
#include "compiler/train_reader.h"
#include "runtime/windows1252.h"

namespace compiler {

namespace {

// Reads the line description, then the train document. Returns how the
// reading ended: step::runtime_fault for a run-time fault in either.
step read_documents(compile_state& cs, const compile_input& input, compile_result& result) {
  line_name_text(cs.sc.table) = runtime::to_windows1252(input.line_name);
  train_number_text(cs.sc.table) = runtime::to_windows1252(input.train_number);

  if (!input.line_description) {
    record_fault(cs, fault_code::no_line_description);
    return step::stop;
  }
  result.line_description_consumed = true;
  step s = read_line_description(cs, *input.line_description);
  if (s != step::next) return s;
  if (input.line_plan_done && cs.sc.plan.exists()) input.line_plan_done(cs.sc.plan);

  leave_record(cs, source_document::train_document);
  if (!input.train_document) return runtime_fault(cs, "the train document does not exist");
  result.train_document_consumed = true;
  return read_train_document(cs, *input.train_document);
}

}  // namespace

compile_result compile_documents(const compile_input& input) {
  compile_result result;
  compile_state cs;
  cs.with_plan = input.with_plan;
  cs.origins = input.origins;

  // A run-time fault anywhere in the reading ends the compile as code 25,
  // and both documents are consumed.
  if (read_documents(cs, input, result) == step::runtime_fault)
    result.train_document_consumed = input.train_document.has_value();

  if (cs.sc.has_grid()) {
    leave_record(cs, source_document::none, "approach-marker pass");
    std::optional<grid_fault> f;
    traced(cs, [&] {
      f = lay_approach_markers(cs.sc.grid);
      return step::next;
    });
    cs.record_keyword.clear();
    if (f) {
      leave_record(cs, source_document::none);
      record_fault_at(cs, f->code, f->position);
    }
  }
  if (cs.origins) {
    cs.origins->cells.resize(cs.sc.grid.size());
    cs.origins->marks.resize(cs.sc.grid.size());
  }
  result.compiled = std::move(cs.sc);
  result.fault = std::move(cs.fault);
  return result;
}

}  // namespace compiler
