#include "test_support/fuzz_input.h"

#include <string>

#include "documents/builtin_documents.h"
#include "model/package_format.h"
#include "run/generator.h"
#include "run/package_step.h"
#include "runtime/output_file.h"
#include "test_support/memory_disk.h"

namespace test_support {

namespace {

std::string built_in_train_document() {
  std::string text;
  for (std::string_view line : documents::train_document_lines()) {
    text += line;
    text += "\r\n";
  }
  return text;
}

// Leaves the plan valued over its metres 0 .. valued - 1 at most: the
// points that stay are those of the whole plan, since each follows from the
// ones before it.
void value_plan_to(model::line_plan& plan, int32_t valued) {
  if (plan.computed > valued) plan.computed = valued;
  while (!plan.bends.empty() && plan.bends.back().first >= plan.computed) plan.bends.pop_back();
  if (!plan.bends.empty() && plan.bends.back().last >= plan.computed)
    plan.bends.back().last = plan.computed - 1;
}

// Cuts the plan to its metres 0 .. last.
void cut_plan(model::line_plan& plan, int32_t last) {
  if (!plan.exists() || plan.last_metre <= last) return;
  plan.last_metre = last;
  value_plan_to(plan, last + 1);
}

}  // namespace

std::string plan_file_valued_to(const model::line_plan& plan, int32_t valued) {
  model::line_plan part = plan;
  value_plan_to(part, valued);
  memory_disk d;
  runtime::output_file out(d, "/plan");
  if (!out.open()) return {};
  model::put_line_plan(out, part);
  if (!out.finish()) return {};
  return d.files["/plan"];
}

bool run_fuzz_input(std::string_view input, int32_t plan_metres) {
  static const std::string train = built_in_train_document();
  size_t split = input.find('\0');

  memory_disk d;
  const model::scenario_identity id = run::built_in_identity();
  const std::string directory = "/fuzz";
  const std::string line_path = model::path_in(directory, model::line_description_name(id));
  d.files[line_path] = std::string(input.substr(0, split));
  d.files[model::path_in(directory, model::train_document_name(id))] =
      split == std::string_view::npos ? train : std::string(input.substr(split + 1));
  run::directory_build build;
  if (run::compile_in_directory(d, id, directory, true, &build)) {
    if (plan_metres >= 0) cut_plan(build.compile.compiled.plan, plan_metres);
    build.package = run::stamp_and_write(build.compile, id, directory, true, d);
  }
  const model::scenario& sc = build.compile.compiled;

  // No file left open, no temporary file left, and a package exactly when the
  // run says it wrote one, of the size of the grid.
  if (d.open_files() != 0) return false;
  for (const auto& [path, bytes] : d.files)
    if (path.ends_with(".new") || path.ends_with(".old")) return false;
  const std::string grid_path = model::path_in(directory, model::grid_file_name(id));
  bool package = d.files.count(grid_path) > 0;
  if (package != (build.package.outcome == run::package_outcome::written)) return false;
  if (package && d.files[grid_path].size() != model::track_cell_bytes * sc.grid.size())
    return false;
  if (package && d.files[model::path_in(directory, model::plan_file_name(id))].size() !=
                     static_cast<size_t>(2 * model::plan_row_bytes(sc.plan)))
    return false;
  // The documents the compile read are gone, unless it stopped before them.
  if (sc.has_grid() && !build.compile.fault && d.files.count(line_path)) return false;
  return true;
}

}  // namespace test_support
