#include "model/package_files.h"

#include <bit>
#include <memory>
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

// Both rows of the plan from one walk: row 0 goes down the file's buffered
// stream, row 1 into a block of its own written at its offset. Each row is its
// integer points, its computed points as tagged doubles, its empty metres.
void put_line_plan(output_file& out, const line_plan& plan) {
  constexpr size_t element = 10;
  auto block = std::make_unique<char[]>(output_file::block_size);
  size_t used = 0;
  int64_t at = plan_row_bytes(plan);
  auto row1_room = [&](size_t n) {
    if (used + n > output_file::block_size) {
      out.write_at(at, std::string_view(block.get(), used));
      at += static_cast<int64_t>(used);
      used = 0;
    }
    char* p = block.get() + used;
    used += n;
    return p;
  };

  const int32_t integers = plan.computed < 2 ? plan.computed : 2;
  for (int32_t m = 0; m < integers; ++m) {
    out.put_i16(plan_tag_integer);
    out.put_i16(0);
    char* p = row1_room(4);
    encode_le(p, static_cast<uint16_t>(plan_tag_integer));
    encode_le(p + 2, static_cast<uint16_t>(m));  // (0, 0) and (0, 1)
  }
  walk_line_plan(plan, [&](int32_t, double x, double y) {
    char* p = out.room(element);
    encode_le(p, static_cast<uint16_t>(plan_tag_double));
    encode_le(p + 2, std::bit_cast<uint64_t>(x));
    p = row1_room(element);
    encode_le(p, static_cast<uint16_t>(plan_tag_double));
    encode_le(p + 2, std::bit_cast<uint64_t>(y));
  });
  for (int32_t m = plan.computed; m <= plan.last_metre; ++m) {
    out.put_i16(plan_tag_empty);
    encode_le(row1_room(2), static_cast<uint16_t>(plan_tag_empty));
  }
  out.write_at(at, std::string_view(block.get(), used));
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
        out.reserve(2 * plan_row_bytes(st.plan));
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
