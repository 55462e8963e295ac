#pragma once
// Reading a scenario package back: the three binary files of a directory,
// named from the line name and the train number, into the records the
// compiler built. Every read is bounds-checked; a file that is cut short or
// holds garbage gives an error that names the file, the byte and what was
// expected.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "model/line_plan.h"
#include "model/scenario_table.h"
#include "model/track_grid.h"
#include "runtime/disk.h"

// One element of a plan row as the file holds it: its type tag and, for the
// integer and double tags, its value.
struct plan_element {
  int16_t tag = plan_tag_empty;
  double value = 0;
};

// Rows 0 and 1 of the line plan, one element per metre 0 .. M.
struct package_plan {
  std::vector<plan_element> row0;
  std::vector<plan_element> row1;
};

struct package {
  std::string line_name;
  std::string train_number;
  std::string directory;
  // The three file names, without the directory.
  std::string plan_file;
  std::string table_file;
  std::string grid_file;
  // Their sizes in bytes.
  size_t plan_bytes = 0;
  size_t table_bytes = 0;
  size_t grid_bytes = 0;

  track_grid grid;
  scenario_table table;
  package_plan plan;
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

// The names of the package's files: <line>_linea.dat, <line>_<train>.sim and
// <line>_<train>.dat.
std::string plan_file_name(std::string_view line_name);
std::string table_file_name(std::string_view line_name, std::string_view train_number);
std::string grid_file_name(std::string_view line_name, std::string_view train_number);

// Reads the package of `directory`. The scenario table is read first: its
// route length tells how many cells the grid and how many metres the plan
// must have.
bool read_package(disk& d, const std::string& directory, const std::string& line_name,
                  const std::string& train_number, package* out, package_error* error);

// The decoders of the three files. `file` is the name that starts every
// error message.
bool decode_scenario_table(std::string_view bytes, std::string_view file, scenario_table* out,
                           std::string* error);
bool decode_track_grid(std::string_view bytes, std::string_view file, int32_t route_length,
                       track_grid* out, std::string* error);
bool decode_line_plan(std::string_view bytes, std::string_view file, int32_t route_length,
                      package_plan* out, std::string* error);

// The exit status of a package that cannot be read (5) or is damaged (6).
inline constexpr int exit_package_damaged = 6;
int package_exit_status(const package_error& error);
