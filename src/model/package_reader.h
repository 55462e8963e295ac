#pragma once
// Reading a scenario package back: the three files of a directory, named
// after the scenario's identity, decoded through the package format. Every
// read is bounds-checked; a file that is cut short or holds garbage gives an
// error that names the file, the byte and what was expected.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "model/file_names.h"
#include "model/package_format.h"
#include "model/scenario_table.h"
#include "model/track_grid.h"
#include "runtime/disk.h"

namespace model {

// The plan at the resolution a picture of it has: the points of at most
// about plan_trace_samples metres, spread evenly, and the extent of every
// point. A 1 000 000 m plan is 2 million elements; its trace is 20 000
// points. Each sample is the first metre of its stretch of `step` metres
// that holds a value in both rows, and the last such metre of the plan is
// always a sample.
inline constexpr int32_t plan_trace_samples = 20000;
struct plan_trace {
  int32_t metres = 0;  // elements per row
  int32_t step = 1;    // metres between samples
  std::vector<int32_t> metre;
  std::vector<double> east, north;
  int32_t first_valued = -1;  // the first and last metre valued in both rows
  int32_t last_valued = -1;
  // The extent of every valued element of each row (not only the samples).
  bool has_extent = false;
  double min_east = 0, max_east = 0, min_north = 0, max_north = 0;

  size_t size() const { return metre.size(); }
  // The sample of route metre m: that of the nearest sampled metre at or
  // before m. False when there is none.
  bool at(int64_t m, double* east, double* north, int64_t* found = nullptr) const;
};
plan_trace trace_plan(const plan_rows& plan);

// Builds a trace from the elements of a plan as they come, row 0 first.
class plan_tracer {
 public:
  explicit plan_tracer(size_t metres);
  void element(size_t index, const plan_element& e);
  plan_trace finish();

 private:
  size_t metres_;
  plan_trace t_;
  void end_row0();

  // The candidates: metres valued in row 0, and their row 0 values.
  std::vector<int32_t> candidates_;
  std::vector<double> east_;
  size_t next_ = 0;  // the next candidate row 1 meets
  bool row0_done_ = false;
  bool have_east_ = false;
  bool have_north_ = false;
  int32_t last_east_metre_ = -1;
  double last_east_ = 0;
};

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
  plan_rows plan;    // every element as the file holds it (unless traced)
  plan_trace trace;  // when read with plan_reading::trace
};

// How the plan file is read: into rows of every element (16 bytes a metre
// and row), or into a trace (rows left empty), which takes little memory
// whatever the route's length. Either way the file streams in a part at a
// time (unless the table's route length is refused: then it is read whole).
enum class plan_reading { rows, trace };

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
bool read_package(runtime::disk& d, const std::string& directory, const scenario_identity& id,
                  package* out, package_error* error, plan_reading how = plan_reading::rows);

}  // namespace model
