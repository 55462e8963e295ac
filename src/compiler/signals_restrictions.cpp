#include "compiler/signals_restrictions.h"

#include "model/cell_words.h"

namespace compiler {

namespace {

bool inside(const model::track_grid& grid, int64_t cell) {
  return cell >= 0 && cell < static_cast<int64_t>(grid.size());
}

model::track_cell& cell_at(model::track_grid& grid, int64_t cell) {
  return grid[static_cast<size_t>(cell)];
}

}  // namespace

std::optional<fault_code> lay_signal(model::track_grid& grid, const track_signal& sig) {
  const int32_t c = model::point_cell(sig.position);
  model::track_cell& cell = cell_at(grid, c);
  if (!model::is_free_cell(cell)) return fault_code::signal_cell_taken;
  cell.kind = model::kind_signal;
  cell.w8 = model::pack_signal_arrangement(sig.rapp, sig.sx, sig.dx);
  cell.w2 = model::pack_signal_aspect(sig.s[0], sig.d[0]);
  cell.w4 = model::pack_signal_aspect(sig.s[1], sig.d[1]);
  cell.w6 = model::pack_signal_aspect(sig.s[2], sig.d[2]);
  cell.b10 = sig.sx == 2 ? static_cast<uint8_t>(model::signal_time(sig.time)) : 0;
  // Approach marks in the cells 2, 4, 6 and 8 before the signal; those that
  // would fall before the first cell are left out.
  for (int k = 1; k <= 4; ++k) {
    int64_t mark_cell = static_cast<int64_t>(c) - 2 * k;
    if (mark_cell < 0) break;
    cell_at(grid, mark_cell).b11 = model::signal_approach_mark(sig.sx, sig.dx, k);
  }
  return std::nullopt;
}

std::optional<fault_code> lay_restriction(model::track_grid& grid, const restriction& r,
                                          int32_t* taken) {
  auto taken_at = [taken](int32_t cell, fault_code code) {
    if (taken) *taken = cell;
    return code;
  };
  const int32_t w = model::point_cell(r.x - 1200);
  const int32_t s = model::point_cell(r.x);
  const int32_t end_metre = r.x + r.length;
  // No warning board for a restriction in the first 1500 m, so no countdown
  // either.
  const bool warned = r.x > 1500;
  const bool countdown = warned && r.countdown != 0;

  if (warned && !model::is_free_cell(cell_at(grid, w)))
    return taken_at(w, fault_code::warning_cell_taken);
  if (!model::is_free_cell(cell_at(grid, s))) return taken_at(s, fault_code::start_cell_taken);
  const int32_t e = model::point_cell(end_metre);
  if (!inside(grid, e)) return fault_code::restriction_end_beyond_grid;
  if (!model::is_free_cell(cell_at(grid, e))) return taken_at(e, fault_code::end_cell_taken);

  // This order decides coinciding cells: an end cell that is also the start
  // cell ends as a start cell.
  model::track_cell& end = cell_at(grid, e);
  end.kind = model::kind_restriction_end;
  if (r.d_v != 0) end.w4 = model::low16(r.d_v);
  model::track_cell& start = cell_at(grid, s);
  start.kind = model::kind_restriction_start;
  if (r.d_v != 0) start.w4 = model::low16(r.d_v);
  if (warned) {
    model::track_cell& warning = cell_at(grid, w);
    warning.kind = model::kind_restriction_warning;
    if (r.d_v != 0) warning.w4 = model::low16(r.d_v);
    warning.w2 = model::low16(r.speed);
  }
  start.w2 = model::low16(r.speed);
  end.w2 = model::low16(r.speed);
  start.w6 = model::low16(r.f_tt);
  end.w6 = model::low16(r.f_tt);

  if (!countdown) return std::nullopt;
  const int32_t a = model::stretch_cell(r.x - 1200);
  for (int k = 0; k < 4; ++k)
    if (!model::is_free_cell(cell_at(grid, a - k)))
      return taken_at(a - k, fault_code::countdown_cell_taken);
  for (int k = 0; k < 4; ++k) {
    model::track_cell& board = cell_at(grid, a - k);
    board.kind = model::kind_countdown;
    board.w2 = static_cast<int16_t>(k + 1);
    if (r.d_v != 0) board.w4 = static_cast<int16_t>(k + 1);
  }
  return std::nullopt;
}

// "segnale": position, sx, the three "s" aspects, rapp, dx, the three "d"
// aspects, time.
step signal_record(compile_state& cs) {
  int32_t v[11];
  if (!read_record_fields<record_kind::signal>(cs, v)) return reader_fault(cs);
  const int32_t position = v[0];
  if (range_check(cs, position) != step::next) return step::end_document;
  if (position < 0) return reject_value_at(cs, fault_code::negative_position, 0, position);
  const track_signal sig{position, v[1], {v[2], v[3], v[4]}, v[5], v[6], {v[7], v[8], v[9]}, v[10]};
  return after_laying(cs, lay_signal(cs.sc.grid, sig), position);
}

// "rallentamento": x, speed, length, f_tt, countdown, d_v.
step restriction_record(compile_state& cs) {
  restriction r;
  constexpr record_kind kind = record_kind::restriction;
  if (!read_record_field<kind, 0>(cs, &r.x) || !read_record_field<kind, 1>(cs, &r.speed) ||
      !read_record_field<kind, 2>(cs, &r.length) || !read_record_field<kind, 3>(cs, &r.f_tt) ||
      !read_record_field<kind, 4>(cs, &r.countdown) || !read_record_field<kind, 5>(cs, &r.d_v))
    return reader_fault(cs);
  if (range_check(cs, r.x) != step::next) return step::end_document;
  if (r.x < 0) return reject_value_at(cs, fault_code::negative_position, 0, r.x);
  const int64_t end_metre = static_cast<int64_t>(r.x) + r.length;
  if (end_metre < INT32_MIN || end_metre > INT32_MAX)
    return runtime_fault(cs, "the restriction's end overflows 32 bits");
  int32_t taken = 0;
  const std::optional<fault_code> fault = lay_restriction(cs.sc.grid, r, &taken);
  const step s = after_laying(cs, fault, r.x);
  if (fault && *fault != fault_code::restriction_end_beyond_grid && cs.fault)
    cs.fault->taken_cell = taken;
  return s;
}

// "abbattimento": a marker at the stretch cell of P, with value W when W is
// above 0.
step abbattimento_record(compile_state& cs) {
  int32_t p, w;
  if (!read_record_field<record_kind::abbattimento, 0>(cs, &p) ||
      !read_record_field<record_kind::abbattimento, 1>(cs, &w))
    return reader_fault(cs);
  if (range_check(cs, p) != step::next) return step::end_document;
  if (p < 0) return reject_value_at(cs, fault_code::negative_position, 0, p);
  model::track_cell& cell = cell_at(cs.sc.grid, model::stretch_cell(p));
  if (!model::is_free_cell(cell)) return reject_at(cs, fault_code::abbattimento_cell_taken, p);
  if (w > 0) {
    cell.kind = model::kind_approach_marker;
    cell.w2 = model::low16(w);
  } else {
    cell.kind = model::kind_plain_marker;
  }
  return step::next;
}

}  // namespace compiler
