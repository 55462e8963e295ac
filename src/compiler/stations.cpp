#include "compiler/stations.h"

#include <cstdint>

#include "model/cell_words.h"

namespace compiler {

namespace {

bool fits_i32(int64_t v) {
  return v >= INT32_MIN && v <= INT32_MAX;
}

// The zone of a station at metre p, `length` metres long, by its type, each
// value stored as it is worked out (in 32 bits: false when one overflows).
bool set_zone(model::scenario_entry& e, int32_t p, int32_t length) {
  auto store = [](int32_t* slot, int64_t v) {
    if (!fits_i32(v)) return false;
    *slot = static_cast<int32_t>(v);
    return true;
  };
  if (e.b0 == 5 || e.b0 == 6) {
    if (!store(&e.l8, static_cast<int64_t>(p) + 150) ||
        !store(&e.l4, static_cast<int64_t>(p) - length))
      return false;
    e.b36 = 0;
  } else if (e.b0 == 7 || e.b0 == 8) {
    if (!store(&e.l4, static_cast<int64_t>(p) - length) ||
        !store(&e.l8, static_cast<int64_t>(p) + length))
      return false;
    e.b36 = 0;
  } else {
    if (!store(&e.l4, static_cast<int64_t>(p) - length / 2)) return false;
    int64_t end = static_cast<int64_t>(p) + length / 2;
    if (!fits_i32(end)) return false;
    if (!store(&e.l8, end + (e.b36 != 0 ? 50 : 0))) return false;
  }
  return true;
}

}  // namespace

// "stazione": position, type, length, further values, the time of day and
// the name.
step station_record(compile_state& cs) {
  constexpr record_kind kind = record_kind::station;
  const int32_t k = cs.train.station_entry;
  model::scenario_entry& e = cs.sc.table[static_cast<size_t>(k)];

  if (!read_record_field<kind, 0>(cs, &e.l12)) return reader_fault(cs);
  const int32_t p = e.l12;
  if (!inside_grid(cs, p, 800)) {
    record_fault_at(cs, fault_code::beyond_grid, p);
    mark_value(cs, 0);
    return step::end_document;
  }
  if (p % 50 != 0) return reject_value_at(cs, fault_code::station_not_on_50, 0, p);
  int32_t length;
  if (!read_record_field<kind, 1>(cs, &e.b0) || !read_record_field<kind, 2>(cs, &length))
    return reader_fault(cs);
  if (length % 100 != 0) return reject_value_at(cs, fault_code::station_length_not_on_100, 2, p);
  int32_t hour, minute, second;
  if (!read_record_field<kind, 3>(cs, &e.b16) || !read_record_field<kind, 4>(cs, &e.b37) ||
      !read_record_field<kind, 5>(cs, &e.b36) || !read_record_field<kind, 6>(cs, &e.w24) ||
      !read_record_field<kind, 7>(cs, &e.w26) || !read_record_field<kind, 8>(cs, &e.b34) ||
      !read_record_field<kind, 9>(cs, &e.w28) || !read_record_field<kind, 10>(cs, &e.w30) ||
      !read_record_field<kind, 11>(cs, &e.w32) || !read_record_field<kind, 12>(cs, &e.b35) ||
      !read_record_field<kind, 13>(cs, &hour) || !read_record_field<kind, 14>(cs, &minute) ||
      !read_record_field<kind, 15>(cs, &second))
    return reader_fault(cs);
  // (hour * 60 + minute) * 60 + second, every step in 32 bits.
  int64_t seconds = static_cast<int64_t>(hour) * 60;
  bool fits = fits_i32(seconds) && fits_i32(seconds += minute) && fits_i32(seconds *= 60) &&
              fits_i32(seconds += second);
  if (!fits) return runtime_fault(cs, "the station's time does not fit 32 bits");
  e.l40 = static_cast<int32_t>(seconds);
  if (!read_record_field<kind, 16>(cs, &e.text)) return reader_fault(cs);
  static_assert(record_of(kind).fields.size() == 17, "a station field the handler does not read");
  if (e.text.size() > model::longest_entry_text)
    return runtime_fault(cs, "the station's name is longer than 65535 characters");

  if (!set_zone(e, p, length)) return runtime_fault(cs, "the station's zone does not fit 32 bits");
  if (length < 600) e.b37 = 0;
  if (k == model::first_station_entry) e.b36 = e.b37 = 0;

  // The cell before the zone's end is the station cell; the four before it
  // carry the approach marks 81 to 84.
  const int32_t zone_end_cell = e.l8 / 50;
  if (e.b0 < 25 && e.b0 != 5 && e.b0 != 6) {
    for (int m = 1; m <= 4; ++m) {
      int64_t cell = static_cast<int64_t>(zone_end_cell) - m - 1;
      if (cell <= 1) continue;
      if (cell > cs.sc.last_cell()) return runtime_fault(cs, "the station's zone passes the grid");
      cs.sc.grid[static_cast<size_t>(cell)].b11 = model::station_approach_mark(m);
    }
  }
  if (e.b0 < 25) {
    int64_t cell = static_cast<int64_t>(zone_end_cell) - 1;
    if (cell <= 1) return reject(cs, fault_code::station_cell_too_early);
    if (cell > cs.sc.last_cell()) return runtime_fault(cs, "the station's zone passes the grid");
    model::track_cell& station = cs.sc.grid[static_cast<size_t>(cell)];
    station.kind = model::kind_station;
    station.w2 = static_cast<int16_t>(k);
  }
  if (k > model::first_station_entry) {
    int64_t room = static_cast<int64_t>(e.l4) - 350;
    if (!fits_i32(room)) return runtime_fault(cs, "the station's zone start overflows 32 bits");
    if (room < cs.sc.table[static_cast<size_t>(k - 1)].l8)
      return reject_at(cs, fault_code::station_zones_too_close, p);
  }
  cs.train.station_entry = k + 1;
  if (cs.train.station_entry >= cs.line.board_entry)
    return reject(cs, fault_code::stations_reach_boards);
  return step::next;
}

}  // namespace compiler
