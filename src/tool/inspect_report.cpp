#include "tool/inspect_report.h"

#include <cmath>
#include <cstdio>
#include <ostream>

#include "runtime/windows1252.h"
#include "tool/json_writer.h"
#include "tool/package_summary.h"

namespace tool {

namespace {

// Characters of UTF-8 text, for padding columns.
size_t width(std::string_view utf8) {
  size_t n = 0;
  for (char c : utf8)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

std::string left(std::string_view s, size_t w) {
  std::string out(s);
  if (width(s) < w) out.append(w - width(s), ' ');
  return out;
}

std::string right(std::string_view s, size_t w) {
  std::string out;
  if (width(s) < w) out.append(w - width(s), ' ');
  out += s;
  return out;
}

std::string right(int64_t v, size_t w) {
  return right(std::to_string(v), w);
}

// A number with `decimals` decimals; one too large for that to be short (a
// damaged plan can hold 1e154) in scientific notation, and one that is not a
// number as "nan", "inf" or "-inf".
std::string decimal(double v, int decimals, bool with_sign) {
  if (std::isnan(v)) return "nan";
  if (std::isinf(v)) return v < 0 ? "-inf" : with_sign ? "+inf" : "inf";
  char buf[64];
  if (std::fabs(v) >= 1e15)
    std::snprintf(buf, sizeof buf, with_sign ? "%+.6g" : "%.6g", v);
  else
    std::snprintf(buf, sizeof buf, with_sign ? "%+.*f" : "%.*f", decimals, v);
  return buf;
}

std::string fixed(double v, int decimals) {
  return decimal(v, decimals, false);
}

std::string signed_fixed(double v, int decimals) {
  return decimal(v, decimals, true);
}

// Stored text (Windows-1252) for the terminal, in quotes.
std::string quoted(std::string_view stored) {
  return "\"" + runtime::printable(runtime::windows1252_to_utf8(stored)) + "\"";
}

std::string field_text(const object_field& f) {
  std::string v;
  if (f.is_text) {
    v = quoted(f.text);
  } else {
    for (size_t i = 0; i < f.numbers.size(); ++i)
      v += (i ? "/" : "") + std::to_string(f.numbers[i]);
  }
  if (!f.unit.empty()) v += " " + f.unit;
  return f.key + " " + v;
}

std::string fields_text(const std::vector<object_field>& fields) {
  std::string out;
  for (const object_field& f : fields) out += (out.empty() ? "" : "  ") + field_text(f);
  return out;
}

std::string run_span(const stretch_run& r) {
  return right(static_cast<int64_t>(r.first_cell) * 50, 9) + " .. " +
         right((static_cast<int64_t>(r.last_cell) + 1) * 50, 7) + " m";
}

std::string signal_repetition(const model::scenario_table& t) {
  if (repetition_codes(t) == 0) return "none";
  return std::to_string(repetition_start(t)) + " m to " + std::to_string(repetition_end(t)) +
         " m, " + std::to_string(repetition_codes(t)) + " codes";
}

void header_line(std::ostream& out, std::string_view label, const std::string& value) {
  out << "  " << left(label, 20) << value << "\n";
}

void write_header(std::ostream& out, const model::package& p) {
  const model::scenario_table& t = p.table;
  const package_checks checks = check_package(p);

  out << "Header\n";
  header_line(out, "line name", quoted(line_name_text(t)) + " (entry 85)");
  header_line(out, "train number", quoted(train_number_text(t)) + " (entry 86)");
  header_line(out, "route length",
              std::to_string(route_length(t)) + " m (grid cells 0 .. " +
                  std::to_string(p.grid.size() - 1) + ", plan metres 0 .. " +
                  std::to_string(p.plan.row0.size() - 1) + ")");
  header_line(out, "braked mass", std::to_string(braked_mass_percent(t)) + " %");
  header_line(out, "cars", std::to_string(car_count(t)));
  header_line(out, "backgrounds",
              "one " + std::to_string(background_one(t)) + ", two " +
                  std::to_string(background_two(t)) + ", three " +
                  std::to_string(background_three(t)));
  header_line(out, "signal repetition", signal_repetition(t));
  header_line(out, "sand", std::to_string(sand(t)));
  header_line(out, "clock", clock_time(clock_hour(t), clock_minute(t), clock_second(t)));
  header_line(
      out, "stamps",
      std::to_string(checks.line_stamp) + " in entry 85, " + std::to_string(checks.cell_stamp) +
          " in cell 1" +
          (checks.stamps_match() ? " (as expected)"
                                 : " (expected " + std::to_string(model::line_stamp_value) +
                                       " and " + std::to_string(model::cell_stamp_value) + ")"));
  header_line(out, "check codes",
              std::to_string(checks.code_st) + " in entry 85, " + std::to_string(checks.code_og) +
                  " in cell 1" +
                  (checks.codes_match() ? " (match the names)"
                                        : " (the names give " + std::to_string(checks.computed_st) +
                                              " and " + std::to_string(checks.computed_og) + ")"));
}

void write_ranges(std::ostream& out, const model::package& p) {
  out << "\nKilometric ranges\n"
      << "  entry  " << right("start m", 9) << right("reference m", 13) << right("flag", 6) << "\n";
  for (int i = model::entry_range_last; i <= model::entry_range_first; ++i) {
    const model::scenario_entry& e = p.table[static_cast<size_t>(i)];
    out << "  " << right(i, 5) << "  " << right(e.l4, 9) << right(e.l8, 13) << right(e.l12, 6)
        << "\n";
  }
}

void write_stations(std::ostream& out, const model::package& p) {
  const std::vector<int> entries = station_entries(p);
  size_t name_width = 4;
  for (int e : entries)
    name_width =
        std::max(name_width,
                 width(runtime::printable(runtime::windows1252_to_utf8(p.table[size_t(e)].text))));
  out << "\nStations (" << entries.size() << ")\n";
  if (entries.empty()) return;
  out << "  entry  " << left("name", name_width) << right("type", 6) << right("position", 10)
      << "  " << right("zone m", 17) << "  " << left("time", 9)
      << "  b16 b37 b36 w24 w26 b34 w28 w30 w32 b35\n";
  for (int i : entries) {
    const model::scenario_entry& e = p.table[static_cast<size_t>(i)];
    const std::string zone = right(e.l4, 7) + " .. " + right(e.l8, 6);
    out << "  " << right(i, 5) << "  "
        << left(runtime::printable(runtime::windows1252_to_utf8(e.text)), name_width)
        << right(e.b0, 6) << right(e.l12, 10) << "  " << zone << "  " << left(time_of_day(e.l40), 9)
        << " ";
    for (int64_t v :
         {int64_t{e.b16}, int64_t{e.b37}, int64_t{e.b36}, int64_t{e.w24}, int64_t{e.w26},
          int64_t{e.b34}, int64_t{e.w28}, int64_t{e.w30}, int64_t{e.w32}, int64_t{e.b35}})
      out << right(v, 4);
    out << "\n";
  }
}

// The cell of the text board that names entry e, or -1.
int32_t board_cell(const model::package& p, int e) {
  for (size_t i = 2; i < p.grid.size(); ++i)
    if (p.grid[i].kind == model::kind_text_board && p.grid[i].w2 == e)
      return static_cast<int32_t>(i);
  return -1;
}

void write_boards(std::ostream& out, const model::package& p) {
  const std::vector<int> entries = board_entries(p);
  out << "\nBoard texts (" << entries.size() << ")\n";
  if (entries.empty()) return;
  out << "  entry   cell    metre  text\n";
  for (int e : entries) {
    const int32_t cell = board_cell(p, e);
    out << "  " << right(e, 5) << right(cell, 7)
        << right(model::object_metre(cell, model::kind_text_board), 9) << "  "
        << quoted(p.table[static_cast<size_t>(e)].text) << "\n";
  }
}

void write_cells(std::ostream& out, const model::package& p) {
  const std::vector<cell_object> objects = cell_objects(p);
  out << "\nCells with an object or a mark (" << objects.size() << ")\n";
  if (objects.empty()) return;
  out << "  (metre: where the object stands; a station cell stands at its zone's end)\n"
      << "   cell    metre  " << left("object", 21) << "mark  values\n";
  for (const cell_object& o : objects) {
    std::string line = "  " + right(o.cell, 5) + right(o.metre, 9) + "  " +
                       left(o.kind ? kind_name(o.kind) : "-", 21) +
                       right(o.mark ? std::to_string(o.mark) : "", 4) + "  " +
                       fields_text(o.fields);
    while (!line.empty() && line.back() == ' ') line.pop_back();
    out << line << "\n";
  }
}

void write_runs(std::ostream& out, const model::package& p, const char* title,
                uint8_t model::track_cell::*slot, std::string (*value)(uint8_t), bool skip_zero) {
  out << "  " << title << "\n";
  for (const stretch_run& r : stretch_runs(p.grid, slot)) {
    if (skip_zero && r.raw == 0) continue;
    out << "  " << run_span(r) << "  " << value(r.raw) << "\n";
  }
}

void write_stretches(std::ostream& out, const model::package& p) {
  out << "\nStretches (cell k covers metres 50k .. 50k + 49)\n";
  write_runs(
      out, p, "Gradient", &model::track_cell::b14,
      [](uint8_t raw) {
        return gradient_set(raw) ? right(gradient_per_mille(raw), 5) + " per mille"
                                 : std::string("    - (not set)");
      },
      false);
  write_runs(
      out, p, "Mountains", &model::track_cell::b12,
      [](uint8_t raw) { return "type " + std::to_string(raw); }, true);
  write_runs(
      out, p, "Speed limit", &model::track_cell::b13,
      [](uint8_t raw) {
        return raw ? right(speed_kmh(raw), 5) + " km/h" : std::string("    - (not set)");
      },
      false);
  write_runs(
      out, p, "Adhesion", &model::track_cell::b15, [](uint8_t raw) { return right(raw, 5); },
      false);
}

void write_plan(std::ostream& out, const model::package& p) {
  const plan_geometry g = measure_plan(p.plan);
  out << "\nPlan\n";
  header_line(out, "metres", "0 .. " + std::to_string(g.metres - 1));
  if (g.valued == 0) {
    header_line(out, "values", "none");
    return;
  }
  header_line(out, "values",
              std::to_string(g.valued) + " metres, " + std::to_string(g.first_valued) + " .. " +
                  std::to_string(g.last_valued));
  if (g.not_finite > 0)
    header_line(out, "not finite",
                std::to_string(g.not_finite) + " metres, the first at " +
                    std::to_string(g.first_not_finite) + " (left out below)");
  if (!g.has_extent()) return;
  header_line(out, "east (row 0)", fixed(g.min_east, 1) + " .. " + fixed(g.max_east, 1) + " m");
  header_line(out, "north (row 1)", fixed(g.min_north, 1) + " .. " + fixed(g.max_north, 1) + " m");
  header_line(out, "length", fixed(g.length, 1) + " m along the trace");
  header_line(out, "turning",
              "net " + signed_fixed(g.net_turning, 1) + " degrees (clockwise positive), total " +
                  fixed(g.absolute_turning, 1) + " degrees");
}

// JSON members.

std::string json_key(const object_field& f) {
  if (f.unit == "km/h") return f.key + "_kmh";
  return f.key;
}

void json_fields(json_writer& w, const std::vector<object_field>& fields) {
  for (const object_field& f : fields) {
    w.key(json_key(f));
    if (f.is_text) {
      w.value(runtime::windows1252_to_utf8(f.text));
    } else if (f.numbers.size() == 1) {
      w.value(f.numbers[0]);
    } else {
      w.begin_array(true);
      for (int64_t v : f.numbers) w.value(v);
      w.end_array();
    }
  }
}

void json_file(json_writer& w, const char* role, const std::string& name, size_t bytes) {
  w.key(role);
  w.begin_object(true);
  w.member("name", name);
  w.member("bytes", static_cast<int64_t>(bytes));
  w.end_object();
}

void json_header(json_writer& w, const model::package& p) {
  const model::scenario_table& t = p.table;
  w.key("header");
  w.begin_object();
  w.member("line_name", runtime::windows1252_to_utf8(line_name_text(t)));
  w.member("train_number", runtime::windows1252_to_utf8(train_number_text(t)));
  w.member("route_length_m", route_length(t));
  w.member("grid_cells", static_cast<int64_t>(p.grid.size()));
  w.member("braked_mass_percent", braked_mass_percent(t));
  w.member("cars", car_count(t));
  w.key("backgrounds");
  w.begin_object(true);
  w.member("one", background_one(t));
  w.member("two", background_two(t));
  w.member("three", background_three(t));
  w.end_object();
  w.key("signal_repetition");
  w.begin_object(true);
  w.member("start_m", repetition_start(t));
  w.member("end_m", repetition_end(t));
  w.member("codes", repetition_codes(t));
  w.end_object();
  w.member("sand", int32_t{sand(t)});
  w.member("clock", clock_time(clock_hour(t), clock_minute(t), clock_second(t)));
  w.end_object();

  const package_checks c = check_package(p);
  w.key("stamps");
  w.begin_object(true);
  w.member("entry85_w24", int32_t{c.line_stamp});
  w.member("cell1_w2", int32_t{c.cell_stamp});
  w.member("match", c.stamps_match());
  w.end_object();
  w.key("check_codes");
  w.begin_object(true);
  w.member("entry85_l40", c.code_st);
  w.member("computed_st", c.computed_st);
  w.member("cell1_w4", int32_t{c.code_og});
  w.member("computed_og", int32_t{c.computed_og});
  w.member("match", c.codes_match());
  w.end_object();
}

void json_tables(json_writer& w, const model::package& p) {
  w.key("kilometric_ranges");
  w.begin_array();
  for (int i = model::entry_range_last; i <= model::entry_range_first; ++i) {
    const model::scenario_entry& e = p.table[static_cast<size_t>(i)];
    w.begin_object(true);
    w.member("entry", i);
    w.member("start_m", e.l4);
    w.member("reference_m", e.l8);
    w.member("flag", e.l12);
    w.end_object();
  }
  w.end_array();

  w.key("stations");
  w.begin_array();
  for (int i : station_entries(p)) {
    const model::scenario_entry& e = p.table[static_cast<size_t>(i)];
    w.begin_object(true);
    w.member("entry", i);
    w.member("name", runtime::windows1252_to_utf8(e.text));
    w.member("type", int32_t{e.b0});
    w.member("position_m", e.l12);
    w.member("zone_start_m", e.l4);
    w.member("zone_end_m", e.l8);
    w.member("time", time_of_day(e.l40));
    w.member("time_s", e.l40);
    const std::pair<const char*, int32_t> others[] = {
        {"b16", e.b16}, {"b37", e.b37}, {"b36", e.b36}, {"w24", e.w24}, {"w26", e.w26},
        {"b34", e.b34}, {"w28", e.w28}, {"w30", e.w30}, {"w32", e.w32}, {"b35", e.b35}};
    for (const auto& [name, v] : others) {
      w.member(name, v);
    }
    w.end_object();
  }
  w.end_array();

  w.key("board_texts");
  w.begin_array();
  for (int e : board_entries(p)) {
    w.begin_object(true);
    w.member("entry", e);
    w.member("cell", board_cell(p, e));
    w.member("text", runtime::windows1252_to_utf8(p.table[static_cast<size_t>(e)].text));
    w.end_object();
  }
  w.end_array();
}

void json_cells(json_writer& w, const model::package& p) {
  w.key("cells");
  w.begin_array();
  for (const cell_object& o : cell_objects(p)) {
    w.begin_object(true);
    w.member("cell", o.cell);
    w.member("metre", o.metre);
    w.member("kind", int32_t{o.kind});
    w.key("object");
    if (o.kind)
      w.value(kind_name(o.kind));
    else
      w.null();
    w.member("mark", int32_t{o.mark});
    json_fields(w, o.fields);
    w.end_object();
  }
  w.end_array();
}

void json_runs(json_writer& w, const model::package& p, const char* name,
               uint8_t model::track_cell::*slot, const char* value_key, bool skip_zero,
               void (*value)(json_writer&, uint8_t)) {
  w.key(name);
  w.begin_array();
  for (const stretch_run& r : stretch_runs(p.grid, slot)) {
    if (skip_zero && r.raw == 0) continue;
    w.begin_object(true);
    w.member("from_m", static_cast<int64_t>(r.first_cell) * 50);
    w.member("to_m", (static_cast<int64_t>(r.last_cell) + 1) * 50);
    w.key(value_key);
    value(w, r.raw);
    w.end_object();
  }
  w.end_array();
}

void json_stretches(json_writer& w, const model::package& p) {
  w.key("stretches");
  w.begin_object();
  json_runs(w, p, "gradient", &model::track_cell::b14, "per_mille", false,
            [](json_writer& j, uint8_t r) {
              if (gradient_set(r))
                j.value(gradient_per_mille(r));
              else
                j.null();
            });
  json_runs(w, p, "mountains", &model::track_cell::b12, "type", true,
            [](json_writer& j, uint8_t r) { j.value(int32_t{r}); });
  json_runs(w, p, "speed_limit", &model::track_cell::b13, "kmh", false,
            [](json_writer& j, uint8_t r) {
              if (r)
                j.value(speed_kmh(r));
              else
                j.null();
            });
  json_runs(w, p, "adhesion", &model::track_cell::b15, "value", false,
            [](json_writer& j, uint8_t r) { j.value(int32_t{r}); });
  w.end_object();
}

void json_plan(json_writer& w, const model::package& p) {
  const plan_geometry g = measure_plan(p.plan);
  w.key("plan");
  w.begin_object();
  w.member("metres", g.metres);
  w.member("valued_metres", g.valued);
  w.member("first_valued_metre", g.first_valued);
  w.member("last_valued_metre", g.last_valued);
  w.member("not_finite_metres", g.not_finite);
  w.member("first_not_finite_metre", g.first_not_finite);
  for (const auto& [name, v] : {std::pair{"east_min_m", g.min_east},
                                {"east_max_m", g.max_east},
                                {"north_min_m", g.min_north},
                                {"north_max_m", g.max_north}}) {
    w.key(name);
    if (g.has_extent())
      w.value(v);
    else
      w.null();
  }
  w.member("length_m", g.length);
  w.member("net_turning_deg", g.net_turning);
  w.member("absolute_turning_deg", g.absolute_turning);
  w.end_object();
}

}  // namespace

void write_inspection_text(std::ostream& out, const model::package& p) {
  out << runtime::printable(p.identity.line_name) << ", train "
      << runtime::printable(p.identity.train_number) << " (" << runtime::printable(p.directory)
      << ")\n";
  for (const auto& [name, bytes] :
       {std::pair{&p.plan_file, p.plan_bytes}, std::pair{&p.table_file, p.table_bytes},
        std::pair{&p.grid_file, p.grid_bytes}})
    out << "  " << left(runtime::printable(*name), 36) << right(static_cast<int64_t>(bytes), 9)
        << " bytes\n";
  out << "\n";
  write_header(out, p);
  write_ranges(out, p);
  write_stations(out, p);
  write_boards(out, p);
  write_cells(out, p);
  write_stretches(out, p);
  write_plan(out, p);
}

std::string inspection_json(const model::package& p) {
  json_writer w;
  w.begin_object();
  w.member("line_name", p.identity.line_name);
  w.member("train_number", p.identity.train_number);
  w.member("directory", p.directory);
  w.key("files");
  w.begin_object();
  json_file(w, "plan", p.plan_file, p.plan_bytes);
  json_file(w, "table", p.table_file, p.table_bytes);
  json_file(w, "grid", p.grid_file, p.grid_bytes);
  w.end_object();
  json_header(w, p);
  json_tables(w, p);
  json_cells(w, p);
  json_stretches(w, p);
  json_plan(w, p);
  w.end_object();
  return w.out;
}

}  // namespace tool
