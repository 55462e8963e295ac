#include "compiler/mountains_boards.h"

#include <climits>
#include <string>

#include "model/cell_words.h"
#include "model/rounding.h"

namespace compiler {

namespace {

constexpr int32_t most_mountains = 80;

}  // namespace

mountain_cells cells_of_mountain(int32_t start, int32_t end) {
  return {static_cast<int64_t>(model::round_half_even(start / 50.0)),
          static_cast<int64_t>(model::round_half_even(end / 50.0 - 1))};
}

void lay_mountain(model::track_grid& grid, int32_t start, int32_t end, int32_t type,
                  bool with_markers) {
  const int64_t last_cell = static_cast<int64_t>(grid.size()) - 1;
  const auto [first, last] = cells_of_mountain(start, end);
  int64_t from = first < 0 ? 0 : first;
  int64_t to = last > last_cell ? last_cell : last;
  for (int64_t k = from; k <= to; ++k) {
    model::track_cell& c = grid[static_cast<size_t>(k)];
    c.b12 = static_cast<uint8_t>(type);
    bool fourth = (k - first + 1) % 4 == 0;
    if (with_markers && fourth && c.kind == model::kind_empty) c.kind = model::kind_mountain_marker;
  }
}

// "montagna": a mountain stretch from metre A to metre B of a type; a type
// above 10 also lays markers.
step mountain_record(compile_state& cs) {
  int32_t start, end, type;
  if (!read_record_field<record_kind::mountain, 0>(cs, &start) ||
      !read_record_field<record_kind::mountain, 1>(cs, &end) ||
      !read_record_field<record_kind::mountain, 2>(cs, &type))
    return reader_fault(cs);
  if (range_check(cs, start) != step::next) return step::end_document;
  const bool with_markers = type > 10;
  if (with_markers) type -= 10;

  line_cursors& at = cs.line;
  if (at.mountain_count >= most_mountains)
    return after_laying(cs, fault_code::too_many_mountains, start);
  ++at.mountain_count;
  // A mountain that begins 150 m or less after the previous one ends (or
  // overlaps it) is of type 3. The gap is worked out in 32 bits.
  if (at.mountain_count > 1) {
    int64_t gap = static_cast<int64_t>(start) - at.previous_mountain_end;
    if (gap < INT32_MIN || gap > INT32_MAX)
      return runtime_fault(cs, "the gap between two mountains overflows 32 bits");
    if (gap <= 150) type = 3;
  }
  at.previous_mountain_end = end;
  lay_mountain(cs.sc.grid, start, end, type, with_markers);
  return after_laying(cs, std::nullopt, start);
}

std::optional<fault_code> lay_speed_board(model::track_grid& grid, const speed_board& board) {
  model::track_cell& cell = grid[static_cast<size_t>(model::point_cell(board.position))];
  if (!model::is_free_cell(cell)) return fault_code::speed_board_cell_taken;
  int16_t w[3], stripes;
  for (int i = 0; i < 3; ++i)
    if (!model::pack_board_speeds(board.s_speeds[i], board.d_speeds[i], &w[i]))
      return fault_code::speed_board_word_too_wide;
  if (!model::pack_board_stripes(board.s_stripes, board.d_stripes, &stripes))
    return fault_code::speed_board_word_too_wide;
  cell.kind = model::kind_speed_board;
  cell.w2 = w[0];
  cell.w4 = w[1];
  cell.w6 = w[2];
  cell.w8 = stripes;
  return std::nullopt;
}

// "indicatori_vmax": position, the three "s" speeds and stripes, the three
// "d" speeds and stripes.
step speed_board_record(compile_state& cs) {
  int32_t v[9];
  if (!read_record_fields<record_kind::speed_board>(cs, v)) return reader_fault(cs);
  const int32_t position = v[0];
  if (range_check(cs, position) != step::next) return step::end_document;
  if (position < 0) return reject_value_at(cs, fault_code::negative_position, 0, position);
  const speed_board board{position, {v[1], v[2], v[3]}, v[4], {v[5], v[6], v[7]}, v[8]};
  return after_laying(cs, lay_speed_board(cs.sc.grid, board), position);
}

// "cartello_indicatore": a text board at a position, its text taking the
// next board entry of the scenario table, counting down.
step text_board_record(compile_state& cs) {
  int32_t position;
  if (!read_record_field<record_kind::text_board, 0>(cs, &position) ||
      !read_record_field<record_kind::text_board, 1>(cs, &cs.field))
    return reader_fault(cs);
  if (range_check(cs, position) != step::next) return step::end_document;
  if (position < 0) return reject_value_at(cs, fault_code::negative_position, 0, position);
  model::track_cell& cell = cs.sc.grid[static_cast<size_t>(model::point_cell(position))];
  if (!model::is_free_cell(cell)) return reject_at(cs, fault_code::text_board_cell_taken, position);
  int32_t& entry = cs.line.board_entry;
  if (entry < 0) return reject_at(cs, fault_code::too_many_text_boards, position);
  if (cs.field.size() > model::longest_entry_text)
    return runtime_fault(cs, "the board's text is longer than 65535 characters");
  cell.kind = model::kind_text_board;
  cell.w2 = static_cast<int16_t>(entry);
  cs.sc.table[static_cast<size_t>(entry)].text = cs.field;
  --entry;
  return step::next;
}

}  // namespace compiler
