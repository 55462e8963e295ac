#include "compiler/line_reader.h"

#include <string>

#include "compiler/gradients_curves.h"
#include "compiler/kilometric_ranges.h"
#include "compiler/mountains_boards.h"
#include "compiler/record_table.h"
#include "model/route_extent.h"
#include "runtime/windows1252.h"

namespace compiler {

namespace {

// Sizes the grid and the plan for a route of L metres, every cell and point
// empty. The cells are value-initialised rather than copied from an empty
// one: all zeros, which a sanitized build writes in one go rather than cell
// by cell.
void create_grid_and_plan(compile_state& cs, int32_t route) {
  cs.sc.grid.clear();
  cs.sc.grid.resize(static_cast<size_t>(model::last_cell_index(route)) + 1);
  if (cs.with_plan) model::create_line_plan(cs.sc.plan, model::plan_last_metre(route));
}

// "lunghezza percorso": the route length, stored even when it is refused.
step route_length_record(compile_state& cs) {
  int32_t length;
  if (!read_record_field<record_kind::route_length, 0>(cs, &length)) return reader_fault(cs);
  route_length(cs.sc.table) = length;
  if (length > model::longest_route) return reject_value(cs, fault_code::route_too_long, 0);
  if (length < 0) return reject_value(cs, fault_code::negative_route_length, 0);
  create_grid_and_plan(cs, length);
  return step::next;
}

// "ripetizione segnali": the stretch with signal repetition and its code
// count, taken from the digit in the keyword field.
step signal_repetition_record(compile_state& cs, const std::string& keyword) {
  model::scenario_table& t = cs.sc.table;
  if (!read_record_field<record_kind::signal_repetition, 0>(cs, &repetition_start(t)) ||
      !read_record_field<record_kind::signal_repetition, 1>(cs, &repetition_end(t)))
    return reader_fault(cs);
  if (repetition_start(t) % 50 != 0)
    return reject_value(cs, fault_code::repetition_start_not_on_50, 0);
  if (repetition_end(t) % 50 != 0) return reject_value(cs, fault_code::repetition_end_not_on_50, 1);
  if (runtime::contains(keyword, "4"))
    repetition_codes(t) = 4;
  else if (runtime::contains(keyword, "9"))
    repetition_codes(t) = 9;
  else
    return reject(cs, fault_code::repetition_code_count);
  if (repetition_end(t) == 0) repetition_codes(t) = 0;
  return step::next;
}

// "progressiva chilometrica": start, reference and in-use flag of a range.
template <record_kind kind>
step kilometric_range_record(compile_state& cs, int entry) {
  model::scenario_entry& e = cs.sc.table[static_cast<size_t>(entry)];
  if (!read_record_field<kind, 0>(cs, &e.l4) || !read_record_field<kind, 1>(cs, &e.l8) ||
      !read_record_field<kind, 2>(cs, &e.l12))
    return reader_fault(cs);
  return step::next;
}

template <record_kind kind>
step background_record(compile_state& cs, int32_t* slot) {
  if (!read_record_field<kind, 0>(cs, slot)) return reader_fault(cs);
  return step::next;
}

}  // namespace

step header_record(compile_state& cs) {
  const std::string field = cs.field;
  const uint64_t named = records_named(cs, record_place::line_header, field);
  auto is = [named](record_kind kind) { return names_record(named, kind); };
  model::scenario_table& t = cs.sc.table;
  step s = step::next;

  if (is(record_kind::route_length) && (s = route_length_record(cs)) != step::next) return s;
  if (is(record_kind::range_three) && (s = kilometric_range_record<record_kind::range_three>(
                                           cs, model::entry_range_last)) != step::next)
    return s;
  if (is(record_kind::range_two) && (s = kilometric_range_record<record_kind::range_two>(
                                         cs, model::entry_range_middle)) != step::next)
    return s;
  if (is(record_kind::range_one) && (s = kilometric_range_record<record_kind::range_one>(
                                         cs, model::entry_range_first)) != step::next)
    return s;
  if (is(record_kind::background_one) &&
      (s = background_record<record_kind::background_one>(cs, &background_one(t))) != step::next)
    return s;
  if (is(record_kind::background_two) &&
      (s = background_record<record_kind::background_two>(cs, &background_two(t))) != step::next)
    return s;
  if (is(record_kind::background_three) && (s = background_record<record_kind::background_three>(
                                                cs, &background_three(t))) != step::next)
    return s;
  if (is(record_kind::signal_repetition)) return signal_repetition_record(cs, field);
  return step::next;
}

namespace {

// A section header ("[curve]") ends the general header, unless it begins
// with a dash.
bool ends_header(const std::string& field) {
  if (!runtime::contains(field, "[") || !runtime::contains(field, "]")) return false;
  size_t first = field.find_first_not_of(" \t");
  return first == std::string::npos || field[first] != '-';
}

// Offers the field in keyword position to the record handlers, in order;
// every handler whose keyword test matches reads its record.
step line_record(compile_state& cs) {
  const std::string& field = cs.field;
  // Tested once: of the handlers only the last, the text board's, reads a
  // field into cs.field.
  const uint64_t named = records_named(cs, record_place::line_records, field);
  auto is = [named](record_kind kind) { return names_record(named, kind); };
  step s = step::next;
  if (is(record_kind::gradient) && (s = gradient_record(cs)) != step::next) return s;
  if (cs.with_plan && is(record_kind::curve) && (s = curve_record(cs)) != step::next) return s;
  if (is(record_kind::mountain) && (s = mountain_record(cs)) != step::next) return s;
  if (is(record_kind::speed_board) && (s = speed_board_record(cs)) != step::next) return s;
  if (is(record_kind::text_board)) return text_board_record(cs);
  return step::next;
}

// The general header, up to the first section header after it. Up to ten
// fields with a dash before a header record are passed over.
step read_general_header(compile_state& cs) {
  runtime::field_reader& reader = *cs.reader;
  for (;;) {
    if (reader.at_end()) return step::next;
    if (!read_keyword_field(cs)) return reader_fault(cs);
    if (reader.at_end()) return step::next;
    for (int i = 0; i < 10; ++i)
      if (runtime::contains(cs.field, "-") && !read_keyword_field(cs)) return reader_fault(cs);
    step s = traced(cs, [&] { return header_record(cs); });
    if (s != step::next) return s;
    if (ends_header(cs.field)) return step::next;
  }
}

// The records, wherever they stand after the header, up to the end of the
// document or a record beyond the grid.
step read_line_records(compile_state& cs) {
  for (;;) {
    step s = next_record_field(cs);
    if (s == step::next) s = traced(cs, [&] { return line_record(cs); });
    if (s == step::end_document) return step::next;
    if (s != step::next) return s;
  }
}

}  // namespace

namespace {

step read_line_description_from(compile_state& cs) {
  step s = find_general_section(cs);
  if (s == step::end_document) return reject(cs, fault_code::no_general_section);
  if (s == step::next) s = read_general_header(cs);
  if (s != step::next) return s;

  // Between the header and the records.
  if (!cs.sc.has_grid()) return reject(cs, fault_code::no_route_length);
  if (!sort_kilometric_ranges(cs.sc.table))
    return runtime_fault(cs, "a kilometric range overflows");
  cs.line = line_cursors{};
  if (cs.with_plan) model::start_line_plan(cs.sc.plan);

  s = read_line_records(cs);
  if (s != step::next) return s;

  // The end of the document: the last gradient and the plan run on.
  if (!complete_gradients(cs)) return runtime_fault(cs, "gradient cells beyond the grid");
  if (cs.with_plan) complete_plan(cs);
  return step::next;
}

}  // namespace

step read_line_description(compile_state& cs, std::string_view bytes) {
  runtime::field_reader reader(bytes);
  cs.reader = &reader;
  cs.document = source_document::line_description;
  const step s = read_line_description_from(cs);
  cs.reader = nullptr;
  return s;
}

}  // namespace compiler
