#include "model/package_files.h"

#include <bit>
#include <string>
#include <vector>

#include "model/check_codes.h"
#include "model/file_names.h"

int check_and_stamp(run_state& st) {
  scenario_entry& line = st.table[entry_line];
  track_cell& cell1 = st.grid[1];
  if (line.w24 != 0 || cell1.w2 != 0) return 1250;
  line.w24 = 610;
  cell1.w2 = 5121;
  if (line.l40 != 0 || cell1.w4 != 0) return 1251;
  line.l40 = codice_gara_st(st);
  cell1.w4 = codice_gara_og(st);
  return 0;
}

void put_track_cell(output_file& out, const track_cell& c) {
  out.put_u8(c.kind);
  out.put_i16(c.w2);
  out.put_i16(c.w4);
  out.put_i16(c.w6);
  out.put_i16(c.w8);
  out.put_u8(c.b10);
  out.put_u8(c.b11);
  out.put_u8(c.b12);
  out.put_u8(c.b13);
  out.put_u8(c.b14);
  out.put_u8(c.b15);
}

void put_scenario_entry(output_file& out, const scenario_entry& e) {
  out.put_u8(e.b0);
  out.put_i32(e.l4);
  out.put_i32(e.l8);
  out.put_i32(e.l12);
  out.put_u8(e.b16);
  // Texts longer than a 16-bit count are refused when they are read.
  out.put_i16(static_cast<int16_t>(static_cast<uint16_t>(e.text.size())));
  out.put(e.text);
  out.put_i16(e.w24);
  out.put_i16(e.w26);
  out.put_i16(e.w28);
  out.put_i16(e.w30);
  out.put_i16(e.w32);
  out.put_u8(e.b34);
  out.put_u8(e.b35);
  out.put_u8(e.b36);
  out.put_u8(e.b37);
  out.put_i32(e.l40);
}

namespace {

// One row of the plan: its integer points, its computed points as tagged
// doubles, its empty metres.
void put_plan_row(output_file& out, const line_plan& plan, int row) {
  const int32_t integers = plan.computed < 2 ? plan.computed : 2;
  for (int32_t m = 0; m < integers; ++m) {
    out.put_i16(plan_tag_integer);
    out.put_i16(static_cast<int16_t>(row == 1 && m == 1 ? 1 : 0));
  }
  // Doubles are encoded straight into the output buffer, a run of whole
  // elements at a time.
  constexpr size_t element = 10;
  constexpr int32_t run = static_cast<int32_t>(output_file::block_size / element);
  char* p = nullptr;
  int32_t room_left = 0;
  walk_line_plan(plan, [&](int32_t m, double x, double y) {
    if (room_left == 0) {
      room_left = plan.computed - m < run ? plan.computed - m : run;
      p = out.room(static_cast<size_t>(room_left) * element);
    }
    encode_le(p, static_cast<uint16_t>(plan_tag_double));
    encode_le(p + 2, std::bit_cast<uint64_t>(row == 0 ? x : y));
    p += element;
    --room_left;
  });
  for (int32_t m = plan.computed; m <= plan.last_metre; ++m) out.put_i16(plan_tag_empty);
}

}  // namespace

void put_line_plan(output_file& out, const line_plan& plan) {
  put_plan_row(out, plan, 0);
  put_plan_row(out, plan, 1);
}

bool write_package(run_state& st, disk& d, io_failure* failure) {
  std::vector<std::string> paths;
  if (st.j != 0) paths.push_back(plan_file_path(st));
  paths.push_back(table_file_path(st));
  paths.push_back(grid_file_path(st));

  for (const std::string& path : paths) {
    output_file out(d, temporary_name(path));
    if (out.open()) {
      if (path == plan_file_path(st)) {
        put_line_plan(out, st.plan);
      } else if (path == table_file_path(st)) {
        for (const scenario_entry& e : st.table) put_scenario_entry(out, e);
      } else {
        for (const track_cell& c : st.grid) put_track_cell(out, c);
      }
    }
    if (!out.finish()) {
      *failure = {path, out.error(), "write"};
      discard_temporaries(d, paths);
      return false;
    }
  }
  return replace_together(d, paths, failure);
}
