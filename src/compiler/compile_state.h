#pragma once
// What the steps of one compile share: the scenario being built, the document
// being read, the cursors of each document's records and the fault found.
// Private to the compiler, which makes one for each compile, and to the
// checker, which drives the record handlers with one record at a time.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "compiler/faults.h"
#include "compiler/record_table.h"
#include "model/scenario.h"
#include "runtime/field_reader.h"

namespace compiler {

// How much of a record's keyword field a fault keeps, for its message.
inline constexpr size_t longest_kept_keyword = 256;

// How a step ends.
enum class step {
  next,           // go on with the next record
  end_document,   // stop reading this document; its completion still runs
  stop,           // a fault: the compile ends here
  runtime_fault,  // a run-time fault: the compile ends with code 25
};

// Where the line description's records stand.
struct line_cursors {
  int32_t mountain_count = 0;
  int32_t previous_mountain_end = 0;
  int32_t board_entry = model::first_board_entry;  // the next text board's entry
  int32_t gradient_cell = 0;                       // the next cell to take a gradient
  int32_t gradient = 0;                            // per mille, from the last record
  int32_t plan_metre = 2;                          // the next metre of the plan
};

// Where the train document's records stand.
struct train_cursors {
  int32_t speed_cell = 0;  // the next cell to take a speed limit
  int32_t speed = 0;       // km/h, from the last record
  int32_t adhesion_cell = 0;
  int32_t adhesion = 0;
  int32_t station_entry = model::first_station_entry;  // the next station's entry
};

struct compile_origins;

// Where a field stands in its document: line and column from 1 (0 when the
// field was not read).
struct field_place {
  int line = 0;
  int column = 0;
};

// The most fields a record has (a station's 17).
inline constexpr size_t most_record_fields = 17;

// The keyword tests of the last keyword field offered to the records of a
// place: a document repeats a few keywords thousands of times. Bit k is set
// when the field is a keyword of record kind k.
struct keyword_tests {
  std::string field;
  std::optional<record_place> place;
  uint64_t matched = 0;
};
static_assert(static_cast<size_t>(record_kind::station) < 64, "a bit per record kind");

struct compile_state {
  model::scenario sc;
  bool with_plan = true;

  // The document being read and the record it stands at.
  source_document document = source_document::none;
  runtime::field_reader* reader = nullptr;
  std::string field;  // the field last read
  keyword_tests keywords;
  int record_line = 0;
  int record_column = 0;
  std::string record_keyword;  // at most longest_kept_keyword bytes of it
  // Where each value of the record stands, as it is read; and the value
  // that could not be read, when one could not.
  std::array<field_place, most_record_fields> values{};
  field_place bad_value;

  line_cursors line;
  train_cursors train;

  std::optional<compile_fault> fault;
  int32_t fault_position = 0;  // the last position a fault recorded

