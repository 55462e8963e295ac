#include "compiler/train_reader.h"

#include <string>

#include "compiler/signals_restrictions.h"
#include "compiler/stations.h"
#include "model/rounding.h"
#include "runtime/windows1252.h"

namespace {

// Writes the carried speed, in steps of 5 km/h, into the cell under the
// speed cursor and moves it on; false when the value leaves 0..255 or the
// cell lies outside the grid.
bool write_speed(run_state& st) {
  uint8_t steps;
  if (!round_to_u8(st.carried_speed / 5.0, &steps)) return false;
  if (st.speed_cursor < 0 || st.speed_cursor > st.grid_last_index) return false;
  st.grid[static_cast<size_t>(st.speed_cursor)].b13 = steps;
  ++st.speed_cursor;
  return true;
}

bool write_adhesion(run_state& st) {
  if (st.adhesion_cursor < 0 || st.adhesion_cursor > st.grid_last_index) return false;
  st.grid[static_cast<size_t>(st.adhesion_cursor)].b15 = static_cast<uint8_t>(st.carried_adhesion);
  ++st.adhesion_cursor;
  return true;
}

// "velocita": from position P on, the line speed limit is S.
flow speed_record(compile_context& ctx) {
  run_state& st = ctx.st;
  int32_t p, s;
  if (!ctx.reader->read_i32(&p) || !ctx.reader->read_i32(&s)) return reader_trap(ctx);
  if (range_check(ctx, p) != flow::next) return flow::end_reading;
  int32_t n = stretch_cell(p);
  if (n > 0) {
    do {
      if (st.speed_cursor >= st.grid_last_index) break;
      if (!write_speed(st)) return raise_trap(ctx, "a speed limit that does not fit its byte");
    } while (st.speed_cursor < n);
  }
  st.carried_speed = s;
  return flow::next;
}

// "aderenza": from position P on, the adhesion value is A.
flow adhesion_record(compile_context& ctx) {
  run_state& st = ctx.st;
  int32_t p, a;
  if (!ctx.reader->read_i32(&p) || !ctx.reader->read_i32(&a)) return reader_trap(ctx);
  if (range_check(ctx, p) != flow::next) return flow::end_reading;
  int32_t n = stretch_cell(p);
  if (n > 0) {
    do {
      if (!write_adhesion(st)) return raise_trap(ctx, "adhesion cells beyond the grid");
    } while (st.adhesion_cursor < n);
  }
  st.carried_adhesion = a;
  return flow::next;
}

// The ten keyword tests, in order; every test that matches runs.
flow train_record(compile_context& ctx) {
  run_state& st = ctx.st;
  const std::string field = st.current_field;
  auto has = [&](const char* word) { return contains_any_case(field, word); };
  field_reader& r = *ctx.reader;
  flow f = flow::next;

  if (has("frenata") && has("massa") && !r.read_i32(&st.table[entry_route].l4))
    return reader_trap(ctx);
  if (has("vetture") && !r.read_i32(&st.table[entry_route].l12)) return reader_trap(ctx);
  if (has("velocit") && (f = speed_record(ctx)) != flow::next) return f;
  if (has("aderenza") && (f = adhesion_record(ctx)) != flow::next) return f;
  scenario_entry& train = st.table[entry_train];
  if (has("orologio") &&
      (!r.read_i16(&train.w28) || !r.read_i16(&train.w30) || !r.read_i16(&train.w32)))
    return reader_trap(ctx);
  if (has("sabbia") && !r.read_i16(&train.w24)) return reader_trap(ctx);
  if (has("segnale") && (f = segnale_record(ctx)) != flow::next) return f;
  if (has("rallentamento") && (f = rallentamento_record(ctx)) != flow::next) return f;
  if (has("abbattimento") && (f = abbattimento_record(ctx)) != flow::next) return f;
  if (has("stazione")) return stazione_record(ctx);
  return flow::next;
}

// The end of reading: the document goes, the speed and adhesion of the last
// records run on to cell N - 3, and the kilometric ranges are checked.
flow end_of_reading(compile_context& ctx) {
  run_state& st = ctx.st;
  ctx.reader = nullptr;
  if (!delete_document(ctx, ctx.train_path)) return flow::leave;
  do {
    if (!write_speed(st)) return raise_trap(ctx, "a speed limit that does not fit its byte");
  } while (st.speed_cursor < st.grid_last_index - 2);
  do {
    if (!write_adhesion(st)) return raise_trap(ctx, "adhesion cells beyond the grid");
  } while (st.adhesion_cursor < st.grid_last_index - 2);
  for (int e = entry_range_last; e <= entry_range_first; ++e) {
    const scenario_entry& range = st.table[static_cast<size_t>(e)];
    if (range.l4 % 50 != 0 || range.l8 % 50 != 0) {
      ctx.document = in_train_document;
      ctx.record_line = 0;
      ctx.record_keyword.clear();
      set_error(ctx, 2);
    }
  }
  return flow::leave;
}

}  // namespace

flow read_train_document(compile_context& ctx) {
  run_state& st = ctx.st;
  ctx.document = in_train_document;
  ctx.record_line = 0;
  ctx.record_keyword.clear();
  if (ctx.d.stat(ctx.train_path) != disk::entry::file)
    return raise_trap(ctx, "the train document does not exist");
  std::string bytes;
  std::string err;
  if (!ctx.d.read_file(ctx.train_path, &bytes, &err)) {
    ctx.io_failed = true;
    ctx.failure = {ctx.train_path, err, "read"};
    return flow::leave;
  }
  field_reader reader(bytes);
  ctx.reader = &reader;

  // Everything before the general header is passed over.
  for (;;) {
    if (!read_keyword_field(ctx)) return reader_trap(ctx);
    if (reader.at_end()) return end_of_reading(ctx);
    if (contains_any_case(st.current_field, "[generale]")) break;
  }
  st.speed_cursor = 0;
  st.adhesion_cursor = 0;
  st.carried_speed = 0;
  st.carried_adhesion = 0;
  st.station_entry_index = 1;

  for (;;) {
    flow f = next_record_field(ctx);
    if (f == flow::next) f = train_record(ctx);
    if (f == flow::end_reading) break;
    if (f != flow::next) return f;
  }
  return end_of_reading(ctx);
}
