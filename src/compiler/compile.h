#pragma once
// The compiler as a library: two source documents in, a scenario and at most
// one fault out. It touches no file.
//
// The line description is read first, its general header and then its
// records (gradients, curves, mountains, boards); then the train document
// (the train's values, speed limits, adhesion, signals, restrictions,
// "abbattimento" cells and stations); then the approach-marker pass runs over
// the grid. A fault in a document stops the compile at the record that shows
// it, and the scenario keeps what was compiled before; a record beyond the
// grid only ends the reading of its document.

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/faults.h"
#include "model/scenario.h"

namespace compiler {

// The record that laid something: its document, the line and column of its
// keyword, and the keyword. A cell laid by the approach-marker pass has no
// document and the keyword "approach-marker pass"; one nothing laid has line 0.
struct record_origin {
  source_document document = source_document::none;
  int line = 0;
  int column = 0;
  std::string keyword;
};

// For each cell of the grid, the record that last changed its object (or,
// in a cell with no object, its mark b11) and the record that last changed
// its mark: a signal marks the cells before it whatever they hold, a board
// or a mountain marker among them; for each scenario entry, the record that
// last changed it.
struct compile_origins {
  std::vector<record_origin> cells;
  std::vector<record_origin> marks;
  std::array<record_origin, model::scenario_entries> entries;
};

struct compile_input {
  // The documents' bytes; a document that does not exist is nullopt.
  std::optional<std::string_view> line_description;
  std::optional<std::string_view> train_document;
  // Copied into entries 85 and 86 (as Windows-1252) and so into the check
  // codes.
  std::string_view line_name;
  std::string_view train_number;
  // Whether the line plan is computed.
  bool with_plan = true;
  // When given, filled with the origin of every cell and entry. The compile
  // and its package are the same either way; asking costs a look at the
  // grid after each record.
  compile_origins* origins = nullptr;
  // When given, called on the compiling thread as soon as the line
  // description has been read whole without a fault, with the line plan,
  // which nothing after it changes: a caller may write the plan while the
  // train document is read. The plan is the compile's own, so a caller that
  // keeps it beyond the call keeps a copy.
  std::function<void(const model::line_plan&)> line_plan_done;
};

struct compile_result {
  model::scenario compiled;
  std::optional<compile_fault> fault;
  // The documents the compile consumed: a run that compiles files it wrote
  // itself deletes these, the line description first.
  bool line_description_consumed = false;
  bool train_document_consumed = false;
};

compile_result compile_documents(const compile_input& input);

}  // namespace compiler
