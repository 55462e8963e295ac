#include "model/package_format.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "model/route_extent.h"
#include "runtime/overlapped_stages.h"

namespace model {

void put_track_cell(runtime::output_file& out, const track_cell& c) {
  // One piece of buffer for the whole cell: a grid is tens of thousands.
  char* p = out.room(track_cell_bytes);
  p[0] = static_cast<char>(c.kind);
  runtime::encode_le(p + 1, static_cast<uint16_t>(c.w2));
  runtime::encode_le(p + 3, static_cast<uint16_t>(c.w4));
  runtime::encode_le(p + 5, static_cast<uint16_t>(c.w6));
  runtime::encode_le(p + 7, static_cast<uint16_t>(c.w8));
  p[9] = static_cast<char>(c.b10);
  p[10] = static_cast<char>(c.b11);
  p[11] = static_cast<char>(c.b12);
  p[12] = static_cast<char>(c.b13);
  p[13] = static_cast<char>(c.b14);
  p[14] = static_cast<char>(c.b15);
}

void put_scenario_entry(runtime::output_file& out, const scenario_entry& e) {
  out.put_u8(e.b0);
  out.put_i32(e.l4);
  out.put_i32(e.l8);
  out.put_i32(e.l12);
  out.put_u8(e.b16);
  // Texts longer than a 16-bit count are refused when they are read.
  out.put_i16(static_cast<int16_t>(static_cast<uint16_t>(e.text.size())));
  out.put(e.text);
  out.put_i16(e.w24);
  out.put_i16(e.w26);
  out.put_i16(e.w28);
  out.put_i16(e.w30);
  out.put_i16(e.w32);
  out.put_u8(e.b34);
  out.put_u8(e.b35);
  out.put_u8(e.b36);
  out.put_u8(e.b37);
  out.put_i32(e.l40);
}

namespace {

constexpr size_t plan_element_bytes = 10;  // a tag and a double

// The bytes of both plan rows, a stretch at a time. The two rows carry the
// same tags metre by metre, so a stretch of metres takes as many bytes in
// row 0 as in row 1: each call fills the next stretch of each row into a
// buffer of its own and says how many bytes that is. A row is its integer
// points, its computed points as tagged doubles, its empty metres.
class plan_encoder {
 public:
  explicit plan_encoder(const line_plan& plan)
      : plan_(plan), walker_(plan), integers_(plan.computed < 2 ? plan.computed : 2) {}

  // Fills at most `room` bytes (at least plan_element_bytes) of each row;
  // 0 once both rows are whole.
  size_t next(char* row0, char* row1, size_t room) {
    size_t used = 0;
    for (; m_ < integers_ && used + 4 <= room; ++m_, used += 4) {
      runtime::encode_le(row0 + used, static_cast<uint16_t>(plan_tag_integer));
      runtime::encode_le(row0 + used + 2, uint16_t{0});
      runtime::encode_le(row1 + used, static_cast<uint16_t>(plan_tag_integer));
      runtime::encode_le(row1 + used + 2, static_cast<uint16_t>(m_));  // (0, 0) and (0, 1)
    }
    if (m_ < integers_) return used;

    // The doubles go through local pointers, so that the walk's inner loop
    // does no bookkeeping per point.
    const int32_t fit = static_cast<int32_t>((room - used) / plan_element_bytes);
    const int32_t doubles = walker_.left() < fit ? walker_.left() : fit;
    char* p0 = row0 + used;
    char* p1 = row1 + used;
    walker_.walk(doubles, [&](int32_t, double x, double y) {
      runtime::encode_le(p0, static_cast<uint16_t>(plan_tag_double));
      runtime::encode_le(p0 + 2, std::bit_cast<uint64_t>(x));
      p0 += plan_element_bytes;
      runtime::encode_le(p1, static_cast<uint16_t>(plan_tag_double));
      runtime::encode_le(p1 + 2, std::bit_cast<uint64_t>(y));
      p1 += plan_element_bytes;
    });
    used += static_cast<size_t>(doubles) * plan_element_bytes;
    if (walker_.left() > 0) return used;

    if (m_ < plan_.computed) m_ = plan_.computed;
    for (; m_ <= plan_.last_metre && used + 2 <= room; ++m_, used += 2) {
      runtime::encode_le(row0 + used, static_cast<uint16_t>(plan_tag_empty));
      runtime::encode_le(row1 + used, static_cast<uint16_t>(plan_tag_empty));
    }
    return used;
  }

