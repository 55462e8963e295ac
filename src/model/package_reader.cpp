#include "model/package_reader.h"

#include <tuple>

#include "runtime/replace_files.h"

bool read_package(disk& d, const std::string& directory, const scenario_identity& id, package* out,
                  package_error* error) {
  out->identity = id;
  out->directory = directory;
  out->plan_file = plan_file_name(id);
  out->table_file = table_file_name(id);
  out->grid_file = grid_file_name(id);

  std::string plan, table, grid;
  for (auto [name, bytes, size] : {std::tuple{&out->table_file, &table, &out->table_bytes},
                                   std::tuple{&out->grid_file, &grid, &out->grid_bytes},
                                   std::tuple{&out->plan_file, &plan, &out->plan_bytes}}) {
    const std::string path = path_in(directory, *name);
    std::string reason;
    if (d.stat(path) == disk::entry::directory) {
      reason = "Is a directory";
    } else if (d.read_file(path, bytes, &reason)) {
      *size = bytes->size();
      continue;
    }
    *error = {package_problem::unreadable, describe(io_failure{path, reason, "read"})};
    return false;
  }

  std::string message;
  bool ok = decode_scenario_table(table, out->table_file, &out->table, &message);
  if (ok) {
    const int32_t route = sizing_route_length(out->table);
    ok = decode_track_grid(grid, out->grid_file, route, &out->grid, &message) &&
         decode_line_plan(plan, out->plan_file, route, &out->plan, &message);
  }
  if (!ok) *error = {package_problem::damaged, message};
  return ok;
}
