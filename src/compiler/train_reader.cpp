#include "compiler/train_reader.h"

#include <string>

#include "compiler/record_table.h"
#include "compiler/signals_restrictions.h"
#include "compiler/stations.h"
#include "model/rounding.h"
#include "runtime/windows1252.h"

namespace compiler {

namespace {

// Writes the current speed limit, in steps of 5 km/h, into the cell under
// the speed cursor and moves it on, then into the next cells for as long as
// `more` says (asked after each cell); false when the value leaves 0..255 or
// a cell lies outside the grid. The value is rounded once: a long route
// holds tens of thousands of cells.
template <typename More>
bool write_speeds(compile_state& cs, More more) {
  train_cursors& at = cs.train;
  uint8_t steps;
  if (!model::round_to_u8(at.speed / 5.0, &steps)) return false;
  do {
    if (at.speed_cell < 0 || at.speed_cell > cs.sc.last_cell()) return false;
    cs.sc.grid[static_cast<size_t>(at.speed_cell)].b13 = steps;
    ++at.speed_cell;
  } while (more());
  return true;
}

bool write_adhesion(compile_state& cs) {
  train_cursors& at = cs.train;
  if (at.adhesion_cell < 0 || at.adhesion_cell > cs.sc.last_cell()) return false;
  cs.sc.grid[static_cast<size_t>(at.adhesion_cell)].b15 = static_cast<uint8_t>(at.adhesion);
  ++at.adhesion_cell;
  return true;
}

}  // namespace

// "velocita": from position P on, the line speed limit is S.
step speed_record(compile_state& cs) {
  int32_t p, s;
  if (!read_record_field<record_kind::speed_limit, 0>(cs, &p) ||
      !read_record_field<record_kind::speed_limit, 1>(cs, &s))
    return reader_fault(cs);
  if (range_check(cs, p) != step::next) return step::end_document;
  const int32_t n = model::stretch_cell(p);
  train_cursors& at = cs.train;
  if (n > 0 && at.speed_cell < cs.sc.last_cell() &&
      !write_speeds(cs, [&] { return at.speed_cell < n && at.speed_cell < cs.sc.last_cell(); }))
    return runtime_fault(cs, "a speed limit that does not fit its byte");
  cs.train.speed = s;
  return step::next;
}

// "aderenza": from position P on, the adhesion value is A.
step adhesion_record(compile_state& cs) {
  int32_t p, a;
  if (!read_record_field<record_kind::adhesion, 0>(cs, &p) ||
      !read_record_field<record_kind::adhesion, 1>(cs, &a))
    return reader_fault(cs);
  if (range_check(cs, p) != step::next) return step::end_document;
  int32_t n = model::stretch_cell(p);
  if (n > 0) {
    do {
      if (!write_adhesion(cs)) return runtime_fault(cs, "adhesion cells beyond the grid");
    } while (cs.train.adhesion_cell < n);
  }
  cs.train.adhesion = a;
  return step::next;
}

namespace {

// The ten keyword tests, in order; every test that matches reads its values.
step train_record(compile_state& cs) {
  const std::string field = cs.field;
  const uint64_t named = records_named(cs, record_place::train_records, field);
  auto is = [named](record_kind kind) { return names_record(named, kind); };
  model::scenario_table& t = cs.sc.table;
  step s = step::next;

  if (is(record_kind::braked_mass) &&
      !read_record_field<record_kind::braked_mass, 0>(cs, &braked_mass_percent(t)))
    return reader_fault(cs);
  if (is(record_kind::car_count) &&
      !read_record_field<record_kind::car_count, 0>(cs, &car_count(t)))
    return reader_fault(cs);
  if (is(record_kind::speed_limit) && (s = speed_record(cs)) != step::next) return s;
  if (is(record_kind::adhesion) && (s = adhesion_record(cs)) != step::next) return s;
  if (is(record_kind::clock) && (!read_record_field<record_kind::clock, 0>(cs, &clock_hour(t)) ||
                                 !read_record_field<record_kind::clock, 1>(cs, &clock_minute(t)) ||
                                 !read_record_field<record_kind::clock, 2>(cs, &clock_second(t))))
    return reader_fault(cs);
  if (is(record_kind::sand) && !read_record_field<record_kind::sand, 0>(cs, &sand(t)))
    return reader_fault(cs);
  if (is(record_kind::signal) && (s = signal_record(cs)) != step::next) return s;
  if (is(record_kind::restriction) && (s = restriction_record(cs)) != step::next) return s;
  if (is(record_kind::abbattimento) && (s = abbattimento_record(cs)) != step::next) return s;
  if (is(record_kind::station)) return station_record(cs);
  return step::next;
}

step read_train_records(compile_state& cs) {
  cs.train = train_cursors{};
  for (;;) {
    step s = next_record_field(cs);
    if (s == step::next) s = traced(cs, [&] { return train_record(cs); });
    if (s == step::end_document) return step::next;
    if (s != step::next) return s;
  }
}

// The end of reading: the speed and adhesion of the last records run on to
// cell N - 3, and the kilometric ranges are checked.
step end_of_reading(compile_state& cs) {
  if (!write_speeds(cs, [&] { return cs.train.speed_cell < cs.sc.last_cell() - 2; }))
    return runtime_fault(cs, "a speed limit that does not fit its byte");
  do {
    if (!write_adhesion(cs)) return runtime_fault(cs, "adhesion cells beyond the grid");
  } while (cs.train.adhesion_cell < cs.sc.last_cell() - 2);
  for (int e = model::entry_range_last; e <= model::entry_range_first; ++e) {
    const model::scenario_entry& range = cs.sc.table[static_cast<size_t>(e)];
    if (range.l4 % 50 != 0 || range.l8 % 50 != 0) {
      // A fault of the header, found once the whole document is read.
      leave_record(cs, cs.document);
      record_fault(cs, fault_code::range_not_on_50);
    }
  }
  return step::stop;
}

step read_train_document_from(compile_state& cs) {
  step s = find_general_section(cs);
  if (s == step::next) s = read_train_records(cs);
  if (s == step::end_document) s = step::next;
  if (s != step::next) return s;
  cs.reader = nullptr;
  return end_of_reading(cs);
}

}  // namespace

step read_train_document(compile_state& cs, std::string_view bytes) {
  runtime::field_reader reader(bytes);
  cs.reader = &reader;
  const step s = read_train_document_from(cs);
  cs.reader = nullptr;
  return s;
}

}  // namespace compiler
