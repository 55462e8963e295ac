#include "compiler/compile_state.h"

#include <algorithm>
#include <cstring>

#include "compiler/compile.h"

#include "runtime/windows1252.h"

namespace compiler {

void record_fault(compile_state& cs, fault_code code) {
  compile_fault f;
  f.code = code;
  f.position = cs.fault_position;
  f.document = cs.document;
  f.line = cs.record_line;
  f.column = cs.record_column;
  f.keyword = cs.record_keyword;
  cs.fault = std::move(f);
}

void record_fault_at(compile_state& cs, fault_code code, int32_t position) {
  cs.fault_position = position;
  record_fault(cs, code);
  cs.fault->has_position = true;
}

step reject(compile_state& cs, fault_code code) {
  record_fault(cs, code);
  return step::stop;
}

step reject_at(compile_state& cs, fault_code code, int32_t position) {
  record_fault_at(cs, code, position);
  return step::stop;
}

step reject_value(compile_state& cs, fault_code code, size_t index) {
  record_fault(cs, code);
  mark_value(cs, index);
  return step::stop;
}

step reject_value_at(compile_state& cs, fault_code code, size_t index, int32_t position) {
  record_fault_at(cs, code, position);
  mark_value(cs, index);
  return step::stop;
}

void mark_value(compile_state& cs, size_t index) {
  const field_place& at = cs.values[index];
  if (!cs.fault || at.line == 0) return;
  cs.fault->line = at.line;
  cs.fault->column = at.column;
}

step runtime_fault(compile_state& cs, const std::string& detail) {
  record_fault(cs, fault_code::runtime_fault);
  cs.fault->detail = detail;
  return step::runtime_fault;
}

step reader_fault(compile_state& cs) {
  const step s = runtime_fault(cs, cs.reader->fault());
  if (cs.bad_value.line > 0) {
    cs.fault->line = cs.bad_value.line;
    cs.fault->column = cs.bad_value.column;
  }
  return s;
}

step after_laying(compile_state& cs, std::optional<fault_code> own, int32_t position) {
  if (!own && cs.fault) own = cs.fault->code;
  if (!own) return step::next;
  return reject_at(cs, *own, position);
}

bool inside_grid(const compile_state& cs, int32_t p, int32_t margin) {
  return (static_cast<double>(p) + margin) / 50.0 <= cs.sc.last_cell();
}

step range_check(compile_state& cs, int32_t p, int32_t margin) {
  if (inside_grid(cs, p, margin)) return step::next;
  record_fault_at(cs, fault_code::beyond_grid, p);
  mark_value(cs, 0);
  return step::end_document;
}

uint64_t records_named(compile_state& cs, record_place place, const std::string& field) {
  keyword_tests& k = cs.keywords;
  if (k.place == place && k.field == field) return k.matched;
  k.field = field;
  k.place = place;
  k.matched = 0;
  for (const record_description& r : all_records())
    if (r.place == place && keyword_matches(r.kind, field))
      k.matched |= uint64_t{1} << static_cast<unsigned>(r.kind);
  return k.matched;
}

bool read_keyword_field(compile_state& cs) {
  if (!cs.reader->read_text(&cs.field)) return false;
  cs.record_line = cs.reader->field_line();
  cs.record_column = cs.reader->field_column();
  // The keyword is kept for messages only: a field of megabytes is not
  // copied whole.
  cs.record_keyword.assign(cs.field, 0, longest_kept_keyword);
  cs.values.fill(field_place{});
  cs.bad_value = field_place{};
  return true;
}

void leave_record(compile_state& cs, source_document document, std::string_view keyword) {
  cs.document = document;
  cs.record_line = 0;
  cs.record_column = 0;
  cs.record_keyword = keyword;
  cs.values.fill(field_place{});
  cs.bad_value = field_place{};
}

step find_general_section(compile_state& cs) {
  for (;;) {
    if (!read_keyword_field(cs)) return reader_fault(cs);
    if (cs.reader->at_end()) return step::end_document;
    if (runtime::contains_any_case(cs.field, "[generale]")) return step::next;
  }
}

step next_record_field(compile_state& cs) {
  runtime::field_reader& reader = *cs.reader;
  if (reader.at_end()) return step::end_document;
  if (!read_keyword_field(cs)) return reader_fault(cs);
  if (reader.at_end()) return step::end_document;
  for (int i = 0; i < 2 && runtime::contains(cs.field, "-"); ++i) {
    if (!read_keyword_field(cs)) return reader_fault(cs);
    if (reader.at_end()) return step::end_document;
  }
  return step::next;
}

void note_origins_before(compile_state& cs) {
  cs.grid_before = cs.sc.grid;
  cs.table_before = cs.sc.table;
}

namespace {

// A record changes a few cells of a grid that may hold twenty thousand, so
// the cells are compared a stretch at a time: a stretch that is byte for
// byte as it was holds no change. One that differs, if only in the padding
// between fields, is compared field by field.
constexpr size_t cells_per_stretch = 64;

}  // namespace

void note_origins_after(compile_state& cs) {
  compile_origins& o = *cs.origins;
  const std::vector<model::track_cell>& grid = cs.grid_before;
  const std::vector<model::track_cell>& now = cs.sc.grid;
  const model::scenario_table& table = cs.table_before;
  const record_origin here{cs.document, cs.record_line, cs.record_column, cs.record_keyword};
  auto note_cell = [&](size_t i) {
    const model::track_cell& a = now[i];
    // The object's record, or for a cell with no object the record of its
    // mark.
    const model::track_cell before = i < grid.size() ? grid[i] : model::track_cell{};
    const bool object_changed = a.kind != before.kind || a.w2 != before.w2 || a.w4 != before.w4 ||
                                a.w6 != before.w6 || a.w8 != before.w8 || a.b10 != before.b10;
    const bool mark_changed = a.b11 != before.b11;
    // A mountain marker is an object of its own, though the cell counts as
    // free.
    if (object_changed || (mark_changed && a.kind == model::kind_empty)) o.cells[i] = here;
    if (mark_changed) o.marks[i] = here;
  };
  if (grid.size() != now.size()) {
    // A record that sized the grid anew leaves no cell of the old one.
    o.cells.assign(now.size(), record_origin{});
    o.marks.assign(now.size(), record_origin{});
    for (size_t i = 0; i < now.size(); ++i) note_cell(i);
  } else {
    for (size_t start = 0; start < now.size(); start += cells_per_stretch) {
      const size_t count = std::min(cells_per_stretch, now.size() - start);
      if (std::memcmp(&grid[start], &now[start], count * sizeof(model::track_cell)) == 0) continue;
      for (size_t i = start; i < start + count; ++i) note_cell(i);
    }
  }
  for (size_t e = 0; e < table.size(); ++e) {
    if (cs.sc.table[e] != table[e]) o.entries[e] = here;
  }
}

}  // namespace compiler
