// Fuzz target: arbitrary bytes, split at the first NUL byte into a line
// description and a train document, go through the whole compile, the
// approach-marker pass, the checks and the writing of the package, on a disk
// held in memory. Without a NUL byte the input is the line description and
// the built-in train document is used.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "documents/builtin_documents.h"
#include "documents/document_writer.h"
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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t split = input.find('\0');
  static const std::string train = built_in_train_document();

  memory_disk d;
  run_state st;
  st.line_name = built_in_line_name;
  st.train_number = built_in_train_number;
  st.directory = "/fuzz";
  d.files[line_document_path(st)] = std::string(input.substr(0, split));
  d.files[train_document_path(st)] =
      split == std::string_view::npos ? train : std::string(input.substr(split + 1));
  percorso_result result = memorizza_percorso(st, d, 1);

  // What every run must leave: no document the compile has read, no
  // temporary file, and a package only when one could be written.
  if (d.open_files() != 0) __builtin_trap();
  for (const auto& [path, bytes] : d.files)
    if (path.ends_with(".new") || path.ends_with(".old")) __builtin_trap();
  bool package = d.files.count(grid_file_path(st)) > 0;
  if (package != (result.outcome == percorso_outcome::package_written)) __builtin_trap();
  if (package && d.files[grid_file_path(st)].size() != 15 * st.grid.size()) __builtin_trap();
  return 0;
}