  // Where to note which record laid each cell and entry; null when no one
  // asked.
  compile_origins* origins = nullptr;
  // With origins asked for, the grid and the table as they stood before the
  // record being read; kept from record to record so that each reuses their
  // room (a long route's grid is hundreds of kilobytes).
  std::vector<model::track_cell> grid_before;
  model::scenario_table table_before;
};

// Runs one record's step; when origins are asked for, notes the record as the
// origin of every cell and entry the step changed.
template <typename Step>
step traced(compile_state& cs, Step&& run);
void note_origins_before(compile_state& cs);
void note_origins_after(compile_state& cs);

template <typename Step>
step traced(compile_state& cs, Step&& run) {
  if (!cs.origins) return run();
  note_origins_before(cs);
  const step s = run();
  note_origins_after(cs);
  return s;
}

// Records a fault at the record being read (a later fault replaces an
// earlier one); the _at form also records its position.
void record_fault(compile_state& cs, fault_code code);
void record_fault_at(compile_state& cs, fault_code code, int32_t position);
// Records a fault that stops the compile.
step reject(compile_state& cs, fault_code code);
step reject_at(compile_state& cs, fault_code code, int32_t position);
// The same for a fault of one value of the record, field `index` (from 0):
// the fault is marked on that value.
step reject_value(compile_state& cs, fault_code code, size_t index);
step reject_value_at(compile_state& cs, fault_code code, size_t index, int32_t position);
// Marks the fault found on field `index` of the record being read.
void mark_value(compile_state& cs, size_t index);
// A run-time fault (code 25), with what went wrong.
step runtime_fault(compile_state& cs, const std::string& detail);
// The reader's own run-time fault, marked on the value it could not read
// (on the record when the document ended before it).
step reader_fault(compile_state& cs);

// After an object is laid at metre `position`: its own fault or, failing
// that, a fault an earlier step left (one that only ended the line
// description's reading) stops the compile at this record.
step after_laying(compile_state& cs, std::optional<fault_code> own, int32_t position);

// A positioned record at metre p lies inside the grid when
// (p + margin) / 50 is not beyond the last cell (margin 100, stations 800).
bool inside_grid(const compile_state& cs, int32_t p, int32_t margin);
// The range check of a record: on failure fault 15 at p (marked on the
// record's first value), and the end of the document's reading.
step range_check(compile_state& cs, int32_t p, int32_t margin = 100);

// Leaves the record being read: what follows stands in `document` (none for
// the approach-marker pass) at no record, under the name `keyword`.
void leave_record(compile_state& cs, source_document document, std::string_view keyword = {});

// Passes over everything up to the field that holds "[generale]":
// step::next there, step::end_document when the document ends first (the
// field that ends it is never examined), step::runtime_fault on a run-time
// fault.
step find_general_section(compile_state& cs);

// The records of `place` that `field` is a keyword of, as keyword_matches
// says (bit k for kind k), remembered for the field until another is
// tested.
uint64_t records_named(compile_state& cs, record_place place, const std::string& field);
inline bool names_record(uint64_t named, record_kind kind) {
  return (named >> static_cast<unsigned>(kind)) & 1;
}

// Reads the next field in keyword position and notes where the record
// stands. False on a run-time fault.
bool read_keyword_field(compile_state& cs);

// The next record's keyword field, for the record loops: up to two fields in
// a row that contain a dash are passed over. step::end_document when the
// document ends first (the field that ends it is never examined),
// step::runtime_fault on a run-time fault, else step::next.
step next_record_field(compile_state& cs);

// How a slot of each width is read.
inline bool read_value(runtime::field_reader& r, int32_t* out) {
  return r.read_i32(out);
}
inline bool read_value(runtime::field_reader& r, int16_t* out) {
  return r.read_i16(out);
}
inline bool read_value(runtime::field_reader& r, uint8_t* out) {
  return r.read_u8(out);
}
inline bool read_value(runtime::field_reader& r, std::string* out) {
  return r.read_text(out);
}

// Reads field `index` of the record with `read`, noting where it stands.
template <typename Read>
bool read_noting_place(compile_state& cs, size_t index, Read&& read) {
  runtime::field_reader& r = *cs.reader;
  // A document that ends before the field has no place for it.
  const bool begins = !r.at_end();
  const bool ok = read(r);
  if (begins) {
    cs.values[index] = {r.field_line(), r.field_column()};
    if (!ok) cs.bad_value = cs.values[index];
  }
  return ok;
}

template <typename T>
constexpr field_storage storage_of() {
  if constexpr (std::is_same_v<T, int32_t>) return field_storage::i32;
  if constexpr (std::is_same_v<T, int16_t>) return field_storage::i16;
  if constexpr (std::is_same_v<T, uint8_t>) return field_storage::u8;
  return field_storage::text;
}

// Reads field `index` (from 0, the first after the keyword) of a record of
// `kind` into a slot of the width the record table gives that field; a slot
// of another width, or a field the table does not list, does not compile.
// False on a run-time fault.
template <record_kind kind, size_t index, typename T>
bool read_record_field(compile_state& cs, T* out) {
  static_assert(index < record_of(kind).fields.size(), "the record table has no such field");
  static_assert(field_of(kind, index).storage == storage_of<T>(),
                "the slot's width is not the field's in the record table");
  return read_noting_place(cs, index, [&](runtime::field_reader& r) { return read_value(r, out); });
}

// Reads every field of a record of `kind` whose fields are all 32-bit
// numbers.
template <record_kind kind, size_t count>
bool read_record_fields(compile_state& cs, int32_t (&out)[count]) {
  static_assert(count == record_of(kind).fields.size(),
                "the record table lists another number of fields");
  static_assert(
      [] {
        for (const record_field& f : record_of(kind).fields)
          if (f.storage != field_storage::i32) return false;
        return true;
      }(),
      "a field of the record is not a 32-bit number in the record table");
  for (size_t i = 0; i < count; ++i)
    if (!read_noting_place(cs, i, [&](runtime::field_reader& r) { return r.read_i32(&out[i]); }))
      return false;
  return true;
}

}  // namespace compiler
