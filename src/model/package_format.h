#pragma once
// The package format, both ways: how the track grid, the scenario table and
// the line plan are laid out in the three files the simulator loads, and how
// those bytes are read back. Every layout fact of the package lives here.
//
//   <line>_linea.dat    the line plan: row 0 for metres 0 .. L + 7000, then
//                       row 1; each element a 16-bit type tag and its value
//   <line>_<train>.sim  the 87 entries of the scenario table, entry 0 first
//   <line>_<train>.dat  the cells of the track grid, cell 0 first
//
// No file carries a header, a count or padding; numbers are little-endian.

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "model/line_plan.h"
#include "model/scenario_table.h"
#include "model/track_grid.h"
#include "runtime/byte_cursor.h"
#include "runtime/output_file.h"

namespace model {

// A cell: kind, w2, w4, w6, w8, b10 .. b15.
inline constexpr int track_cell_bytes = 15;
// An entry: b0, l4, l8, l12, b16, the text's 16-bit length (these first 16
// bytes are its head), the text, w24 .. w32, b34 .. b37, l40.
inline constexpr int scenario_entry_head_bytes = 16;
inline constexpr int scenario_entry_fixed_bytes = 34;

// Plan element tags: the standard variant type codes.
inline constexpr int16_t plan_tag_empty = 0;
inline constexpr int16_t plan_tag_integer = 2;  // a 16-bit integer follows
inline constexpr int16_t plan_tag_double = 5;   // an IEEE 754 double follows

// The reserved slots, stamped just before the package is written: entry 85
// w24 and cell 1 w2 take these constants, entry 85 l40 and cell 1 w4 the
// check codes.
inline constexpr int16_t line_stamp_value = 610;
inline constexpr int16_t cell_stamp_value = 5121;
inline constexpr int stamp_cell = 1;

// Writing.
void put_track_cell(runtime::output_file& out, const track_cell& c);
void put_scenario_entry(runtime::output_file& out, const scenario_entry& e);
// Both rows of a compiled plan, from one walk of its bends.
void put_line_plan(runtime::output_file& out, const line_plan& plan);

// The tag of metre m of a compiled plan.
int16_t plan_tag(const line_plan& plan, int32_t m);
// Bytes of one row of a compiled plan in the file.
int64_t plan_row_bytes(const line_plan& plan);

// Reading. Each takes one value from the cursor, which must hold its bytes.
track_cell get_track_cell(runtime::byte_cursor& in);

// One element of a plan row as a file holds it: its tag and, for the integer
// and double tags, its value (0 for an empty one). A plain pair, left as it
// is when not given a value (plan_element{} is an empty one), so that rows
// of millions are copied and grown as blocks of bytes.
struct plan_element {
  int16_t tag;
  double value;
};

// Rows 0 and 1 of a plan as a file holds them, one element per metre.
struct plan_rows {
  std::vector<plan_element> row0;
  std::vector<plan_element> row1;
};

// The decoders of the three files. `file` is the name that starts every
// error message; on failure *error says where the bytes go wrong and what
// was expected. A route length of -1 means none the sizes can trust: the
// file's own size decides.
bool decode_scenario_table(std::string_view bytes, std::string_view file, scenario_table* out,
                           std::string* error);
bool decode_track_grid(std::string_view bytes, std::string_view file, int32_t route_length,
                       track_grid* out, std::string* error);
bool decode_line_plan(std::string_view bytes, std::string_view file, int32_t route_length,
                      plan_rows* out, std::string* error);

// Filling the rows of a plan file of `metres` elements a row as its
// elements are decoded: room made for what `bytes` bytes of the file can
// hold (two bytes an element at least, row 0's first), and a run of
// elements appended (its first at index `first` of the file, row 0's
// metres first), each part to its row.
void reserve_plan_rows(plan_rows& rows, size_t metres, size_t bytes);
void append_plan_run(plan_rows& rows, size_t metres, size_t first,
                     std::span<const plan_element> run);

// The plan file decoded as it streams in, part after part, with the checks
// and messages of decode_line_plan: the elements go to `elements` a run at a
// time, with the index in the file (row 0's metres first, then row 1's) of
// the run's first, so that a caller can keep what it needs of a plan too
// large to hold. Every element a part completes is handed out before feed()
// returns. With a route length of -1 the rows are known only at the end:
// elements are still handed out, and per_row() tells the split.
class line_plan_decoder {
 public:
  using element_sink = std::function<void(size_t first, std::span<const plan_element> run)>;
  line_plan_decoder(std::string_view file, int32_t route_length, element_sink elements);

  // The next bytes of the file. False once the file is known to be damaged
  // (the rest need not be read).
  bool feed(std::string_view part);
  // After the last part: true when the file was a whole plan, else *error
  // says where it goes wrong.
  bool finish(std::string* error);
  // Elements per row, once finish() succeeded.
  size_t per_row() const { return elements_ / 2; }

 private:
  // Decodes one element from the front of `bytes`: its size, 0 when the
  // bytes hold only part of it, or -1 when it is damaged.
  ptrdiff_t take(std::string_view bytes);
  // Decodes whole, sound elements from the front of `bytes` while they fit
  // in the two rows, many at a time; returns how many bytes they took. It
  // stops short of an element that take() must look at: one cut by the end
  // of `bytes` (or near it), a damaged one, one too many.
  size_t take_run(std::string_view bytes);
  bool take_all(std::string_view part);
  void hand_out();
  void fail(std::string message);

  std::string file_;
  int32_t route_length_;
  size_t metres_;
  element_sink element_;
  size_t elements_ = 0;  // decoded so far, the last `run_size_` of them in `run_`
  // A run of elements handed out together: one call for many metres.
  std::array<plan_element, 256> run_;
  size_t run_size_ = 0;
  size_t offset_ = 0;    // bytes decoded so far
  size_t total_ = 0;     // bytes fed
  std::string pending_;  // the start of an element cut by the end of a part
  std::string error_;
  bool too_many_ = false;  // an element beyond the two rows, at offset_
};

// The route length that sizes the grid and the plan of a decoded table, or
// -1 when entry 84 holds a length the compile refused (it stays there when
// an earlier route length had already sized the grid).
int32_t sizing_route_length(const scenario_table& table);

}  // namespace model
