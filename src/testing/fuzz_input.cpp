#include "testing/fuzz_input.h"

#include <string>

#include "documents/builtin_documents.h"
#include "model/file_names.h"
#include "run/run_sequence.h"
#include "runtime/memory_disk.h"

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
  run_state st;
  st.line_name = built_in_line_name;
  st.train_number = built_in_train_number;
  st.directory = "/fuzz";
  d.files[line_document_path(st)] = std::string(input.substr(0, split));
  d.files[train_document_path(st)] =
      split == std::string_view::npos ? train : std::string(input.substr(split + 1));
  percorso_result result = memorizza_percorso(st, d, 1);

  // No file left open, no temporary file left, and a package exactly when the
  // run says it wrote one, of the size of the grid.
  if (d.open_files() != 0) return false;
  for (const auto& [path, bytes] : d.files)
    if (path.ends_with(".new") || path.ends_with(".old")) return false;
  bool package = d.files.count(grid_file_path(st)) > 0;
  if (package != (result.outcome == percorso_outcome::package_written)) return false;
  if (package && d.files[grid_file_path(st)].size() != 15 * st.grid.size()) return false;
  if (package &&
      d.files[plan_file_path(st)].size() != static_cast<size_t>(2 * plan_row_bytes(st.plan)))
    return false;
  // The documents the compile read are gone, unless it stopped before them.
  if (st.grid_exists() && st.error_code == 0 && d.files.count(line_document_path(st))) return false;
  return true;
}
