#include "tool/html_view.h"

#include <cmath>
#include <string_view>

#include "runtime/windows1252.h"
#include "tool/json_writer.h"
#include "tool/package_summary.h"
#include "tool/svg_drawing.h"
#include "tool/view_assets.h"

namespace {

std::string origin_text(const view_sources& s, const record_origin& o) {
  if (o.line == 0) return o.keyword;
  const std::string& file =
      o.document == source_document::line_description ? s.line_description : s.train_document;
  return file + ":" + std::to_string(o.line) + ":" + std::to_string(o.column) + " (" +
         windows1252_to_utf8(o.keyword) + ")";
}

void write_data(json_writer& w, const package& p, const view_sources& s) {
  const std::vector<kilometric_range> ranges = kilometric_ranges(p.table);
  w.begin_object();
  w.member("line", windows1252_to_utf8(p.table[entry_line].text));
  w.member("train", windows1252_to_utf8(p.table[entry_train].text));
  w.member("route_length", static_cast<int64_t>(p.table[entry_route].l8));
  w.member("with_origins", s.origins != nullptr);
  w.key("ranges");
  w.begin_array(true);
  for (const kilometric_range& r : ranges) {
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
    const track_cell& c = p.grid[static_cast<size_t>(o.cell)];
    w.begin_object(true);
    w.member("cell", static_cast<int64_t>(o.cell));
    w.member("kind", o.kind ? kind_name(o.kind) : std::string("mark only"));
    w.member("metre", static_cast<int64_t>(o.metre));
    w.member("km", kilometre_mark(line_metre(ranges, o.metre)));
    w.key("values");
    w.begin_array(true);
    for (const object_field& f : o.fields) {
      std::string v;
      if (f.is_text) {
        v = windows1252_to_utf8(f.text);
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
    w.end_object();
  }
  w.end_array();

  w.key("stations");
  w.begin_array();
  for (int e : station_entries(p)) {
    const scenario_entry& st = p.table[static_cast<size_t>(e)];
    w.begin_object(true);
    w.member("entry", static_cast<int64_t>(e));
    w.member("name", windows1252_to_utf8(st.text));
    w.member("type", static_cast<int64_t>(st.b0));
    w.member("metre", static_cast<int64_t>(st.l12));
    w.member("km", kilometre_mark(line_metre(ranges, st.l12)));
    w.member("zone", std::to_string(st.l4) + " .. " + std::to_string(st.l8) + " m");
    w.member("time", st.l40 != 0 ? time_of_day(st.l40) : std::string());
    if (s.origins) w.member("origin", origin_text(s, s.origins->entries[static_cast<size_t>(e)]));
    w.end_object();
  }
  w.end_array();

  // The plan's trace, for following the shown stretch on the plan.
  const plan_trace trace =
      p.plan.row0.empty() && p.plan.row1.empty() ? p.trace : trace_plan(p.plan);
  w.key("plan");
  w.begin_object();
  for (auto [key, which] : {std::pair{"m", 0}, std::pair{"e", 1}, std::pair{"n", 2}}) {
    w.key(key);
    w.begin_array(true);
    for (size_t i = 0; i < trace.size(); ++i) {
      if (which == 0)
        w.value(static_cast<int64_t>(trace.metre[i]));
      else
        w.value(std::round((which == 1 ? trace.east[i] : trace.north[i]) * 10) / 10);
    }
    w.end_array();
  }
  w.end_object();
  w.end_object();
}

}  // namespace

std::string view_page(const package& p, const view_sources& sources) {
  const std::string title = windows1252_to_utf8(p.table[entry_line].text) + " \u2014 train " +
                            windows1252_to_utf8(p.table[entry_train].text);
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
          "<form id=\"search\"><input id=\"query\" type=\"search\" "
          "placeholder=\"station or km (86+550)\" aria-label=\"find a station or a kilometre\">"
          "<button type=\"submit\">find</button></form>\n"
          "<span id=\"status\" role=\"status\"></span>\n<span id=\"shown\"></span>\n</header>\n"
          "<main>\n<div id=\"drawing\">\n";
  std::string svg = draw_package(p);
  svg.erase(0, svg.find("<svg"));  // inline, without the XML declaration
  page += svg;
  page +=
      "</div>\n<aside>\n<table id=\"stations\">\n<thead><tr><th>station</th><th>km</th>"
      "<th>time</th></tr></thead>\n<tbody>\n";
  const std::vector<kilometric_range> ranges = kilometric_ranges(p.table);
  for (int e : station_entries(p)) {
    const scenario_entry& st = p.table[static_cast<size_t>(e)];
    page += "<tr data-station=\"" + std::to_string(e) + "\" data-metre=\"" +
            std::to_string(st.l12) + "\"><td>" + markup_text(windows1252_to_utf8(st.text)) +
            "</td><td>" + kilometre_mark(line_metre(ranges, st.l12)) + "</td><td>" +
            (st.l40 != 0 ? time_of_day(st.l40).substr(0, 5) : "") + "</td></tr>\n";
  }
  page += "</tbody>\n</table>\n</aside>\n</main>\n<div id=\"tip\" hidden></div>\n";
  json_writer w;
  write_data(w, p, sources);
  // Inside a script element, "<" must not start "</script>".
  std::string data;
  for (char c : w.out) data += c == '<' ? std::string("\\u003c") : std::string(1, c);
  page += "<script id=\"data\" type=\"application/json\">\n" + data + "\n</script>\n";
  page += "<script>\n" + std::string(view_script) + "</script>\n</body>\n</html>\n";
  return page;
}
