#include "tool/package_summary.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <set>

#include "compiler/record_table.h"
#include "model/cell_words.h"
#include "model/check_codes.h"
#include "tool/json_writer.h"

namespace tool {

namespace {

constexpr double pi = 3.14159265358979323846;

object_field number(std::string key, int64_t v, std::string unit = "") {
  return {std::move(key), {v}, "", false, std::move(unit)};
}

object_field numbers(std::string key, std::vector<int64_t> v, std::string unit = "") {
  return {std::move(key), std::move(v), "", false, std::move(unit)};
}

object_field text(std::string key, std::string v) {
  return {std::move(key), {}, std::move(v), true, ""};
}

std::string entry_text(const model::package& p, int16_t entry) {
  return entry >= 0 && entry < model::scenario_entries ? p.table[static_cast<size_t>(entry)].text
                                                       : "";
}

// A record's field name as the record table gives it ("sx", "f_tt").
std::string field_name(compiler::record_kind kind, size_t index) {
  return std::string(compiler::field_of(kind, index).name);
}

// The values of the object in cell i, named as the fields of the record
// that lays them where a field is kept as it stands.
std::vector<object_field> object_fields(const model::package& p, int32_t i) {
  const compiler::record_kind signal = compiler::record_kind::signal,
                              restriction = compiler::record_kind::restriction;
  const model::track_cell& c = p.grid[static_cast<size_t>(i)];
  // In cell 1 the first two words are the stamps; an object there had them 0.
  const int16_t w2 = i == 1 ? 0 : c.w2;
  const int16_t w4 = i == 1 ? 0 : c.w4;
  switch (c.kind) {
    case model::kind_signal: {
      const model::signal_arrangement a = model::unpack_signal_arrangement(c.w8);
      const model::signal_aspect one = model::unpack_signal_aspect(w2),
                                 two = model::unpack_signal_aspect(w4),
                                 three = model::unpack_signal_aspect(c.w6);
      return {number(field_name(signal, 1), a.sx),   number(field_name(signal, 6), a.dx),
              numbers("s", {one.s, two.s, three.s}), numbers("d", {one.d, two.d, three.d}),
              number(field_name(signal, 5), a.rapp), number("time", c.b10)};
    }
    case model::kind_restriction_end:
    case model::kind_restriction_start:
      return {number(field_name(restriction, 1), w2, "km/h"),
              number(field_name(restriction, 5), w4), number(field_name(restriction, 3), c.w6)};
    case model::kind_restriction_warning:
      return {number(field_name(restriction, 1), w2, "km/h"),
              number(field_name(restriction, 5), w4)};
    case model::kind_countdown:
      return {number("count", w2), number(field_name(restriction, 5), w4)};
    case model::kind_speed_board: {
      const int16_t words[3] = {w2, w4, c.w6};
      std::vector<int64_t> s, d;
      for (int16_t w : words) {
        const model::board_speeds speeds = model::unpack_board_speeds(w);
        s.push_back(speeds.s_kmh);
        d.push_back(speeds.d_kmh);
      }
      const model::board_stripes stripes = model::unpack_board_stripes(c.w8);
      return {numbers("s", s, "km/h"), numbers("d", d, "km/h"),
              numbers("stripes", {stripes.s, stripes.d})};
    }
    case model::kind_station:
      return {number("entry", w2), text("name", entry_text(p, w2))};
    case model::kind_approach_marker:
      return {number("value", w2)};
    case model::kind_text_board:
      return {number("entry", w2), text("text", entry_text(p, w2))};
    default:
      return {};
  }
}

}  // namespace

package_checks check_package(const model::package& p) {
  package_checks c;
  c.line_stamp = p.table[model::entry_line].w24;
  c.code_st = p.table[model::entry_line].l40;
  if (p.grid.size() > 1) {
    c.cell_stamp = p.grid[1].w2;
    c.code_og = p.grid[1].w4;
  }
  c.computed_st = model::weighted_check_code(train_number_text(p.table), line_name_text(p.table));
  c.computed_og = model::plain_check_code(train_number_text(p.table), line_name_text(p.table));
  return c;
}

std::string kind_name(uint8_t kind) {
  switch (kind) {
    case model::kind_empty:
      return "none";
    case model::kind_signal:
      return "signal";
    case model::kind_restriction_end:
      return "restriction end";
    case model::kind_restriction_start:
      return "restriction start";
    case model::kind_restriction_warning:
      return "restriction warning";
    case model::kind_countdown:
      return "countdown";
    case model::kind_speed_board:
      return "speed board";
    case model::kind_station:
      return "station";
    case model::kind_mountain_marker:
      return "mountain marker";
    case model::kind_approach_marker:
      return "approach marker";
    case model::kind_plain_marker:
      return "plain marker";
    case model::kind_text_board:
      return "text board";
    default:
      return "kind " + std::to_string(kind);
  }
}

std::vector<cell_object> cell_objects(const model::package& p) {
  std::vector<cell_object> out;
  for (size_t i = 0; i < p.grid.size(); ++i) {
    const model::track_cell& c = p.grid[i];
    if (c.kind == model::kind_empty && c.b11 == 0) continue;
    cell_object o;
    o.cell = static_cast<int32_t>(i);
    o.kind = c.kind;
    o.mark = c.b11;
    o.metre = model::object_metre(o.cell, c.kind);
    o.fields = object_fields(p, o.cell);
    out.push_back(std::move(o));
  }
  return out;
}

std::vector<int> board_entries(const model::package& p) {
  std::set<int, std::greater<int>> entries;
  for (size_t i = 2; i < p.grid.size(); ++i)
    if (p.grid[i].kind == model::kind_text_board) entries.insert(p.grid[i].w2);
  return {entries.begin(), entries.end()};
}

std::vector<int> station_entries(const model::package& p) {
  std::set<int> boards;
  for (int e : board_entries(p)) boards.insert(e);
  std::vector<int> out;
  for (int e = 1; e <= model::first_board_entry; ++e)
    if (!boards.count(e) && model::entry_in_use(p.table[static_cast<size_t>(e)])) out.push_back(e);
  return out;
}

std::vector<stretch_run> stretch_runs(const model::track_grid& grid,
                                      uint8_t model::track_cell::*slot) {
  std::vector<stretch_run> runs;
  for (size_t i = 0; i < grid.size(); ++i) {
    const uint8_t v = grid[i].*slot;
    if (!runs.empty() && runs.back().raw == v)
      runs.back().last_cell = static_cast<int32_t>(i);
    else
      runs.push_back({static_cast<int32_t>(i), static_cast<int32_t>(i), v});
  }
  return runs;
}

namespace {

// The turn in degrees (clockwise positive, seen with north up) from the step
// (ae, an) to the step (be, bn). Each step is first brought near 1 by a
// power of two, which is exact, so that huge coordinates cannot overflow
// the products.
double turn_degrees(double ae, double an, double be, double bn) {
  auto unit = [](double& e, double& n) {
    const int k = std::ilogb(std::max(std::fabs(e), std::fabs(n)));
    e = std::ldexp(e, -k);
    n = std::ldexp(n, -k);
  };
  unit(ae, an);
  unit(be, bn);
  // Clockwise is a negative cross product.
  return -std::atan2(ae * bn - an * be, ae * be + an * bn) * 180 / pi;
}

}  // namespace

plan_geometry measure_plan(const model::plan_rows& plan) {
  const size_t metres = std::min(plan.row0.size(), plan.row1.size());
  const model::plan_element* const row0 = plan.row0.data();
  const model::plan_element* const row1 = plan.row1.data();
  // The measures are kept in local variables (registers) while the rows are
  // walked, and in two loops: up to the first finite point, which starts
  // the extent and the trace, and the rest, which tests nothing it need not.
  int32_t valued = 0, first_valued = -1, last_valued = -1;
  int32_t not_finite = 0, first_not_finite = -1;
  double min_east = 0, max_east = 0, min_north = 0, max_north = 0;
  double length = 0, net_turning = 0, absolute_turning = 0;
  // A valued metre whose value is not finite is counted and left out. (No
  // lambda: the variables it took would live on the stack, not in
  // registers.)
  size_t m = 0;
  double last_e = 0, last_n = 0;
  for (; m < metres; ++m) {
    if (row0[m].tag == model::plan_tag_empty || row1[m].tag == model::plan_tag_empty) continue;
    const double e = row0[m].value, n = row1[m].value;
    if (valued == 0) first_valued = static_cast<int32_t>(m);
    ++valued;
    last_valued = static_cast<int32_t>(m);
    if (!std::isfinite(e) || !std::isfinite(n)) {
      if (not_finite++ == 0) first_not_finite = static_cast<int32_t>(m);
      continue;
    }
    min_east = max_east = last_e = e;
    min_north = max_north = last_n = n;
    ++m;
    break;
  }
  bool have_step = false;
  double step_e = 0, step_n = 0;
  for (; m < metres; ++m) {
    if (row0[m].tag == model::plan_tag_empty || row1[m].tag == model::plan_tag_empty) continue;
    const double e = row0[m].value, n = row1[m].value;
    ++valued;
    last_valued = static_cast<int32_t>(m);
    if (!std::isfinite(e) || !std::isfinite(n)) {
      if (not_finite++ == 0) first_not_finite = static_cast<int32_t>(m);
      continue;
    }
    min_east = std::min(min_east, e);
    max_east = std::max(max_east, e);
    min_north = std::min(min_north, n);
    max_north = std::max(max_north, n);
    const double de = e - last_e, dn = n - last_n;
    const double len = std::hypot(de, dn);
    length += len;
    if (len > 0) {
      // A step too long for a double (inf) has no direction.
      const bool finite_step = std::isfinite(de) && std::isfinite(dn);
      if (have_step && finite_step) {
        const double turn = turn_degrees(step_e, step_n, de, dn);
        net_turning += turn;
        absolute_turning += std::fabs(turn);
      }
      step_e = de;
      step_n = dn;
      have_step = finite_step;
    }
    last_e = e;
    last_n = n;
  }
  plan_geometry g;
  g.metres = static_cast<int32_t>(plan.row0.size());
  g.valued = valued;
  g.first_valued = first_valued;
  g.last_valued = last_valued;
  g.not_finite = not_finite;
  g.first_not_finite = first_not_finite;
  g.min_east = min_east;
  g.max_east = max_east;
  g.min_north = min_north;
  g.max_north = max_north;
  g.length = length;
  g.net_turning = net_turning;
  g.absolute_turning = absolute_turning;
  return g;
}

std::vector<restriction_stretch> restriction_stretches(const model::package& p) {
  std::vector<restriction_stretch> out;
  for (size_t i = 2; i < p.grid.size(); ++i) {
    const model::track_cell& c = p.grid[i];
    if (c.kind == model::kind_restriction_start) {
      restriction_stretch r;
      r.start_cell = static_cast<int32_t>(i);
      r.start = model::object_metre(r.start_cell, c.kind);
      r.end = r.start;
      r.speed = c.w2;
      out.push_back(r);
    } else if (c.kind == model::kind_restriction_end) {
      // The end closes the latest start still open.
      for (size_t k = out.size(); k-- > 0;) {
        if (out[k].end_cell >= 0) break;
        out[k].end_cell = static_cast<int32_t>(i);
        out[k].end = model::object_metre(out[k].end_cell, c.kind);
        break;
      }
    }
  }
  return out;
}

std::string time_of_day(int64_t seconds) {
  const bool negative = seconds < 0;
  const int64_t s = negative ? -seconds : seconds;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%s%02lld:%02lld:%02lld", negative ? "-" : "",
                static_cast<long long>(s / 3600), static_cast<long long>(s / 60 % 60),
                static_cast<long long>(s % 60));
  return buf;
}

std::string clock_time(int h, int m, int s) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", h, m, s);
  return buf;
}

}  // namespace tool
