#include "compiler/mountains_boards.h"

#include <climits>
#include <string>

#include "model/rounding.h"

namespace {

constexpr int32_t most_mountains = 80;

}  // namespace

bool memo_montagna(run_state& st, int32_t& inizio, int32_t& fine, int32_t& tipo) {
  bool markers = false;
  if (tipo > 10) {
    tipo -= 10;
    markers = true;
  }
  if (st.mountain_count >= most_mountains) {
    st.error_code = 106;
    return true;
  }
  ++st.mountain_count;
  st.mountain_starts[static_cast<size_t>(st.mountain_count)] = inizio;
  st.mountain_ends[static_cast<size_t>(st.mountain_count)] = fine;
  // A mountain that begins 150 m or less after the previous one ends (or
  // overlaps it) is of type 3. The gap is worked out in 32 bits.
  if (st.mountain_count > 1) {
    int64_t gap =
        static_cast<int64_t>(inizio) - st.mountain_ends[static_cast<size_t>(st.mountain_count - 1)];
    if (gap < INT32_MIN || gap > INT32_MAX) return false;
    if (gap <= 150) tipo = 3;
  }

  int64_t first = static_cast<int64_t>(round_half_even(inizio / 50.0));
  int64_t last = static_cast<int64_t>(round_half_even(fine / 50.0 - 1));
  int64_t from = first < 0 ? 0 : first;
  int64_t to = last > st.grid_last_index ? st.grid_last_index : last;
  for (int64_t k = from; k <= to; ++k) {
    track_cell& c = st.grid[static_cast<size_t>(k)];
    c.b12 = static_cast<uint8_t>(tipo);
    bool fourth = (k - first + 1) % 4 == 0;
    if (markers && fourth && c.kind == kind_empty) c.kind = kind_mountain_marker;
  }
  return true;
}

flow montagna_record(compile_context& ctx) {
  int32_t inizio, fine, tipo;
  field_reader& r = *ctx.reader;
  if (!r.read_i32(&inizio) || !r.read_i32(&fine) || !r.read_i32(&tipo)) return reader_trap(ctx);
  if (range_check(ctx, inizio) != flow::next) return flow::end_reading;
  if (!memo_montagna(ctx.st, inizio, fine, tipo))
    return raise_trap(ctx, "the gap between two mountains overflows 32 bits");
  if (ctx.st.error_code > 0) return reject_document_at(ctx, ctx.st.error_code, inizio);
  return flow::next;
}

void memo_indicatori_v_max(run_state& st, int32_t posizione, const int32_t& vas, const int32_t& vbs,
                           const int32_t& vcs, const int32_t& strisces, const int32_t& vad,
                           const int32_t& vbd, const int32_t& vcd, const int32_t& strisced) {
  track_cell& cell = st.grid[static_cast<size_t>(point_cell(posizione))];
  if (!is_free_cell(cell)) {
    st.error_code = 21;
    return;
  }
  // Two speeds in 5 km/h steps packed in decimal: hundreds for side "s",
  // units for side "d"; the stripe counts likewise in tens and units.
  int16_t w2, w4, w6;
  int64_t stripes = static_cast<int64_t>(strisces) * 10 + strisced;
  if (!round_to_i16(20.0 * vas + vad / 5.0, &w2) || !round_to_i16(20.0 * vbs + vbd / 5.0, &w4) ||
      !round_to_i16(20.0 * vcs + vcd / 5.0, &w6) || stripes < INT16_MIN || stripes > INT16_MAX) {
    st.error_code = 108;
    return;
  }
  cell.kind = kind_speed_board;
  cell.w2 = w2;
  cell.w4 = w4;
  cell.w6 = w6;
  cell.w8 = static_cast<int16_t>(stripes);
}

flow indicatori_record(compile_context& ctx) {
  int32_t v[9];
  for (int32_t& value : v)
    if (!ctx.reader->read_i32(&value)) return reader_trap(ctx);
  if (range_check(ctx, v[0]) != flow::next) return flow::end_reading;
  if (v[0] < 0) return reject_document_at(ctx, 109, v[0]);
  memo_indicatori_v_max(ctx.st, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8]);
  if (ctx.st.error_code > 0) return reject_document_at(ctx, ctx.st.error_code, v[0]);
  return flow::next;
}

flow cartello_record(compile_context& ctx) {
  run_state& st = ctx.st;
  int32_t posizione;
  if (!ctx.reader->read_i32(&posizione) || !ctx.reader->read_text(&st.current_field))
    return reader_trap(ctx);
  if (range_check(ctx, posizione) != flow::next) return flow::end_reading;
  if (posizione < 0) return reject_document_at(ctx, 109, posizione);
  track_cell& cell = st.grid[static_cast<size_t>(point_cell(posizione))];
  if (!is_free_cell(cell)) return reject_document_at(ctx, 6, posizione);
  if (st.board_entry < 0) return reject_document_at(ctx, 107, posizione);
  if (st.current_field.size() > longest_entry_text)
    return raise_trap(ctx, "the board's text is longer than 65535 characters");
  cell.kind = kind_text_board;
  cell.w2 = static_cast<int16_t>(st.board_entry);
  st.table[static_cast<size_t>(st.board_entry)].text = st.current_field;
  --st.board_entry;
  return flow::next;
}