 private:
  const line_plan& plan_;
  line_plan_walker walker_;
  int32_t integers_;
  int32_t m_ = 0;  // the next integer or empty metre
};

// Bytes of each row in one stretch of the plan; the stretches of both rows
// make one block, and two blocks are in hand while a long plan is written
// (one being computed, one being written: the computing is the faster).
// Measured on a 1 000 000 m route: larger write calls cost the kernel less
// per byte, and each block is fresh memory whose pages cost a fault each;
// 512 KiB in two blocks was faster than 256 KiB in two or three, 384 KiB,
// 768 KiB or 1 MiB.
constexpr size_t plan_stretch_bytes = size_t{512} << 10;
constexpr size_t plan_blocks_in_hand = 2;

}  // namespace

// Both rows of the plan from one walk, row 0 down the file's stream and row
// 1 at its offset, a stretch of each at a time. A plan longer than one
// stretch is computed on a thread of its own while the stretches before are
// written, so that the time approaches the larger of computing and writing.
void put_line_plan(runtime::output_file& out, const line_plan& plan) {
  const int64_t row_bytes = plan_row_bytes(plan);
  size_t stretch = plan_stretch_bytes;
  if (row_bytes < static_cast<int64_t>(stretch))
    stretch = row_bytes < 16 ? 16 : static_cast<size_t>(row_bytes);
  plan_encoder encoder(plan);
  int64_t row1_at = row_bytes;
  const runtime::block_stages stages{
      [&](char* block) { return encoder.next(block, block + stretch, stretch); },
      [&](const char* block, size_t bytes) {
        out.put_through(std::string_view(block, bytes));
        out.write_at(row1_at, std::string_view(block + stretch, bytes));
        row1_at += static_cast<int64_t>(bytes);
        return out.ok();
      }};
  const bool overlap = row_bytes > static_cast<int64_t>(stretch);
  runtime::run_overlapped(stages, 2 * stretch, overlap ? plan_blocks_in_hand : 1);
}

int16_t plan_tag(const line_plan& plan, int32_t m) {
  if (m >= plan.computed) return plan_tag_empty;
  return m < 2 ? plan_tag_integer : plan_tag_double;
}

int64_t plan_row_bytes(const line_plan& plan) {
  int64_t elements = static_cast<int64_t>(plan.last_metre) + 1;
  int64_t integers = plan.computed < 2 ? plan.computed : 2;
  int64_t doubles = plan.computed - integers;
  return 2 * elements + 2 * integers + 8 * doubles;
}

track_cell get_track_cell(runtime::byte_cursor& in) {
  track_cell c;
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
  return c;
}

namespace {

std::string at_file(std::string_view file, const std::string& what) {
  return std::string(file) + ": " + what;
}

std::string bytes_word(size_t n) {
  return std::to_string(n) + (n == 1 ? " byte" : " bytes");
}

const char* tag_name(int16_t tag) {
  return tag == plan_tag_integer ? "an integer" : "a double";
}

}  // namespace

bool decode_scenario_table(std::string_view bytes, std::string_view file, scenario_table* out,
                           std::string* error) {
  runtime::byte_cursor in{bytes};
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
    if (!in.has(scenario_entry_head_bytes)) {
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
    if (!in.has(n + scenario_entry_fixed_bytes - scenario_entry_head_bytes)) {
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
  runtime::byte_cursor in{bytes};
  for (size_t i = 0; i < cells; ++i) {
    track_cell& c = (*out)[i];
    const size_t start = in.at;
    c = get_track_cell(in);
    auto where = [&] { return "cell " + std::to_string(i) + " at byte " + std::to_string(start); };
    if (!is_known_kind(c.kind)) {
      *error = at_file(file, where() + " has kind " + std::to_string(c.kind) +
                                 ", which no object uses (0-6, 10-14)");
      return false;
    }
    // Cell 1 carries the stamps in w2 and w4, whatever its kind.
    if (i == 1) continue;
    if (c.kind == kind_station && (c.w2 < 1 || c.w2 >= first_board_entry)) {
      *error = at_file(file, where() + " is a station cell naming entry " + std::to_string(c.w2) +
                                 "; stations are entries 1 to 79");
      return false;
    }
    if (c.kind == kind_text_board && (c.w2 < 0 || c.w2 > first_board_entry)) {
      *error = at_file(file, where() + " is a text board naming entry " + std::to_string(c.w2) +
                                 "; board texts are entries 0 to 80");
      return false;
    }
  }
  return true;
}

line_plan_decoder::line_plan_decoder(std::string_view file, int32_t route_length,
                                     element_sink elements)
    : file_(file),
      route_length_(route_length),
      metres_(route_length < 0 ? SIZE_MAX / 4
                               : static_cast<size_t>(plan_last_metre(route_length)) + 1),
      element_(std::move(elements)) {}

void line_plan_decoder::fail(std::string message) {
  if (error_.empty() && !too_many_) error_ = std::move(message);
}

ptrdiff_t line_plan_decoder::take(std::string_view bytes) {
  runtime::byte_cursor in{bytes};
  if (!in.has(2)) return 0;
  plan_element e{};
  e.tag = in.i16();
  if (e.tag == plan_tag_integer || e.tag == plan_tag_double) {
    const size_t n = e.tag == plan_tag_integer ? 2 : 8;
    if (!in.has(n)) return 0;
    e.value = e.tag == plan_tag_integer ? in.i16() : in.f64();
    if (!std::isfinite(e.value)) {
      fail(at_file(file_, "the element at byte " + std::to_string(offset_) +
                              " is a double that is not a finite number"));
      return -1;
    }
  } else if (e.tag != plan_tag_empty) {
    fail(at_file(file_, "the element at byte " + std::to_string(offset_) + " has tag " +
                            std::to_string(e.tag) +
                            "; plan elements are tagged 0 (empty), 2 (integer) or 5 "
                            "(double)"));
    return -1;
  }
  // A plan holds 2 (M + 1) elements; reading stops at the first one too many.
  if (elements_ == 2 * metres_) {
    too_many_ = true;
    return -1;
  }
  run_[run_size_++] = e;
  ++elements_;
  if (run_size_ == run_.size()) hand_out();
  offset_ += in.at;
  return static_cast<ptrdiff_t>(in.at);
}

namespace {

// The n bytes at p as a little-endian number, whatever the host's order.
template <size_t n>
uint64_t little_at(const char* p) {
  unsigned char b[n];
  std::memcpy(b, p, n);
  uint64_t u = 0;
  for (size_t i = 0; i < n; ++i) u |= static_cast<uint64_t>(b[i]) << (8 * i);
  return u;
}

}  // namespace

size_t line_plan_decoder::take_run(std::string_view bytes) {
  // Only where the longest element fits whole: no element is looked at
  // twice, and none needs a check of its length. The loops compare pointers
  // and switch on the tag; a plan is millions of elements.
  if (bytes.size() < plan_element_bytes) return 0;
  const char* const begin = bytes.data();
  const char* const last = begin + (bytes.size() - plan_element_bytes);
  const char* p = begin;
  for (;;) {
    const size_t room = std::min(run_.size() - run_size_, 2 * metres_ - elements_);
    plan_element* const first = run_.data() + run_size_;
    plan_element* const end = first + room;
    plan_element* out = first;
    for (; out != end && p <= last; ++out) {
      const int16_t tag = static_cast<int16_t>(static_cast<uint16_t>(little_at<2>(p)));
      double value;
      switch (tag) {
        case plan_tag_empty:
          value = 0;
          p += 2;
          break;
        case plan_tag_integer:
          value = static_cast<int16_t>(static_cast<uint16_t>(little_at<2>(p + 2)));
          p += 4;
          break;
        case plan_tag_double: {
          const uint64_t u = little_at<8>(p + 2);
          std::memcpy(&value, &u, sizeof value);
          if (!std::isfinite(value)) goto stop;  // take() says where
          p += 10;
          break;
        }
        default:
          goto stop;  // take() names the tag
      }
      out->tag = tag;
      out->value = value;
    }
  stop:
    const size_t n = static_cast<size_t>(out - first);
    run_size_ += n;
    elements_ += n;
    if (run_size_ == run_.size()) hand_out();
    // On with a new run only when this one filled up.
    if (out != end || end != run_.data() + run_.size()) break;
  }
  const size_t used = static_cast<size_t>(p - begin);
  offset_ += used;
  return used;
}

void line_plan_decoder::hand_out() {
  if (run_size_ == 0) return;
  element_(elements_ - run_size_, std::span<const plan_element>(run_.data(), run_size_));
  run_size_ = 0;
}

bool line_plan_decoder::feed(std::string_view part) {
  // Past the two rows, the bytes are only counted, for the message.
  total_ += part.size();
  if (too_many_) return true;
  if (!error_.empty()) return false;
  const bool more = take_all(part);
  hand_out();
  return more;
}

bool line_plan_decoder::take_all(std::string_view part) {
  // An element cut by the end of the last part is completed first.
  while (!pending_.empty() && !part.empty()) {
    const size_t had = pending_.size();
    pending_.append(part.substr(0, 10));
    const ptrdiff_t n = take(pending_);
    if (n < 0) return too_many_;
    if (n == 0) {
      part.remove_prefix(pending_.size() - had);
      continue;
    }
    part.remove_prefix(static_cast<size_t>(n) - had);
    pending_.clear();
  }
  while (!part.empty()) {
    part.remove_prefix(take_run(part));
    if (part.empty()) break;
    const ptrdiff_t n = take(part);
    if (n < 0) return too_many_;
    if (n == 0) {
      pending_.assign(part);
      break;
    }
    part.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool line_plan_decoder::finish(std::string* error) {
  const size_t size = total_;
  if (too_many_) {
    *error =
        at_file(file_, "the plan's " + std::to_string(2 * metres_) +
                           " elements (two rows of metres 0 to " + std::to_string(metres_ - 1) +
                           " for a route of " + std::to_string(route_length_) + " m) end at byte " +
                           std::to_string(offset_) + " but the file has " + bytes_word(size));
    return false;
  }
  if (!error_.empty()) {
    *error = error_;
    return false;
  }
  if (!pending_.empty()) {
    const int16_t tag =
        runtime::byte_cursor{pending_}.has(2) ? runtime::byte_cursor{pending_}.i16() : 0;
    if (pending_.size() < 2)
      *error = at_file(file_, "the element at byte " + std::to_string(offset_) +
                                  " is cut short: its 2-byte tag has 1 byte");
    else
      *error = at_file(file_, "the element at byte " + std::to_string(offset_) + " holds " +
                                  tag_name(tag) + " and ends at byte " +
                                  std::to_string(offset_ + 2 + (tag == plan_tag_integer ? 2 : 8)) +
                                  " but the file has " + bytes_word(size));
    return false;
  }
  // No count is stored: the rows are the two halves of the elements.
  if (elements_ % 2 != 0) {
    *error = at_file(file_, "the file holds " + std::to_string(elements_) +
                                " elements, which cannot be two rows of equal length");
    return false;
  }
  const size_t per_row = elements_ / 2;
  if (route_length_ >= 0 && per_row != metres_) {
    *error =
        at_file(file_, "the file holds two rows of " + std::to_string(per_row) +
                           " elements but the route length of " + std::to_string(route_length_) +
                           " m needs " + std::to_string(metres_) + " (metres 0 to " +
                           std::to_string(metres_ - 1) + ")");
    return false;
  }
  return true;
}

bool decode_line_plan(std::string_view bytes, std::string_view file, int32_t route_length,
                      plan_rows* out, std::string* error) {
  if (route_length >= 0) {
    // The rows are known as the elements come: straight into them.
    const size_t metres = static_cast<size_t>(plan_last_metre(route_length)) + 1;
    plan_rows rows;
    reserve_plan_rows(rows, metres, bytes.size());
    line_plan_decoder decoder(file, route_length,
                              [&](size_t first, std::span<const plan_element> run) {
                                append_plan_run(rows, metres, first, run);
                              });
    decoder.feed(bytes);
    if (!decoder.finish(error)) return false;
    *out = std::move(rows);
    return true;
  }
  // Both rows, in file order, into row 0; row 1 split off once the count is
  // known.
  plan_rows rows;
  rows.row0.reserve(bytes.size() / 2);  // two bytes an element at least
  line_plan_decoder decoder(file, route_length, [&](size_t, std::span<const plan_element> run) {
    rows.row0.insert(rows.row0.end(), run.data(), run.data() + run.size());
  });
  decoder.feed(bytes);
  if (!decoder.finish(error)) return false;
  const auto middle = rows.row0.begin() + static_cast<std::ptrdiff_t>(decoder.per_row());
  rows.row1.assign(middle, rows.row0.end());
  rows.row0.erase(middle, rows.row0.end());
  *out = std::move(rows);
  return true;
}

void reserve_plan_rows(plan_rows& rows, size_t metres, size_t bytes) {
  const size_t most = bytes / 2;
  const size_t row0 = std::min(metres, most);
  rows.row0.reserve(row0);
  rows.row1.reserve(std::min(metres, most - row0));
}

void append_plan_run(plan_rows& rows, size_t metres, size_t first,
                     std::span<const plan_element> run) {
  // Pointers, not the span's iterators: the elements are copied as one block.
  const size_t in_row0 = first < metres ? std::min(run.size(), metres - first) : 0;
  const plan_element* const from = run.data();
  rows.row0.insert(rows.row0.end(), from, from + in_row0);
  rows.row1.insert(rows.row1.end(), from + in_row0, from + run.size());
}

int32_t sizing_route_length(const scenario_table& table) {
  const int32_t route = route_length(table);
  return route < 0 || route > longest_route ? -1 : route;
}

}  // namespace model
