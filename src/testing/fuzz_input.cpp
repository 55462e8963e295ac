#include "testing/fuzz_input.h"

#include <string>

#include "documents/builtin_documents.h"
#include "model/package_format.h"
#include "run/generator.h"
#include "run/package_step.h"
#include "testing/memory_disk.h"

namespace {

std::string built_in_train_document() {
  std::string text;
  for (std::string_view line : train_document_lines()) {
    text += line;
    text += "\r\n";
  }
  return text;
}

}  // namespace

bool run_fuzz_input(std::string_view input) {
  static const std::string train = built_in_train_document();
  size_t split = input.find('\0');

  memory_disk d;
  const scenario_identity id = built_in_identity();
  const std::string directory = "/fuzz";
  const std::string line_path = path_in(directory, line_description_name(id));
  d.files[line_path] = std::string(input.substr(0, split));
  d.files[path_in(directory, train_document_name(id))] =
      split == std::string_view::npos ? train : std::string(input.substr(split + 1));
  const directory_build build = build_package_in(d, id, directory, true);
  const scenario& sc = build.compile.compiled;

  // No file left open, no temporary file left, and a package exactly when the
  // run says it wrote one, of the size of the grid.
  if (d.open_files() != 0) return false;
  for (const auto& [path, bytes] : d.files)
    if (path.ends_with(".new") || path.ends_with(".old")) return false;
  const std::string grid_path = path_in(directory, grid_file_name(id));
  bool package = d.files.count(grid_path) > 0;
  if (package != (build.package.outcome == package_outcome::written)) return false;
  if (package && d.files[grid_path].size() != track_cell_bytes * sc.grid.size()) return false;
  if (package && d.files[path_in(directory, plan_file_name(id))].size() !=
                     static_cast<size_t>(2 * plan_row_bytes(sc.plan)))
    return false;
  // The documents the compile read are gone, unless it stopped before them.
  if (sc.has_grid() && !build.compile.fault && d.files.count(line_path)) return false;
  return true;
}
