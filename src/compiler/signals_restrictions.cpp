#include "compiler/signals_restrictions.h"

namespace {

// The low 16 bits of a value, as a 16-bit slot keeps it.
int16_t low16(int64_t v) {
  return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF));
}

bool inside(const run_state& st, int64_t cell) {
  return cell >= 0 && cell <= st.grid_last_index;
}

track_cell& cell_at(run_state& st, int64_t cell) {
  return st.grid[static_cast<size_t>(cell)];
}

// After a signal or restriction: any fault now recorded, including one left
// by an earlier stage, ends the compile at this record.
flow after_record(compile_context& ctx, int32_t position) {
  if (ctx.st.error_code <= 0) return flow::next;
  return reject_document_at(ctx, ctx.st.error_code, position);
}

}  // namespace

void memo_segnale(run_state& st, int32_t posizione, int32_t& sx, int32_t& s1, int32_t& s2,
                  int32_t& s3, int32_t& rapp, int32_t& dx, int32_t& d1, int32_t& d2, int32_t& d3,
                  int32_t& tempo) {
  int32_t c = point_cell(posizione);
  track_cell& signal = cell_at(st, c);
  if (!is_free_cell(signal)) {
    st.error_code = 16;
    return;
  }
  signal.kind = kind_signal;
  signal.w8 = low16(static_cast<int64_t>(rapp) * 10 + static_cast<int64_t>(sx) * 3 + dx);
  signal.w2 = low16(static_cast<int64_t>(s1) * 10 + d1);
  signal.w4 = low16(static_cast<int64_t>(s2) * 10 + d2);
  signal.w6 = low16(static_cast<int64_t>(s3) * 10 + d3);
  if (tempo >= 1 && tempo <= 100) tempo = 101;
  signal.b10 = sx == 2 ? static_cast<uint8_t>(tempo) : 0;
  // Approach marks in the cells 2, 4, 6 and 8 before the signal; those that
  // would fall before the first cell are left out.
  int64_t arrangement = static_cast<int64_t>(sx) * 3 + dx;
  for (int k = 1; k <= 4; ++k) {
    int64_t mark_cell = static_cast<int64_t>(c) - 2 * k;
    if (mark_cell < 0) break;
    cell_at(st, mark_cell).b11 = static_cast<uint8_t>(arrangement * 10 + k);
  }
}

bool memo_rallentamento(run_state& st, int32_t x, int32_t& v, int32_t& l, int32_t& f_tt,
                        int32_t f_ta, int32_t& d_v) {
  const int32_t w = point_cell(x - 1200);
  const int32_t s = point_cell(x);
  const int64_t end_metre = static_cast<int64_t>(x) + l;
  if (end_metre < INT32_MIN || end_metre > INT32_MAX) return false;
  const bool warned = x > 1500;

  if (warned) {
    if (!is_free_cell(cell_at(st, w))) {
      st.error_code = 17;
      return true;
    }
  } else {
    f_ta = 0;  // no warning board, so no countdown either
  }
  if (!is_free_cell(cell_at(st, s))) {
    st.error_code = 18;
    return true;
  }
  if (!inside(st, point_cell(static_cast<int32_t>(end_metre)))) {
    st.error_code = 110;
    return true;
  }
  const int32_t e = point_cell(static_cast<int32_t>(end_metre));
  if (!is_free_cell(cell_at(st, e))) {
    st.error_code = 19;
    return true;
  }
  // This order decides coinciding cells: an end cell that is also the start
  // cell ends as a start cell.
  track_cell& end = cell_at(st, e);
  end.kind = kind_restriction_end;
  if (d_v != 0) end.w4 = low16(d_v);
  track_cell& start = cell_at(st, s);
  start.kind = kind_restriction_start;
  if (d_v != 0) start.w4 = low16(d_v);
  if (warned) {
    track_cell& warning = cell_at(st, w);
    warning.kind = kind_restriction_warning;
    if (d_v != 0) warning.w4 = low16(d_v);
    warning.w2 = low16(v);
  }
  start.w2 = low16(v);
  end.w2 = low16(v);
  start.w6 = low16(f_tt);
  end.w6 = low16(f_tt);

  if (f_ta == 0) return true;
  const int32_t a = stretch_cell(x - 1200);
  for (int k = 0; k < 4; ++k) {
    if (!is_free_cell(cell_at(st, a - k))) {
      st.error_code = 20;
      return true;
    }
  }
  for (int k = 0; k < 4; ++k) {
    track_cell& countdown = cell_at(st, a - k);
    countdown.kind = kind_countdown;
    countdown.w2 = static_cast<int16_t>(k + 1);
    if (d_v != 0) countdown.w4 = static_cast<int16_t>(k + 1);
  }
  return true;
}

flow segnale_record(compile_context& ctx) {
  int32_t v[11];
  for (int32_t& value : v)
    if (!ctx.reader->read_i32(&value)) return reader_trap(ctx);
  const int32_t posizione = v[0];
  if (range_check(ctx, posizione) != flow::next) return flow::end_reading;
  if (posizione < 0) return reject_document_at(ctx, 109, posizione);
  memo_segnale(ctx.st, posizione, v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10]);
  return after_record(ctx, posizione);
}

flow rallentamento_record(compile_context& ctx) {
  int32_t x, v, l, f_tt, f_ta, d_v;
  field_reader& r = *ctx.reader;
  if (!r.read_i32(&x) || !r.read_i32(&v) || !r.read_i32(&l) || !r.read_i32(&f_tt) ||
      !r.read_i32(&f_ta) || !r.read_i32(&d_v))
    return reader_trap(ctx);
  if (range_check(ctx, x) != flow::next) return flow::end_reading;
  if (x < 0) return reject_document_at(ctx, 109, x);
  if (!memo_rallentamento(ctx.st, x, v, l, f_tt, f_ta, d_v))
    return raise_trap(ctx, "the restriction's end overflows 32 bits");
  return after_record(ctx, x);
}

flow abbattimento_record(compile_context& ctx) {
  run_state& st = ctx.st;
  int32_t p, w;
  if (!ctx.reader->read_i32(&p) || !ctx.reader->read_i32(&w)) return reader_trap(ctx);
  if (range_check(ctx, p) != flow::next) return flow::end_reading;
  if (p < 0) return reject_document_at(ctx, 109, p);
  track_cell& cell = cell_at(st, stretch_cell(p));
  if (!is_free_cell(cell)) return reject_document_at(ctx, 7, p);
  if (w > 0) {
    cell.kind = kind_approach_marker;
    cell.w2 = low16(w);
  } else {
    cell.kind = kind_plain_marker;
  }
  return flow::next;
}
