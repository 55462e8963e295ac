#include "tool/package_reader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

#include "run/run_sequence.h"
#include "runtime/replace_files.h"

namespace {

// The compiler refuses longer routes, so no package holds one.
constexpr int64_t longest_route = 1000000;

// Little-endian values taken one after the other from a file's bytes. Every
// take is checked against the end of the bytes first.
struct byte_cursor {
  std::string_view bytes;
  size_t at = 0;

  size_t left() const { return bytes.size() - at; }
  bool has(size_t n) const { return n <= left(); }

  uint8_t u8() { return static_cast<uint8_t>(bytes[at++]); }
  int16_t i16() {
    uint16_t u = static_cast<uint16_t>(u8());
    u = static_cast<uint16_t>(u | (u8() << 8));
    return static_cast<int16_t>(u);
  }
  int32_t i32() {
    uint32_t u = 0;
    for (int i = 0; i < 4; ++i) u |= static_cast<uint32_t>(u8()) << (8 * i);
    return static_cast<int32_t>(u);
  }
  double f64() {
    uint64_t u = 0;
    for (int i = 0; i < 8; ++i) u |= static_cast<uint64_t>(u8()) << (8 * i);
    double v;
    std::memcpy(&v, &u, sizeof v);
    return v;
  }
  std::string text(size_t n) {
    std::string s(bytes.substr(at, n));
    at += n;
    return s;
  }
};

std::string at_file(std::string_view file, const std::string& what) {
  return std::string(file) + ": " + what;
}

std::string bytes_word(size_t n) {
  return std::to_string(n) + (n == 1 ? " byte" : " bytes");
}

bool known_kind(uint8_t kind) {
  switch (kind) {
    case kind_empty:
    case kind_signal:
    case kind_restriction_end:
    case kind_restriction_start:
    case kind_restriction_warning:
    case kind_countdown:
    case kind_speed_board:
    case kind_station:
    case kind_mountain_marker:
    case kind_approach_marker:
    case kind_plain_marker:
    case kind_text_board:
      return true;
    default:
      return false;
  }
}

const char* tag_name(int16_t tag) {
  return tag == plan_tag_integer ? "an integer" : "a double";
}

}  // namespace

std::string plan_file_name(std::string_view line_name) {
  return std::string(line_name) + "_linea.dat";
}

std::string table_file_name(std::string_view line_name, std::string_view train_number) {
  return std::string(line_name) + "_" + std::string(train_number) + ".sim";
}

std::string grid_file_name(std::string_view line_name, std::string_view train_number) {
  return std::string(line_name) + "_" + std::string(train_number) + ".dat";
}

bool decode_scenario_table(std::string_view bytes, std::string_view file, scenario_table* out,
                           std::string* error) {
  byte_cursor in{bytes};
  for (int i = 0; i < scenario_entries; ++i) {
    const size_t start = in.at;
    if (!in.has(1)) {
      const std::string where = i == 0 ? "the file is empty"
                                       : "the file ends after entry " + std::to_string(i - 1) +
                                             ", at byte " + std::to_string(start);
      *error = at_file(file, where + "; a scenario table has 87 entries");
      return false;
    }
    // The fixed part before the text tells the entry's length.
    if (!in.has(16)) {
      *error = at_file(file, "entry " + std::to_string(i) + " starts at byte " +
                                 std::to_string(start) + " but the file ends after " +
                                 bytes_word(in.left()) + " of its 16-byte head");
      return false;
    }
    scenario_entry& e = (*out)[static_cast<size_t>(i)];
    e.b0 = in.u8();
    e.l4 = in.i32();
    e.l8 = in.i32();
    e.l12 = in.i32();
    e.b16 = in.u8();
    const size_t n = static_cast<uint16_t>(in.i16());
    const size_t end = start + scenario_entry_fixed_bytes + n;
    if (!in.has(n + scenario_entry_fixed_bytes - 16)) {
      *error = at_file(file, "entry " + std::to_string(i) + " (text of " + std::to_string(n) +
                                 " characters) ends at byte " + std::to_string(end) +
                                 " but the file has " + bytes_word(bytes.size()));
      return false;
    }
    e.text = in.text(n);
    e.w24 = in.i16();
    e.w26 = in.i16();
    e.w28 = in.i16();
    e.w30 = in.i16();
    e.w32 = in.i16();
    e.b34 = in.u8();
    e.b35 = in.u8();
    e.b36 = in.u8();
    e.b37 = in.u8();
    e.l40 = in.i32();
  }
  if (in.left() != 0) {
    *error = at_file(file, bytes_word(in.left()) + " follow entry 86 at byte " +
                               std::to_string(in.at) + "; a scenario table has " +
                               std::to_string(scenario_entries) + " entries");
    return false;
  }
  return true;
}

