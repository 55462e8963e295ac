#include "compiler/line_reader.h"

#include <climits>
#include <string>
#include <utility>

#include "compiler/gradients_curves.h"
#include "compiler/mountains_boards.h"
#include "model/file_names.h"
#include "runtime/windows1252.h"

namespace {

constexpr int32_t longest_route = 1000000;

// Sizes the grid and the plan for a route of L metres, every cell and point
// empty.
void create_grid_and_plan(run_state& st, int32_t route_length) {
  st.route_length = route_length;
  st.plan_last_metre = route_length + 7000;
  st.grid_last_index = last_cell_index(route_length);
  st.grid.assign(static_cast<size_t>(st.grid_last_index) + 1, track_cell{});
  if (st.j != 0) create_line_plan(st.plan, st.plan_last_metre);
}

// The "ripetizione segnali" record: the stretch with signal repetition and
// its code count, taken from the digit in the keyword field.
flow signal_repetition(compile_context& ctx, const std::string& keyword) {
  scenario_entry& train = ctx.st.table[entry_train];
  if (!ctx.reader->read_i32(&train.l4) || !ctx.reader->read_i32(&train.l8)) return reader_trap(ctx);
  if (train.l4 % 50 != 0) return reject_document(ctx, 3);
  if (train.l8 % 50 != 0) return reject_document(ctx, 4);
  if (contains(keyword, "4"))
    train.l12 = 4;
  else if (contains(keyword, "9"))
    train.l12 = 9;
  else
    return reject_document(ctx, 5);
  if (train.l8 == 0) train.l12 = 0;
  return flow::next;
}

flow read_range(compile_context& ctx, int entry) {
  scenario_entry& e = ctx.st.table[static_cast<size_t>(entry)];
  if (!ctx.reader->read_i32(&e.l4) || !ctx.reader->read_i32(&e.l8) || !ctx.reader->read_i32(&e.l12))
    return reader_trap(ctx);
  return flow::next;
}

flow read_background(compile_context& ctx, int32_t* slot) {
  if (!ctx.reader->read_i32(slot)) return reader_trap(ctx);
  return flow::next;
}

// The eight tests of the general header, each applied to the same field.
flow header_record(compile_context& ctx) {
  run_state& st = ctx.st;
  const std::string field = st.current_field;
  auto has = [&](const char* word) { return contains(field, word); };
  flow f = flow::next;

  if (contains_any_case(field, "lunghezza") && contains_any_case(field, "percorso")) {
    int32_t length;
    if (!ctx.reader->read_i32(&length)) return reader_trap(ctx);
    st.table[entry_route].l8 = length;
    if (length > longest_route) return reject_document(ctx, 1);
    if (length < 0) return reject_document(ctx, 105);
    create_grid_and_plan(st, length);
  }
  if (has("progressiva") && has("tre") && (f = read_range(ctx, entry_range_last)) != flow::next)
    return f;
  if (has("progressiva") && has("due") && (f = read_range(ctx, entry_range_middle)) != flow::next)
    return f;
  if (has("progressiva") && has("uno") && (f = read_range(ctx, entry_range_first)) != flow::next)
    return f;
  scenario_entry& line = st.table[entry_line];
  if (has("sfondo") && has("uno") && (f = read_background(ctx, &line.l4)) != flow::next) return f;
  if (has("sfondo") && has("due") && (f = read_background(ctx, &line.l12)) != flow::next) return f;
  if (has("sfondo") && has("tre") && (f = read_background(ctx, &line.l8)) != flow::next) return f;
  if (has("ripetizione") && has("segnali")) return signal_repetition(ctx, field);
  return flow::next;
}

bool ends_header(const std::string& field) {
  if (!contains(field, "[") || !contains(field, "]")) return false;
  size_t first = field.find_first_not_of(" \t");
  return first == std::string::npos || field[first] != '-';
}

// Offers the field in keyword position to the record handlers, in order.
flow line_record(compile_context& ctx) {
  const std::string& field = ctx.st.current_field;
  flow f = flow::next;
  if (contains_any_case(field, "pendenza") && (f = pendenza_record(ctx)) != flow::next) return f;
  if (ctx.st.j != 0 && contains_any_case(field, "curva") && (f = curva_record(ctx)) != flow::next)
    return f;
  if (contains_any_case(field, "montagna") && (f = montagna_record(ctx)) != flow::next) return f;
  if (contains_any_case(field, "indicatori_v") && (f = indicatori_record(ctx)) != flow::next)
    return f;
  if (contains_any_case(field, "indicat") && contains_any_case(field, "cartello"))
    return cartello_record(ctx);
  return flow::next;
}

}  // namespace

