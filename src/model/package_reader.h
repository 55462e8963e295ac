#pragma once
// Reading a scenario package back: the three files of a directory, named
// after the scenario's identity, decoded through the package format. Every
// read is bounds-checked; a file that is cut short or holds garbage gives an
// error that names the file, the byte and what was expected.

#include <cstddef>
#include <string>

#include "model/file_names.h"
#include "model/package_format.h"
#include "model/scenario_table.h"
#include "model/track_grid.h"
#include "runtime/disk.h"

struct package {
  scenario_identity identity;
  std::string directory;
  // The three file names, without the directory, and their sizes in bytes.
  std::string plan_file;
  std::string table_file;
  std::string grid_file;
  size_t plan_bytes = 0;
  size_t table_bytes = 0;
  size_t grid_bytes = 0;

  track_grid grid;
  scenario_table table;
  plan_rows plan;  // every element as the file holds it
};

enum class package_problem {
  none,
  unreadable,  // a file cannot be read
  damaged,     // a file is cut short, too long or holds garbage
};

struct package_error {
  package_problem problem = package_problem::none;
  std::string message;  // one line, naming the file
};

// Reads the package of `directory`. The scenario table is read first: its
// route length tells how many cells the grid and how many metres the plan
// must have.
bool read_package(disk& d, const std::string& directory, const scenario_identity& id, package* out,
                  package_error* error);
