#include "test_support/package_fuzz_input.h"

#include <cstdint>
#include <sstream>

#include "model/package_reader.h"
#include "run/generator.h"
#include "test_support/memory_disk.h"
#include "tool/inspect_report.h"
#include "tool/svg_drawing.h"

namespace test_support {

namespace {

uint32_t take_length(std::string_view& input) {
  uint32_t n = 0;
  for (int i = 0; i < 4 && !input.empty(); ++i) {
    n |= static_cast<uint32_t>(static_cast<unsigned char>(input[0])) << (8 * i);
    input.remove_prefix(1);
  }
  return n;
}

std::string_view take(std::string_view& input, uint32_t n) {
  const std::string_view part = input.substr(0, n);
  input.remove_prefix(part.size());
  return part;
}

void put_length(std::string& out, size_t n) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((n >> (8 * i)) & 0xFF);
}

}  // namespace

std::string package_fuzz_input(std::string_view table, std::string_view grid,
                               std::string_view plan) {
  std::string out;
  put_length(out, table.size());
  put_length(out, grid.size());
  out += table;
  out += grid;
  out += plan;
  return out;
}

bool run_package_fuzz_input(std::string_view input) {
  const uint32_t table_bytes = take_length(input);
  const uint32_t grid_bytes = take_length(input);
  const std::string_view table = take(input, table_bytes);
  const std::string_view grid = take(input, grid_bytes);

  // One disk for every input, whose three files take each input's bytes:
  // the files keep their room from one input to the next, so that an input
  // costs no fresh allocation of its size (AddressSanitizer maps and clears
  // every large one anew). The reader only reads; the log is emptied.
  static const model::scenario_identity id = run::built_in_identity();
  static const std::string directory = "/fuzz";
  static memory_disk d;
  static std::string& table_file = d.files[model::path_in(directory, model::table_file_name(id))];
  static std::string& grid_file = d.files[model::path_in(directory, model::grid_file_name(id))];
  static std::string& plan_file = d.files[model::path_in(directory, model::plan_file_name(id))];
  table_file.assign(table);
  grid_file.assign(grid);
  plan_file.assign(input);
  d.log.clear();

  model::package p;
  model::package_error error;
  if (!model::read_package(d, directory, id, &p, &error))
    return error.problem == model::package_problem::damaged && !error.message.empty();
  std::ostringstream text;
  tool::write_inspection_text(text, p);
  const std::string json = tool::inspection_json(p);
  const std::string svg = tool::draw_package(p);
  return !text.view().empty() && !json.empty() && svg.find("<svg") != std::string::npos;
}

}  // namespace test_support