bool progressive_ordina(run_state& st) {
  struct range {
    int32_t start, reference, flag;
  };
  auto take = [&](int entry) {
    const scenario_entry& e = st.table[static_cast<size_t>(entry)];
    return range{e.l4, e.l8, e.l12};
  };
  const range t = take(entry_range_last), d = take(entry_range_middle), u = take(entry_range_first);
  range order[3] = {};
  bool cleared = false;

  int64_t starts = static_cast<int64_t>(t.start) + d.start + u.start;
  if (starts < INT32_MIN || starts > INT32_MAX) return false;  // the sum overflows
  if (starts != 0) {
    // The range with the strictly greatest start goes first; of the other
    // two, the greater start next, "uno" before "due" before "tre" on a tie.
    const range* by_name[3] = {&u, &d, &t};
    int greatest = -1;
    for (int i = 0; i < 3; ++i) {
      bool above_others = true;
      for (int k = 0; k < 3; ++k)
        if (k != i && by_name[k]->start >= by_name[i]->start) above_others = false;
      if (above_others) greatest = i;
    }
    if (greatest < 0) {
      cleared = true;
    } else {
      const range* a = nullptr;
      const range* b = nullptr;
      for (int i = 0; i < 3; ++i) {
        if (i == greatest) continue;
        (a == nullptr ? a : b) = by_name[i];
      }
      if (b->start > a->start) std::swap(a, b);
      order[0] = *by_name[greatest];
      order[1] = *a;
      order[2] = *b;
    }
  } else if (u.reference > 0) {
    order[0] = u, order[1] = d, order[2] = t;
  } else if (d.reference > 0) {
    order[0] = d, order[1] = t, order[2] = u;
  } else if (t.reference > 0) {
    order[0] = t, order[1] = d, order[2] = u;
  } else {
    cleared = true;
  }
  if (cleared) order[0] = order[1] = order[2] = range{0, 0, 0};

  for (int i = 0; i < 3; ++i) {
    scenario_entry& e = st.table[static_cast<size_t>(entry_range_last + i)];
    e.l4 = order[i].start;
    e.l8 = order[i].reference;
    e.l12 = order[i].flag;
  }
  // A range in use has its kilometric reference moved on by 100 m.
  for (int i = 0; i < 3; ++i) {
    scenario_entry& e = st.table[static_cast<size_t>(entry_range_last + i)];
    if (e.l12 != 1) continue;
    if (e.l8 > INT32_MAX - 100) return false;
    e.l8 += 100;
  }
  return true;
}

flow read_line_document(compile_context& ctx) {
  run_state& st = ctx.st;
  st.table[entry_line].text = to_windows1252(st.line_name);
  st.table[entry_train].text = to_windows1252(st.train_number);

  // A. Find the document and the start of its general header.
  if (ctx.d.stat(ctx.line_path) != disk::entry::file) {
    set_error(ctx, 101);
    return flow::leave;
  }
  std::string bytes;
  std::string err;
  if (!ctx.d.read_file(ctx.line_path, &bytes, &err)) {
    ctx.io_failed = true;
    ctx.failure = {ctx.line_path, err, "read"};
    return flow::leave;
  }
  field_reader reader(bytes);
  ctx.reader = &reader;
  ctx.document = in_line_document;
  for (;;) {
    if (!read_keyword_field(ctx)) return reader_trap(ctx);
    if (reader.at_end()) return reject_document(ctx, 102);
    if (contains_any_case(st.current_field, "[generale]")) break;
  }

  // B. The general header, up to the first section header after it.
  for (;;) {
    if (reader.at_end()) break;
    if (!read_keyword_field(ctx)) return reader_trap(ctx);
    if (reader.at_end()) break;
    for (int i = 0; i < 10; ++i)
      if (contains(st.current_field, "-") && !read_keyword_field(ctx)) return reader_trap(ctx);
    flow f = header_record(ctx);
    if (f != flow::next) return f;
    if (ends_header(st.current_field)) break;
  }

  // C. Between the header and the records.
  if (!st.grid_exists()) return reject_document(ctx, 104);
  if (!progressive_ordina(st)) return raise_trap(ctx, "a kilometric range overflows");
  st.mountain_count = 0;
  st.board_entry = first_board_entry;
  st.gradient_cursor = 0;
  st.previous_gradient = 0;
  st.plan_cursor = 2;
  if (st.j != 0) start_line_plan(st.plan);

  // D. The records, wherever they stand after the header.
  for (;;) {
    flow f = next_record_field(ctx);
    if (f == flow::next) f = line_record(ctx);
    if (f == flow::end_reading) break;
    if (f != flow::next) return f;
  }

  // E. The end of the document.
  ctx.reader = nullptr;
  if (!delete_document(ctx, ctx.line_path)) return flow::leave;
  if (!complete_gradients(st)) return raise_trap(ctx, "gradient cells beyond the grid");
  if (st.j != 0) complete_plan(st);
  return flow::next;
}