namespace {

// The route length that sizes the grid and the plan, or -1 when entry 84
// holds a length the compile refused (it stays there when an earlier route
// length had already sized the grid): the files' own sizes then decide.
int32_t sizing_route_length(const scenario_table& table) {
  const int32_t route = table[entry_route].l8;
  return route < 0 || route > longest_route ? -1 : route;
}

}  // namespace

bool decode_track_grid(std::string_view bytes, std::string_view file, int32_t route_length,
                       track_grid* out, std::string* error) {
  if (bytes.size() % track_cell_bytes != 0) {
    *error = at_file(file, bytes_word(bytes.size()) + " is not a whole number of 15-byte cells (" +
                               std::to_string(bytes.size() / track_cell_bytes) + " cells and " +
                               bytes_word(bytes.size() % track_cell_bytes) + " over)");
    return false;
  }
  const size_t cells = bytes.size() / track_cell_bytes;
  const size_t expected =
      route_length < 0 ? cells : static_cast<size_t>(last_cell_index(route_length)) + 1;
  if (cells < 2) {
    *error = at_file(file, "the file has " + std::to_string(cells) +
                               " cells; a grid has at least cells 0 and 1");
    return false;
  }
  if (cells != expected) {
    *error =
        at_file(file, "the file has " + std::to_string(cells) + " cells but the route length of " +
                          std::to_string(route_length) + " m needs " + std::to_string(expected) +
                          " (" + std::to_string(expected * track_cell_bytes) + " bytes)");
    return false;
  }
  out->assign(cells, track_cell{});
  byte_cursor in{bytes};
  for (size_t i = 0; i < cells; ++i) {
    track_cell& c = (*out)[i];
    const size_t start = in.at;
    c.kind = in.u8();
    c.w2 = in.i16();
    c.w4 = in.i16();
    c.w6 = in.i16();
    c.w8 = in.i16();
    c.b10 = in.u8();
    c.b11 = in.u8();
    c.b12 = in.u8();
    c.b13 = in.u8();
    c.b14 = in.u8();
    c.b15 = in.u8();
    const std::string where = "cell " + std::to_string(i) + " at byte " + std::to_string(start);
    if (!known_kind(c.kind)) {
      *error = at_file(file, where + " has kind " + std::to_string(c.kind) +
                                 ", which no object uses (0-6, 10-14)");
      return false;
    }
    // Cell 1 carries the stamps in w2 and w4, whatever its kind.
    if (i == 1) continue;
    if (c.kind == kind_station && (c.w2 < 1 || c.w2 >= first_board_entry)) {
      *error = at_file(file, where + " is a station cell naming entry " + std::to_string(c.w2) +
                                 "; stations are entries 1 to 79");
      return false;
    }
    if (c.kind == kind_text_board && (c.w2 < 0 || c.w2 > first_board_entry)) {
      *error = at_file(file, where + " is a text board naming entry " + std::to_string(c.w2) +
                                 "; board texts are entries 0 to 80");
      return false;
    }
  }
  return true;
}

