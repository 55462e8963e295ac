#include "tool/html_view.h"

#include <cmath>
#include <string_view>

#include "runtime/windows1252.h"
#include "tool/json_writer.h"
#include "tool/package_summary.h"
#include "tool/svg_drawing.h"
#include "tool/view_assets.h"

namespace tool {

namespace {

std::string origin_text(const view_sources& s, const compiler::record_origin& o) {
  if (o.line == 0) return o.keyword;
  const std::string& file = o.document == compiler::source_document::line_description
                                ? s.line_description
                                : s.train_document;
  return file + ":" + std::to_string(o.line) + ":" + std::to_string(o.column) + " (" +
         runtime::windows1252_to_utf8(o.keyword) + ")";
}

void write_data(json_writer& w, const model::package& p, const view_sources& s) {
  const std::vector<model::kilometric_range> ranges = model::kilometric_ranges(p.table);
  w.begin_object();
  w.member("line", runtime::windows1252_to_utf8(p.table[model::entry_line].text));
  w.member("train", runtime::windows1252_to_utf8(p.table[model::entry_train].text));
  w.member("route_length", static_cast<int64_t>(p.table[model::entry_route].l8));
  w.member("with_origins", s.origins != nullptr);
  w.member("cells", static_cast<int64_t>(p.grid.size()));
  w.key("differences");
  w.begin_array();
  for (const std::string& d : s.differences) w.value(d);
  w.end_array();
  // The stretch bytes as runs of cells: [first, last, value].
  const auto runs = [&](const char* name, uint8_t model::track_cell::*slot, auto value) {
    w.key(name);
    w.begin_array(true);
    for (const stretch_run& r : stretch_runs(p.grid, slot)) {
      w.begin_array(true);
      w.value(static_cast<int64_t>(r.first_cell));
      w.value(static_cast<int64_t>(r.last_cell));
      w.value(static_cast<int64_t>(value(r.raw)));
      w.end_array();
    }
    w.end_array();
  };
  runs("speed", &model::track_cell::b13, [](uint8_t raw) { return speed_kmh(raw); });
  // A gradient byte of 0 (a cell the compile never reached) is written as
  // -1000: no gradient.
  runs("gradient", &model::track_cell::b14,
       [](uint8_t raw) { return gradient_set(raw) ? gradient_per_mille(raw) : -1000; });
  runs("mountain", &model::track_cell::b12, [](uint8_t raw) { return static_cast<int>(raw); });
  w.key("restrictions");
  w.begin_array(true);
  for (const restriction_stretch& r : restriction_stretches(p)) {
    if (r.end_cell < 0 || r.speed <= 0) continue;
    w.begin_array(true);
    w.value(static_cast<int64_t>(r.start));
    w.value(static_cast<int64_t>(r.end));
    w.value(static_cast<int64_t>(r.speed));
    w.end_array();
  }
  w.end_array();
  w.key("ranges");
  w.begin_array(true);
  for (const model::kilometric_range& r : ranges) {
    w.begin_object(true);
    w.member("start", static_cast<int64_t>(r.start));
    w.member("reference", r.reference);
    w.member("entry", static_cast<int64_t>(r.entry));
    w.end_object();
  }
  w.end_array();

  w.key("objects");
  w.begin_array();
  for (const cell_object& o : cell_objects(p)) {
    // The stretch bytes in force at the object's own metre, as the profiles
    // draw them (cell k covers metres 50 k .. 50 k + 50), not those of the
    // cell that holds it.
    const size_t at = std::min(static_cast<size_t>(std::max(o.metre, 0) / 50), p.grid.size() - 1);
    const model::track_cell& c = p.grid[at];
    w.begin_object(true);
    w.member("cell", static_cast<int64_t>(o.cell));
    w.member("kind", o.kind ? kind_name(o.kind) : std::string("mark only"));
    w.member("metre", static_cast<int64_t>(o.metre));
    w.member("km", model::kilometre_mark(model::line_metre(ranges, o.metre)));
    w.key("values");
    w.begin_array(true);
    for (const object_field& f : o.fields) {
      std::string v;
      if (f.is_text) {
        v = runtime::windows1252_to_utf8(f.text);
      } else {
        for (int64_t n : f.numbers) v += (v.empty() ? "" : "/") + std::to_string(n);
        if (!f.unit.empty()) v += " " + f.unit;
      }
      w.begin_array(true);
      w.value(f.key);
      w.value(v);
      w.end_array();
    }
    w.end_array();
    w.member("mark", static_cast<int64_t>(o.mark));
    w.member("speed_kmh", static_cast<int64_t>(speed_kmh(c.b13)));
    w.member("gradient", static_cast<int64_t>(gradient_per_mille(c.b14)));
    w.member("adhesion", static_cast<int64_t>(c.b15));
    w.member("mountain", static_cast<int64_t>(c.b12));
    if (s.origins && static_cast<size_t>(o.cell) < s.origins->cells.size())
      w.member("origin", origin_text(s, s.origins->cells[static_cast<size_t>(o.cell)]));
    // The record of a mark that another record laid over the object.
    if (s.origins && o.mark != 0 && o.kind != 0 &&
        static_cast<size_t>(o.cell) < s.origins->marks.size())
      w.member("mark_origin", origin_text(s, s.origins->marks[static_cast<size_t>(o.cell)]));
    w.end_object();
  }
  w.end_array();

  w.key("stations");
  w.begin_array();
  for (int e : station_entries(p)) {
    const model::scenario_entry& st = p.table[static_cast<size_t>(e)];
    w.begin_object(true);
    w.member("entry", static_cast<int64_t>(e));
    w.member("name", runtime::windows1252_to_utf8(st.text));
    w.member("type", static_cast<int64_t>(st.b0));
    w.member("metre", static_cast<int64_t>(st.l12));
    w.member("km", model::kilometre_mark(model::line_metre(ranges, st.l12)));
    w.member("zone", std::to_string(st.l4) + " .. " + std::to_string(st.l8) + " m");
    w.member("time", st.l40 != 0 ? time_of_day(st.l40) : std::string());
    if (s.origins) w.member("origin", origin_text(s, s.origins->entries[static_cast<size_t>(e)]));
    w.end_object();
  }
  w.end_array();

  // The plan's trace, to the millimetre: the page draws the plan of the
  // stretch shown from it, magnified.
  const model::plan_trace trace =
      p.plan.row0.empty() && p.plan.row1.empty() ? p.trace : model::trace_plan(p.plan);
  w.key("plan");
  w.begin_object();
  for (auto [key, which] : {std::pair{"m", 0}, std::pair{"e", 1}, std::pair{"n", 2}}) {
    w.key(key);
    w.begin_array(true);
    for (size_t i = 0; i < trace.size(); ++i) {
      if (which == 0)
        w.value(static_cast<int64_t>(trace.metre[i]));
      else
        w.value(std::round((which == 1 ? trace.east[i] : trace.north[i]) * 1000) / 1000);
    }
    w.end_array();
  }
  w.end_object();
  w.end_object();
}

}  // namespace

std::string view_page(const model::package& p, const view_sources& sources) {
  const std::string title = runtime::windows1252_to_utf8(p.table[model::entry_line].text) +
                            " \u2014 train " +
                            runtime::windows1252_to_utf8(p.table[model::entry_train].text);
  std::string page =
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<title>" +
      markup_text(title) + "</title>\n<style>\n" + std::string(view_style) + "</style>\n</head>\n";
  page += "<body>\n<header>\n<strong>" + markup_text(title) +
          "</strong>\n"
          "<button id=\"fit\" type=\"button\" title=\"show the whole line (key 0)\">fit</button>\n"
          "<button id=\"zoom-in\" type=\"button\" title=\"zoom in (key +)\">+</button>\n"
          "<button id=\"zoom-out\" type=\"button\" title=\"zoom out (key -)\">\u2212</button>\n"
          "<button id=\"measure\" type=\"button\" aria-pressed=\"false\" "
          "title=\"measure between two points (key m)\">measure</button>\n"
          "<button id=\"export-svg\" type=\"button\" title=\"save the stretch shown as SVG\">"
          "SVG</button>\n"
          "<button id=\"export-png\" type=\"button\" title=\"save the stretch shown as PNG\">"
          "PNG</button>\n"
          "<form id=\"search\"><input id=\"query\" type=\"search\" "
          "placeholder=\"station or km (86+550)\" aria-label=\"find a station or a kilometre\">"
          "<button type=\"submit\">find</button></form>\n"
          "<span id=\"status\" role=\"status\"></span>\n<span id=\"readout\"></span>\n"
          "<span id=\"shown\"></span>\n</header>\n";
  if (!sources.differences.empty()) {
    page +=
        "<div id=\"warning\" role=\"alert\"><strong>The documents given do not compile into "
        "this package</strong>, so the page names no records. They differ in:<ul>\n";
    for (const std::string& d : sources.differences) page += "<li>" + markup_text(d) + "</li>\n";
    page += "</ul></div>\n";
  }
  page +=
      "<main>\n<section id=\"plan-panel\"><svg id=\"plan\" role=\"img\" aria-label=\"plan of the "
      "line\"></svg></section>\n"
      "<section id=\"overview-panel\"><svg id=\"overview\" role=\"img\" aria-label=\"where the "
      "stretch shown lies\"></svg></section>\n"
      "<section id=\"track-panel\"><svg id=\"track\" tabindex=\"0\" role=\"application\" "
      "aria-label=\"the route: arrows choose an object, Enter shows it\"></svg></section>\n"
      "<aside>\n<table id=\"stations\">\n<thead><tr><th>station</th><th>km</th>"
      "<th>time</th></tr></thead>\n<tbody>\n";
  const std::vector<model::kilometric_range> ranges = model::kilometric_ranges(p.table);
  for (int e : station_entries(p)) {
    const model::scenario_entry& st = p.table[static_cast<size_t>(e)];
    page += "<tr data-station=\"" + std::to_string(e) + "\" data-metre=\"" +
            std::to_string(st.l12) + "\"><td>" +
            markup_text(runtime::windows1252_to_utf8(st.text)) + "</td><td>" +
            model::kilometre_mark(model::line_metre(ranges, st.l12)) + "</td><td>" +
            (st.l40 != 0 ? time_of_day(st.l40).substr(0, 5) : "") + "</td></tr>\n";
  }
  page += "</tbody>\n</table>\n</aside>\n</main>\n<div id=\"tip\" hidden></div>\n";
  json_writer w;
  write_data(w, p, sources);
  // Inside a script element, "<" must not start "</script>".
  std::string data;
  for (char c : w.out) data += c == '<' ? std::string("\\u003c") : std::string(1, c);
  page += "<script id=\"data\" type=\"application/json\">\n" + data + "\n</script>\n";
  page += "<script>\n(function () {\n" + std::string(view_script_base) +
          std::string(view_script_track) + std::string(view_script_plan) +
          std::string(view_script_input) + "})();\n</script>\n</body>\n</html>\n";
  return page;
}

}  // namespace tool
