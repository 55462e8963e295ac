#pragma once
// Test helpers: small source documents and a compile on a disk held in
// memory.

#include <memory>
#include <string>
#include <string_view>

#include "model/run_state.h"
#include "run/run_sequence.h"
#include "runtime/memory_disk.h"

inline constexpr const char* test_directory = "/scenario";
// Where the compile finds the two documents in that directory.
inline constexpr const char* test_line_path = "/scenario/Borvasco_Lestrano_linea.txt";
inline constexpr const char* test_train_path = "/scenario/Borvasco_Lestrano_40817-.txt";

// Cells from .. to (both included) whose slot should hold a value.
struct cell_range {
  int from, to;
  int value;
};

// A line description with the given route length and general header values
// left at zero, followed by `records` after the "[curve]" header.
std::string line_description(int route_length, std::string_view records = "");
// A train document: a small general section, then `records`.
std::string train_document(std::string_view records = "");

struct compiled_scenario {
  memory_disk disk;
  run_state st;
  percorso_result result;

  // The bytes of a file of the run's directory, by name ("" when missing).
  std::string file(std::string_view name) const;
  const track_cell& cell(int i) const { return st.grid.at(static_cast<size_t>(i)); }
};

// Lays the two documents into the run's directory and runs the compile and
// the package writing, as the generator does after writing its documents.
std::unique_ptr<compiled_scenario> compile_documents(const std::string& line,
                                                     const std::string& train, int j = 1);
