#include "model/package_writer.h"

#include <string>
#include <vector>

#include "model/check_codes.h"
#include "model/package_format.h"
#include "runtime/output_file.h"

namespace model {

int reserved_slot_error_number(stamp_outcome outcome) {
  switch (outcome) {
    case stamp_outcome::stamp_slot_taken:
      return 1250;
    case stamp_outcome::code_slot_taken:
      return 1251;
    case stamp_outcome::stamped:
      break;
  }
  return 0;
}

stamp_outcome stamp_reserved_slots(scenario& sc) {
  track_cell& cell = sc.grid[stamp_cell];
  if (line_stamp(sc.table) != 0 || cell.w2 != 0) return stamp_outcome::stamp_slot_taken;
  line_stamp(sc.table) = line_stamp_value;
  cell.w2 = cell_stamp_value;
  if (weighted_check_code_slot(sc.table) != 0 || cell.w4 != 0)
    return stamp_outcome::code_slot_taken;
  const std::string& train = train_number_text(sc.table);
  const std::string& line = line_name_text(sc.table);
  weighted_check_code_slot(sc.table) = weighted_check_code(train, line);
  cell.w4 = plain_check_code(train, line);
  return stamp_outcome::stamped;
}

std::vector<std::string> package_files(const scenario_identity& id, const std::string& directory,
                                       bool with_plan) {
  std::vector<std::string> paths;
  if (with_plan) paths.push_back(path_in(directory, plan_file_name(id)));
  paths.push_back(path_in(directory, table_file_name(id)));
  paths.push_back(path_in(directory, grid_file_name(id)));
  return paths;
}

namespace {

void put_plan_file(runtime::output_file& out, const line_plan& plan) {
  out.reserve(2 * plan_row_bytes(plan));
  put_line_plan(out, plan);
}

}  // namespace

bool write_plan_temporary(const line_plan& plan, const scenario_identity& id,
                          const std::string& directory, runtime::disk& d,
                          runtime::io_failure* failure) {
  const std::string path = path_in(directory, plan_file_name(id));
  runtime::output_file out(d, runtime::temporary_name(path));
  if (out.open()) put_plan_file(out, plan);
  if (out.finish()) return true;
  *failure = {path, out.error(), "write"};
  runtime::discard_temporaries(d, {path});
  return false;
}

bool write_package_temporaries(const scenario& sc, const scenario_identity& id,
                               const std::string& directory, bool with_plan, runtime::disk& d,
                               runtime::io_failure* failure) {
  const std::string plan_path = path_in(directory, plan_file_name(id));
  const std::string table_path = path_in(directory, table_file_name(id));
  const std::vector<std::string> paths = package_files(id, directory, with_plan);
  for (const std::string& path : paths) {
    runtime::output_file out(d, runtime::temporary_name(path));
    if (out.open()) {
      if (path == plan_path) {
        put_plan_file(out, sc.plan);
      } else if (path == table_path) {
        int64_t bytes = 0;
        for (const scenario_entry& e : sc.table)
          bytes += scenario_entry_fixed_bytes + static_cast<int64_t>(e.text.size());
        out.reserve(bytes);
        for (const scenario_entry& e : sc.table) put_scenario_entry(out, e);
      } else {
        out.reserve(track_cell_bytes * static_cast<int64_t>(sc.grid.size()));
        for (const track_cell& c : sc.grid) put_track_cell(out, c);
      }
    }
    if (!out.finish()) {
      *failure = {path, out.error(), "write"};
      runtime::discard_temporaries(d, paths);
      return false;
    }
  }
  return true;
}

bool write_package(const scenario& sc, const scenario_identity& id, const std::string& directory,
                   bool with_plan, runtime::disk& d, runtime::io_failure* failure) {
  return write_package_temporaries(sc, id, directory, with_plan, d, failure) &&
         runtime::replace_together(d, package_files(id, directory, with_plan), failure);
}

}  // namespace model
