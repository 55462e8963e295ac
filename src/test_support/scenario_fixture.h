#pragma once
// Test helpers: small source documents and the generator's package step on a
// disk held in memory.

#include <memory>
#include <string>
#include <string_view>

#include "model/file_names.h"
#include "run/package_step.h"
#include "test_support/memory_disk.h"

namespace test_support {

inline constexpr const char* test_directory = "/scenario";
// Where the package step finds the two documents in that directory.
inline const std::string test_line_path =
    model::path_in(test_directory, "Borvasco_Lestrano_linea.txt");
inline const std::string test_train_path =
    model::path_in(test_directory, "Borvasco_Lestrano_40817-.txt");

// The built-in identity, which names the test files.
model::scenario_identity test_identity();

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

struct built_package {
  memory_disk disk;
  run::directory_build build;
  const model::scenario& sc = build.compile.compiled;
  const run::package_step& result = build.package;

  // The fault's code and position, 0 when there is none.
  int32_t code() const;
  int32_t position() const;
  // The bytes of a file of the test directory, by name ("" when missing).
  std::string file(std::string_view name) const;
  const model::track_cell& cell(int i) const { return sc.grid.at(static_cast<size_t>(i)); }
};

// Lays the two documents into the test directory and runs the generator's
// package step: the compile, the deletion of the documents, the stamps and
// the writing of the package.
std::unique_ptr<built_package> build_package_from(const std::string& line, const std::string& train,
                                                  bool with_plan = true);
// The same on a disk the test has prepared.
std::unique_ptr<built_package> build_package_on(std::unique_ptr<built_package> prepared,
                                                bool with_plan = true);

}  // namespace test_support