bool decode_line_plan(std::string_view bytes, std::string_view file, int32_t route_length,
                      package_plan* out, std::string* error) {
  // With no usable route length, the rows are found from the elements alone.
  const size_t metres = route_length < 0 ? bytes.size() : static_cast<size_t>(route_length) + 7001;
  // Both rows, in file order. A plan holds 2 (M + 1) elements, each of two
  // bytes at least; reading stops at the first element too many.
  std::vector<plan_element> elements;
  elements.reserve(std::min(2 * metres, bytes.size() / 2));
  byte_cursor in{bytes};
  while (in.left() > 0) {
    const size_t start = in.at;
    if (elements.size() == 2 * metres) {
      *error = at_file(
          file, "the plan's " + std::to_string(2 * metres) + " elements (two rows of metres 0 to " +
                    std::to_string(metres - 1) + " for a route of " + std::to_string(route_length) +
                    " m) end at byte " + std::to_string(start) + " but the file has " +
                    bytes_word(bytes.size()));
      return false;
    }
    if (!in.has(2)) {
      *error = at_file(file, "the element at byte " + std::to_string(start) +
                                 " is cut short: its 2-byte tag has 1 byte");
      return false;
    }
    plan_element e;
    e.tag = in.i16();
    if (e.tag == plan_tag_integer || e.tag == plan_tag_double) {
      const size_t n = e.tag == plan_tag_integer ? 2 : 8;
      if (!in.has(n)) {
        *error = at_file(file, "the element at byte " + std::to_string(start) + " holds " +
                                   tag_name(e.tag) + " and ends at byte " +
                                   std::to_string(start + 2 + n) + " but the file has " +
                                   bytes_word(bytes.size()));
        return false;
      }
      e.value = e.tag == plan_tag_integer ? in.i16() : in.f64();
      if (!std::isfinite(e.value)) {
        *error = at_file(file, "the element at byte " + std::to_string(start) +
                                   " is a double that is not a finite number");
        return false;
      }
    } else if (e.tag != plan_tag_empty) {
      *error = at_file(file, "the element at byte " + std::to_string(start) + " has tag " +
                                 std::to_string(e.tag) +
                                 "; plan elements are tagged 0 (empty), 2 (integer) or 5 "
                                 "(double)");
      return false;
    }
    elements.push_back(e);
  }
  // No count is stored: the rows are the two halves of the elements.
  if (elements.size() % 2 != 0) {
    *error = at_file(file, "the file holds " + std::to_string(elements.size()) +
                               " elements, which cannot be two rows of equal length");
    return false;
  }
  const size_t per_row = elements.size() / 2;
  if (route_length >= 0 && per_row != metres) {
    *error = at_file(file, "the file holds two rows of " + std::to_string(per_row) +
                               " elements but the route length of " + std::to_string(route_length) +
                               " m needs " + std::to_string(metres) + " (metres 0 to " +
                               std::to_string(metres - 1) + ")");
    return false;
  }
  out->row0.assign(elements.begin(), elements.begin() + static_cast<std::ptrdiff_t>(per_row));
  out->row1.assign(elements.begin() + static_cast<std::ptrdiff_t>(per_row), elements.end());
  return true;
}

bool read_package(disk& d, const std::string& directory, const std::string& line_name,
                  const std::string& train_number, package* out, package_error* error) {
  out->line_name = line_name;
  out->train_number = train_number;
  out->directory = directory;
  out->plan_file = plan_file_name(line_name);
  out->table_file = table_file_name(line_name, train_number);
  out->grid_file = grid_file_name(line_name, train_number);

  std::string plan, table, grid;
  for (auto [name, bytes, size] : {std::tuple{&out->table_file, &table, &out->table_bytes},
                                   std::tuple{&out->grid_file, &grid, &out->grid_bytes},
                                   std::tuple{&out->plan_file, &plan, &out->plan_bytes}}) {
    const std::string path = directory + path_separator + *name;
    std::string reason;
    if (d.stat(path) == disk::entry::directory) {
      reason = "Is a directory";
    } else if (d.read_file(path, bytes, &reason)) {
      *size = bytes->size();
      continue;
    }
    *error = {package_problem::unreadable, describe(io_failure{path, reason, "read"})};
    return false;
  }

  std::string message;
  bool ok =
      decode_scenario_table(table, out->table_file, &out->table, &message) &&
      decode_track_grid(grid, out->grid_file, sizing_route_length(out->table), &out->grid,
                        &message) &&
      decode_line_plan(plan, out->plan_file, sizing_route_length(out->table), &out->plan, &message);
  if (!ok) *error = {package_problem::damaged, message};
  return ok;
}

int package_exit_status(const package_error& error) {
  return error.problem == package_problem::damaged ? exit_package_damaged : exit_io_failure;
}
