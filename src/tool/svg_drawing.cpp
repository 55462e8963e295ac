#include "tool/svg_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "runtime/windows1252.h"
#include "tool/package_summary.h"

namespace {

// The page. The plan stands on the left; the profiles and the objects share
// one kilometre axis on the right.
constexpr double page_width = 1800;
constexpr double page_height = 1250;
constexpr double plan_left = 30, plan_right = 470, plan_top = 110, plan_bottom = 1215;
constexpr double axis_left = 640, axis_right = 1770;
constexpr double gradient_top = 110, gradient_bottom = 280;
constexpr double speed_top = 330, speed_bottom = 480;
constexpr double objects_top = 525;
// The lanes of the objects, from the top: label areas and glyph rows.
constexpr double station_labels = 668, station_band = 680;
constexpr double signal_row = 718;
constexpr double speed_labels = 790, speed_row = 800;
constexpr double board_labels = 965, board_row = 978;
constexpr double marker_row = 1008;
constexpr double mountain_top = 1025, mountain_bottom = 1043;
constexpr double legend_top = 1135;

constexpr const char* colour_trace = "#1f4e79";
constexpr const char* colour_beyond = "#9aa5b1";
constexpr const char* colour_station = "#b03a2e";
constexpr const char* colour_zone = "#f5cba7";
constexpr const char* colour_signal_1 = "#e67e22";
constexpr const char* colour_signal_2 = "#c0392b";
constexpr const char* colour_signal_other = "#7f8c8d";
constexpr const char* colour_speed_board = "#2e86c1";
constexpr const char* colour_text_board = "#566573";
constexpr const char* colour_restriction = "#d35400";
constexpr const char* colour_marker = "#8e44ad";
constexpr const char* colour_mountain = "#8d6e63";
constexpr const char* colour_climb = "#cd6155";
constexpr const char* colour_fall = "#5499c7";
constexpr const char* colour_speed = "#1b4f72";
constexpr const char* colour_grid = "#e5e8e8";
constexpr const char* colour_ink = "#1c2833";
constexpr const char* colour_faint = "#5d6d7e";

// The largest coordinate written: far outside the page, yet short.
constexpr double largest_coordinate = 1e7;

// A number as SVG wants it: at most one decimal, no trailing ".0". Whatever
// reaches here is drawn with finite numbers of a sane size; should anything
// else slip through, it is clamped rather than written as "nan" or as a
// number of hundreds of digits.
std::string num(double v) {
  if (std::isnan(v)) v = 0;
  v = std::clamp(v, -largest_coordinate, largest_coordinate);
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  std::string s = buf;
  if (s.size() > 2 && s.compare(s.size() - 2, 2, ".0") == 0) s.resize(s.size() - 2);
  if (s == "-0") s = "0";
  return s;
}

// UTF-8 text for an XML text node or attribute. Control characters, which
// XML does not allow, become '?'.
std::string xml(std::string_view utf8) {
  std::string out;
  for (char ch : utf8) {
    const unsigned char c = static_cast<unsigned char>(ch);
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        out += (c < 0x20 || c == 0x7F) ? '?' : ch;
    }
  }
  return out;
}

// Stored text (Windows-1252) for the drawing.
std::string stored(std::string_view text) {
  return xml(windows1252_to_utf8(text));
}

// A board text "(ONE)(TWO)(THREE)" as the lines it shows: "ONE · TWO · THREE".
std::string board_lines(std::string_view text) {
  std::string out;
  size_t i = 0;
  bool shaped = !text.empty();
  while (shaped && i < text.size()) {
    size_t close = text.find(')', i);
    if (text[i] != '(' || close == std::string_view::npos) {
      shaped = false;
      break;
    }
    if (!out.empty()) out += " \xB7 ";  // a middle dot between lines
    out += text.substr(i + 1, close - i - 1);
    i = close + 1;
  }
  return shaped ? out : std::string(text);
}

// The first `n` characters of UTF-8 text, with an ellipsis when cut.
std::string shortened(const std::string& utf8, size_t n) {
  size_t chars = 0;
  for (size_t i = 0; i < utf8.size(); ++i) {
    if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80) continue;
    if (chars++ == n) return utf8.substr(0, i) + "\u2026";
  }
  return utf8;
}

std::string text(double x, double y, const std::string& body, const std::string& style) {
  return "<text x=\"" + num(x) + "\" y=\"" + num(y) + "\" " + style + ">" + body + "</text>\n";
}

// A label turned to read upwards, its start at (x, y).
std::string upright_text(double x, double y, const std::string& body, const std::string& style) {
  return "<text transform=\"translate(" + num(x) + " " + num(y) + ") rotate(-90)\" " + style + ">" +
         body + "</text>\n";
}

std::string line(double x1, double y1, double x2, double y2, const std::string& style) {
  return "<line x1=\"" + num(x1) + "\" y1=\"" + num(y1) + "\" x2=\"" + num(x2) + "\" y2=\"" +
         num(y2) + "\" " + style + "/>\n";
}

std::string rect(double x, double y, double w, double h, const std::string& style) {
  return "<rect x=\"" + num(x) + "\" y=\"" + num(y) + "\" width=\"" + num(std::max(w, 0.0)) +
         "\" height=\"" + num(std::max(h, 0.0)) + "\" " + style + "/>\n";
}

std::string circle(double x, double y, double r, const std::string& style) {
  return "<circle cx=\"" + num(x) + "\" cy=\"" + num(y) + "\" r=\"" + num(r) + "\" " + style +
         "/>\n";
}

std::string polygon(const std::vector<std::pair<double, double>>& points,
                    const std::string& style) {
  std::string p;
  for (const auto& [x, y] : points) p += (p.empty() ? "" : " ") + num(x) + "," + num(y);
  return "<polygon points=\"" + p + "\" " + style + "/>\n";
}

std::string fill(const char* colour) {
  return std::string("fill=\"") + colour + "\"";
}

std::string stroke(const char* colour, double width) {
  return std::string("fill=\"none\" stroke=\"") + colour + "\" stroke-width=\"" + num(width) + "\"";
}

std::string font(double size, const char* colour = colour_ink, const char* anchor = "start") {
  return "font-size=\"" + num(size) + "\" fill=\"" + colour + "\" text-anchor=\"" + anchor + "\"";
}

// Hover text of a shape: the shape's opening tag gets a <title> child.
std::string with_title(const std::string& element, const std::string& title) {
  const size_t end = element.rfind("/>");
  return element.substr(0, end) + "><title>" + title + "</title></" +
         element.substr(1, element.find(' ') - 1) + ">\n";
}

// Moves the wanted positions (in ascending order) apart so that neighbours
// are at least `gap` apart, keeping them inside lo .. hi.
std::vector<double> spread(const std::vector<double>& want, double gap, double lo, double hi) {
  // Too many to fit: they overlap evenly rather than leave the range.
  if (want.size() > 1) gap = std::min(gap, (hi - lo) / static_cast<double>(want.size() - 1));
  std::vector<double> at = want;
  for (size_t i = 0; i < at.size(); ++i) {
    at[i] = std::max(at[i], lo);
    if (i > 0) at[i] = std::max(at[i], at[i - 1] + gap);
  }
  for (size_t i = at.size(); i-- > 0;) {
    at[i] = std::min(at[i], hi);
    if (i + 1 < at.size()) at[i] = std::min(at[i], at[i + 1] - gap);
  }
  return at;
}

// A step of 1, 2 or 5 times a power of ten that cuts `range` into at most
// `most` parts.
double nice_step(double range, int most) {
  double step = 1;
  while (range / step > most) {
    for (double f : {2.0, 2.5, 2.0}) {
      step *= f;
      if (range / step <= most) break;
    }
  }
  return step;
}

// Route metres to page x.
struct km_axis {
  double metres = 1;
  double x(double m) const { return axis_left + (axis_right - axis_left) * m / metres; }
};

struct drawing {
  const package& p;
  km_axis axis;
  int32_t route_length = 0;
  std::string svg;
};

void draw_title(drawing& d) {
  const std::string line_name = stored(d.p.table[entry_line].text);
  const std::string train = stored(d.p.table[entry_train].text);
  size_t signals = 0, speed_boards = 0, boards = 0;
  for (const track_cell& c : d.p.grid) {
    signals += c.kind == kind_signal;
    speed_boards += c.kind == kind_speed_board;
    boards += c.kind == kind_text_board;
  }
  char route[64];
  std::snprintf(route, sizeof route, "%.1f km", d.route_length / 1000.0);
  d.svg += text(30, 48, line_name + " \u2014 train " + train, font(28) + " font-weight=\"bold\"");
  auto count = [](size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
  };
  d.svg += text(30, 76,
                std::string("route ") + route + " \u00B7 " +
                    count(station_entries(d.p).size(), "station") + " \u00B7 " +
                    count(signals, "signal") + " \u00B7 " + count(speed_boards, "speed board") +
                    " \u00B7 " + count(boards, "text board"),
                font(15, colour_faint));
}

// The kilometre grid behind the profiles and the objects, and the labels
// of the axis.
void draw_axis(drawing& d) {
  const double km = d.axis.metres / 1000;
  const double step = nice_step(km, 24);
  for (double k = 0; k <= km + 1e-9; k += step) {
    const double x = d.axis.x(k * 1000);
    for (auto [top, bottom] :
         {std::pair{gradient_top, gradient_bottom}, std::pair{speed_top, speed_bottom},
          std::pair{objects_top, mountain_bottom}})
      d.svg += line(x, top, x, bottom, stroke(colour_grid, 1));
    d.svg += line(x, mountain_bottom + 4, x, mountain_bottom + 10, stroke(colour_ink, 1));
    d.svg += text(x, mountain_bottom + 24, num(k), font(11, colour_ink, "middle"));
  }
  d.svg +=
      line(axis_left, mountain_bottom + 4, axis_right, mountain_bottom + 4, stroke(colour_ink, 1));
  d.svg += text((axis_left + axis_right) / 2, mountain_bottom + 44, "route kilometre",
                font(12, colour_faint, "middle"));

  // The grid runs 7 km past the end of the route.
  const double end = d.axis.x(d.route_length);
  d.svg += line(end, gradient_top - 6, end, mountain_bottom + 4,
                stroke(colour_ink, 1) + " stroke-dasharray=\"5 4\"");
  d.svg += text(end + 4, gradient_top - 8, "end of route", font(11, colour_faint));
}

void draw_mountain_shading(drawing& d) {
  for (const stretch_run& r : stretch_runs(d.p.grid, &track_cell::b12)) {
    if (r.raw == 0) continue;
    const double x0 = d.axis.x(r.first_cell * 50.0);
    const double x1 = d.axis.x((r.last_cell + 1) * 50.0);
    const std::string title = "mountain type " + std::to_string(r.raw) + ", " +
                              std::to_string(r.first_cell * 50) + " .. " +
                              std::to_string((r.last_cell + 1) * 50) + " m";
    for (auto [top, bottom] :
         {std::pair{gradient_top, gradient_bottom}, std::pair{speed_top, speed_bottom}})
      d.svg +=
          rect(x0, top, x1 - x0, bottom - top, fill(colour_mountain) + " fill-opacity=\"0.12\"");
    d.svg +=
        with_title(rect(x0, mountain_top, std::max(x1 - x0, 1.0), mountain_bottom - mountain_top,
                        fill(colour_mountain) + " fill-opacity=\"0.75\""),
                   title);
  }
}

void panel_title(drawing& d, double y, const std::string& title) {
  d.svg += text(axis_left, y - 10, title, font(14) + " font-weight=\"bold\"");
}

void draw_gradient(drawing& d) {
  panel_title(d, gradient_top, "Gradient (per mille)");
  int most = 5;
  const auto runs = stretch_runs(d.p.grid, &track_cell::b14);
  for (const stretch_run& r : runs)
    if (gradient_set(r.raw)) most = std::max(most, std::abs(gradient_per_mille(r.raw)));
  const double limit = std::ceil(most / 5.0) * 5;
  const double mid = (gradient_top + gradient_bottom) / 2;
  const double scale = (gradient_bottom - gradient_top) / 2 / limit;
  const double step = nice_step(limit, 3);
  for (double v = -limit; v <= limit + 1e-9; v += step) {
    const double y = mid - v * scale;
    d.svg += line(axis_left, y, axis_right, y,
                  stroke(v == 0 ? colour_faint : colour_grid, v == 0 ? 1 : 0.8));
    d.svg += text(axis_left - 8, y + 4, num(v), font(11, colour_faint, "end"));
  }
  for (const stretch_run& r : runs) {
    if (!gradient_set(r.raw) || gradient_per_mille(r.raw) == 0) continue;
    const int g = gradient_per_mille(r.raw);
    const double x0 = d.axis.x(r.first_cell * 50.0);
    const double x1 = d.axis.x((r.last_cell + 1) * 50.0);
    const double y = mid - g * scale;
    d.svg += with_title(rect(x0, std::min(y, mid), x1 - x0, std::fabs(y - mid),
                             fill(g > 0 ? colour_climb : colour_fall)),
                        std::to_string(g) + " per mille, " + std::to_string(r.first_cell * 50) +
                            " .. " + std::to_string((r.last_cell + 1) * 50) + " m");
  }
  d.svg += text(axis_left - 48, gradient_top + 12, "climb", font(11, colour_climb, "end"));
  d.svg += text(axis_left - 48, gradient_bottom - 4, "fall", font(11, colour_fall, "end"));
}

void draw_speed(drawing& d) {
  panel_title(d, speed_top, "Speed limit (km/h)");
  int most = 40;
  const auto runs = stretch_runs(d.p.grid, &track_cell::b13);
  for (const stretch_run& r : runs) most = std::max(most, speed_kmh(r.raw));
  const double step = nice_step(most, 5);
  const double limit = std::ceil(most / step) * step;
  const double scale = (speed_bottom - speed_top) / limit;
  for (double v = 0; v <= limit + 1e-9; v += step) {
    const double y = speed_bottom - v * scale;
    d.svg += line(axis_left, y, axis_right, y, stroke(v == 0 ? colour_faint : colour_grid, 0.8));
    d.svg += text(axis_left - 8, y + 4, num(v), font(11, colour_faint, "end"));
  }
  std::string path;
  std::string area;
  for (const stretch_run& r : runs) {
    if (r.raw == 0) continue;
    const double x0 = d.axis.x(r.first_cell * 50.0);
    const double x1 = d.axis.x((r.last_cell + 1) * 50.0);
    const double y = speed_bottom - speed_kmh(r.raw) * scale;
    path += (path.empty() ? "M" : " L") + num(x0) + " " + num(y) + " L" + num(x1) + " " + num(y);
    area += "M" + num(x0) + " " + num(speed_bottom) + " L" + num(x0) + " " + num(y) + " L" +
            num(x1) + " " + num(y) + " L" + num(x1) + " " + num(speed_bottom) + " Z ";
    if (x1 - x0 > 22)
      d.svg += text((x0 + x1) / 2, y - 4, std::to_string(speed_kmh(r.raw)),
                    font(10, colour_speed, "middle"));
  }
  if (!path.empty()) {
    d.svg += "<path d=\"" + area + "\" fill=\"#d6eaf8\"/>\n";
    d.svg += "<path d=\"" + path + "\" " + stroke(colour_speed, 2) + "/>\n";
  }
}

const char* signal_colour(const track_cell& c) {
  const int sx = c.w8 % 10 / 3;
  return sx == 1 ? colour_signal_1 : sx == 2 ? colour_signal_2 : colour_signal_other;
}

std::string signal_glyph(double x, double y, const char* colour) {
  return line(x, y + 12, x, y - 6, stroke(colour_ink, 1.2)) +
         circle(x, y - 9, 4, fill(colour) + " stroke=\"" + colour_ink + "\" stroke-width=\"0.8\"");
}

void lane_title(drawing& d, double y, const char* title) {
  d.svg += text(axis_left - 12, y + 4, title, font(12, colour_faint, "end"));
}

void draw_stations(drawing& d) {
  lane_title(d, station_band + 5, "stations");
  const std::vector<int> entries = station_entries(d.p);
  std::vector<double> want;
  for (int e : entries) want.push_back(d.axis.x(d.p.table[static_cast<size_t>(e)].l12));
  const std::vector<double> at = spread(want, 13, axis_left, axis_right);
  for (size_t i = 0; i < entries.size(); ++i) {
    const scenario_entry& e = d.p.table[static_cast<size_t>(entries[i])];
    const double z0 = d.axis.x(e.l4), z1 = d.axis.x(e.l8), x = want[i];
    d.svg += with_title(
        rect(z0, station_band, std::max(z1 - z0, 2.0), 10,
             fill(colour_zone) + " stroke=\"" + colour_station + "\" stroke-width=\"0.6\""),
        stored(e.text) + ": zone " + std::to_string(e.l4) + " .. " + std::to_string(e.l8) + " m");
    d.svg += line(x, station_band - 3, x, station_band + 13, stroke(colour_station, 2));
    d.svg += line(x, station_band - 3, at[i], station_labels + 4, stroke(colour_station, 0.6));
    std::string label = shortened(windows1252_to_utf8(e.text), 22);
    if (e.l40 != 0) label += " " + time_of_day(e.l40).substr(0, 5);
    d.svg += upright_text(at[i] + 4, station_labels, xml(label), font(11, colour_station));
  }
}

void draw_signals(drawing& d) {
  lane_title(d, signal_row, "signals");
  for (size_t i = 2; i < d.p.grid.size(); ++i) {
    const track_cell& c = d.p.grid[i];
    if (c.kind != kind_signal) continue;
    const int32_t metre = object_metre(static_cast<int32_t>(i), c.kind);
    d.svg += "<g><title>signal at " + std::to_string(metre) + " m, cell " + std::to_string(i) +
             "</title>\n" + signal_glyph(d.axis.x(metre), signal_row, signal_colour(c)) + "</g>\n";
  }
}

void draw_speed_boards(drawing& d) {
  lane_title(d, speed_row + 4, "speed boards");
  std::vector<double> want;
  std::vector<std::string> labels;
  for (const cell_object& o : cell_objects(d.p)) {
    if (o.kind != kind_speed_board) continue;
    want.push_back(d.axis.x(o.metre));
    std::string label;
    for (int64_t v : o.fields[0].numbers) label += (label.empty() ? "" : "/") + std::to_string(v);
    labels.push_back(label);
  }
  const std::vector<double> at = spread(want, 11, axis_left, axis_right);
  for (size_t i = 0; i < want.size(); ++i) {
    d.svg += rect(want[i] - 4, speed_row, 8, 8,
                  fill(colour_speed_board) + " stroke=\"" + colour_ink + "\" stroke-width=\"0.5\"");
    d.svg += line(want[i], speed_row, at[i], speed_labels + 2, stroke(colour_speed_board, 0.6));
    d.svg += upright_text(at[i] + 3.5, speed_labels, labels[i], font(10, colour_speed_board));
  }
}

void draw_text_boards(drawing& d) {
  lane_title(d, board_row + 4, "text boards");
  std::vector<double> want;
  std::vector<const cell_object*> boards;
  const std::vector<cell_object> objects = cell_objects(d.p);
  for (const cell_object& o : objects) {
    if (o.kind != kind_text_board) continue;
    want.push_back(d.axis.x(o.metre));
    boards.push_back(&o);
  }
  const std::vector<double> at = spread(want, 10, axis_left, axis_right);
  for (size_t i = 0; i < boards.size(); ++i) {
    const std::string full = windows1252_to_utf8(board_lines(boards[i]->fields[1].text));
    d.svg += with_title(rect(want[i] - 3.5, board_row, 7, 9,
                             "fill=\"#fdfefe\" stroke=\"" + std::string(colour_text_board) +
                                 "\" stroke-width=\"1\""),
                        xml(full) + " (" + std::to_string(boards[i]->metre) + " m)");
    d.svg += line(want[i], board_row, at[i], board_labels + 2, stroke(colour_text_board, 0.5));
    d.svg +=
        upright_text(at[i] + 3, board_labels, xml(shortened(full, 30)), font(9, colour_text_board));
  }
}

// Restriction cells and markers share one row.
void draw_markers(drawing& d) {
  lane_title(d, marker_row, "restrictions, markers");
  for (const cell_object& o : cell_objects(d.p)) {
    const double x = d.axis.x(o.metre), y = marker_row;
    std::string glyph;
    switch (o.kind) {
      case kind_restriction_warning:
        glyph = polygon({{x, y - 7}, {x + 6, y + 5}, {x - 6, y + 5}},
                        "fill=\"#f9e79f\" stroke=\"" + std::string(colour_restriction) + "\"");
        break;
      case kind_restriction_start:
        glyph = rect(x - 5, y - 5, 10, 10, fill(colour_restriction));
        break;
      case kind_restriction_end:
        glyph = rect(x - 5, y - 5, 10, 10,
                     "fill=\"#ffffff\" stroke=\"" + std::string(colour_restriction) +
                         "\" stroke-width=\"1.5\"");
        break;
      case kind_countdown:
        glyph = rect(x - 1.5, y - 6, 3, 12, fill(colour_restriction));
        break;
      case kind_approach_marker:
        glyph = polygon({{x, y - 5}, {x + 4, y}, {x, y + 5}, {x - 4, y}}, fill(colour_marker));
        break;
      case kind_plain_marker:
        glyph = polygon({{x, y - 5}, {x + 4, y}, {x, y + 5}, {x - 4, y}},
                        "fill=\"#ffffff\" stroke=\"" + std::string(colour_marker) + "\"");
        break;
      case kind_mountain_marker:
        glyph = line(x, y - 4, x, y + 4, stroke(colour_mountain, 1.5));
        break;
      default:
        continue;
    }
    std::string title = kind_name(o.kind) + " at " + std::to_string(o.metre) + " m";
    for (const object_field& f : o.fields)
      if (!f.is_text && f.numbers.size() == 1)
        title += ", " + f.key + " " + std::to_string(f.numbers[0]) +
                 (f.unit.empty() ? "" : " " + f.unit);
    d.svg += "<g><title>" + xml(title) + "</title>" + glyph + "</g>\n";
  }
  lane_title(d, (mountain_top + mountain_bottom) / 2, "mountains");
}

// The plan, scaled to fit its panel with north up. Only points with finite
// values are drawn.
void draw_plan(drawing& d) {
  d.svg += text(plan_left, plan_top - 10, "Plan (north up)", font(14) + " font-weight=\"bold\"");
  const plan_geometry g = measure_plan(d.p.plan);
  if (g.valued - g.not_finite < 2) {
    d.svg += text(plan_left, plan_top + 20, "the plan holds no trace", font(12, colour_faint));
    return;
  }
  // Room around the trace for the station names.
  const double left = plan_left + 60, right = plan_right - 150;
  const double top = plan_top + 20, bottom = plan_bottom - 70;
  const double w = std::max(g.max_east - g.min_east, 1.0);
  const double h = std::max(g.max_north - g.min_north, 1.0);
  const double scale = std::min((right - left) / w, (bottom - top) / h);
  if (!std::isfinite(w) || !std::isfinite(h) || !(scale > 0)) {
    d.svg +=
        text(plan_left, plan_top + 20, "the plan is too large to draw", font(12, colour_faint));
    return;
  }
  // Halves, so that the centre of a huge extent does not overflow.
  const double ox = (left + right) / 2 - (g.min_east / 2 + g.max_east / 2) * scale;
  const double oy = (top + bottom) / 2 + (g.min_north / 2 + g.max_north / 2) * scale;
  auto px = [&](double east) { return ox + east * scale; };
  auto py = [&](double north) { return oy - north * scale; };
  const plan_points plan(d.p.plan);

  // The trace, sampled at about 4000 metres along its span and at the
  // route's end; the part past the route's end in grey. A sample that finds
  // the same plan point as the one before adds nothing.
  const int32_t step = std::max(1, (g.last_valued - g.first_valued) / 4000);
  std::vector<int32_t> metres;
  for (int32_t m = g.first_valued; m < g.last_valued; m += step) metres.push_back(m);
  metres.push_back(g.last_valued);
  if (d.route_length > g.first_valued && d.route_length < g.last_valued)
    metres.push_back(d.route_length);
  std::sort(metres.begin(), metres.end());
  metres.erase(std::unique(metres.begin(), metres.end()), metres.end());
  std::string route_path, beyond_path;
  int64_t last_found = -1;
  for (int32_t m : metres) {
    double e, n;
    int64_t found;
    if (!plan.at(m, &e, &n, &found)) continue;
    if (found == last_found && m != d.route_length) continue;
    last_found = found;
    const std::string point = num(px(e)) + " " + num(py(n));
    if (m <= d.route_length) route_path += (route_path.empty() ? "M" : " L") + point;
    if (m >= d.route_length) beyond_path += (beyond_path.empty() ? "M" : " L") + point;
  }
  d.svg += "<path d=\"" + beyond_path + "\" " + stroke(colour_beyond, 2) +
           " stroke-dasharray=\"6 4\"/>\n";
  d.svg += "<path d=\"" + route_path + "\" " + stroke(colour_trace, 3) +
           " stroke-linejoin=\"round\"/>\n";

  // Kilometre ticks along the trace.
  const double km_step = nice_step(d.route_length / 1000.0, 12);
  for (double k = km_step; k * 1000 < d.route_length; k += km_step) {
    double e, n;
    if (!plan.at(static_cast<int64_t>(k * 1000), &e, &n)) continue;
    d.svg += circle(px(e), py(n), 1.8, fill("#ffffff") + " stroke=\"" + colour_trace + "\"");
    d.svg += text(px(e) - 8, py(n) + 4, num(k) + " km", font(10, colour_faint, "end"));
  }

  // Signals along the trace.
  for (size_t i = 2; i < d.p.grid.size(); ++i) {
    const track_cell& c = d.p.grid[i];
    if (c.kind != kind_signal) continue;
    double e, n;
    const int32_t metre = object_metre(static_cast<int32_t>(i), c.kind);
    if (!plan.at(metre, &e, &n)) continue;
    d.svg += with_title(circle(px(e), py(n), 3.2,
                               fill(signal_colour(c)) + " stroke=\"#ffffff\" stroke-width=\"0.8\""),
                        "signal at " + std::to_string(metre) + " m");
  }

  // Stations, their names spread apart to the right of the trace.
  const std::vector<int> entries = station_entries(d.p);
  std::vector<std::pair<double, double>> points;
  std::vector<double> want;
  std::vector<int> shown;
  for (int entry : entries) {
    double e, n;
    if (!plan.at(d.p.table[static_cast<size_t>(entry)].l12, &e, &n)) continue;
    points.push_back({px(e), py(n)});
    shown.push_back(entry);
  }
  // Labels are placed bottom-up in route order when the trace runs north.
  std::vector<size_t> order(shown.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return points[a].second < points[b].second; });
  for (size_t i : order) want.push_back(points[i].second);
  const std::vector<double> at = spread(want, 14, top, plan_bottom - 10);
  const double label_x = right + 30;
  for (size_t k = 0; k < order.size(); ++k) {
    const size_t i = order[k];
    const scenario_entry& e = d.p.table[static_cast<size_t>(shown[i])];
    d.svg += line(points[i].first, points[i].second, label_x - 4, at[k] - 4,
                  stroke(colour_station, 0.5));
    d.svg += circle(points[i].first, points[i].second, 4.5,
                    fill("#ffffff") + " stroke=\"" + colour_station + "\" stroke-width=\"2\"");
    d.svg += text(label_x, at[k], stored(e.text), font(11, colour_station));
  }

  // Start and end of the route.
  double e, n;
  if (plan.at(0, &e, &n)) d.svg += text(px(e), py(n) + 22, "start", font(11, colour_ink, "middle"));

  // North arrow and scale bar.
  const double ax = plan_left + 14, ay = plan_bottom - 50;
  d.svg += polygon({{ax, ay - 24}, {ax + 7, ay}, {ax, ay - 6}, {ax - 7, ay}}, fill(colour_ink));
  d.svg += text(ax, ay - 28, "N", font(12, colour_ink, "middle") + " font-weight=\"bold\"");
  const double bar_m = nice_step(100 / scale, 1);
  const double bar = bar_m * scale;
  const double bx = plan_left + 40, by = plan_bottom - 20;
  d.svg += line(bx, by, bx + bar, by, stroke(colour_ink, 2));
  d.svg += line(bx, by - 4, bx, by + 4, stroke(colour_ink, 1));
  d.svg += line(bx + bar, by - 4, bx + bar, by + 4, stroke(colour_ink, 1));
  d.svg += text(bx + bar + 6, by + 4, bar_m >= 1000 ? num(bar_m / 1000) + " km" : num(bar_m) + " m",
                font(11));
}

void draw_legend(drawing& d) {
  double x = axis_left, y = legend_top;
  auto item = [&](const std::string& glyph, const std::string& label) {
    d.svg += glyph;
    d.svg += text(x + 14, y + 4, label, font(12));
    x += 28 + 7.0 * static_cast<double>(label.size());
    if (x > axis_right - 160) {
      x = axis_left;
      y += 28;
    }
  };
  d.svg += text(axis_left - 12, y + 4, "legend", font(12, colour_faint, "end"));
  item(line(x - 4, y, x + 8, y, stroke(colour_trace, 3)), "line plan");
  item(line(x - 4, y, x + 8, y, stroke(colour_beyond, 2) + " stroke-dasharray=\"4 3\""),
       "beyond the route's end");
  item(rect(x - 4, y - 5, 12, 10, fill(colour_zone) + " stroke=\"" + colour_station + "\""),
       "station zone");
  item(circle(x + 2, y, 4.5, fill("#ffffff") + " stroke=\"" + colour_station + "\""), "station");
  item(circle(x + 2, y, 4, fill(colour_signal_1)), "signal, sx 1");
  item(circle(x + 2, y, 4, fill(colour_signal_2)), "signal, sx 2");
  item(rect(x - 2, y - 4, 8, 8, fill(colour_speed_board)), "speed board (s speeds A/B/C)");
  item(rect(x - 2, y - 5, 7, 9,
            "fill=\"#fdfefe\" stroke=\"" + std::string(colour_text_board) + "\""),
       "text board");
  item(polygon({{x + 2, y - 7}, {x + 8, y + 5}, {x - 4, y + 5}},
               "fill=\"#f9e79f\" stroke=\"" + std::string(colour_restriction) + "\""),
       "restriction warning");
  item(rect(x - 3, y - 5, 10, 10, fill(colour_restriction)), "restriction start");
  item(rect(x - 3, y - 5, 10, 10,
            "fill=\"#ffffff\" stroke=\"" + std::string(colour_restriction) + "\""),
       "restriction end");
  item(rect(x, y - 6, 3, 12, fill(colour_restriction)), "countdown");
  item(polygon({{x + 2, y - 5}, {x + 6, y}, {x + 2, y + 5}, {x - 2, y}}, fill(colour_marker)),
       "approach marker");
  item(polygon({{x + 2, y - 5}, {x + 6, y}, {x + 2, y + 5}, {x - 2, y}},
               "fill=\"#ffffff\" stroke=\"" + std::string(colour_marker) + "\""),
       "plain marker");
  item(line(x + 2, y - 5, x + 2, y + 5, stroke(colour_mountain, 1.5)), "mountain marker");
  item(rect(x - 4, y - 5, 12, 10, fill(colour_mountain) + " fill-opacity=\"0.75\""), "mountain");
  item(rect(x - 4, y - 5, 12, 10, fill(colour_climb)), "climb");
  item(rect(x - 4, y - 5, 12, 10, fill(colour_fall)), "fall");
}

}  // namespace

std::string draw_package(const package& p) {
  drawing d{p, {}, p.table[entry_route].l8, ""};
  d.axis.metres = std::max<double>(static_cast<double>(p.grid.size()) * 50, 1000);
  d.svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
      num(page_width) + " " + num(page_height) + "\" width=\"" + num(page_width) + "\" height=\"" +
      num(page_height) + "\" font-family=\"DejaVu Sans, Helvetica, Arial, sans-serif\">\n";
  d.svg += "<title>" + stored(p.table[entry_line].text) + ", train " +
           stored(p.table[entry_train].text) + "</title>\n";
  d.svg += rect(0, 0, page_width, page_height, fill("#ffffff"));
  draw_title(d);
  draw_axis(d);
  draw_mountain_shading(d);
  draw_gradient(d);
  draw_speed(d);
  draw_stations(d);
  draw_signals(d);
  draw_speed_boards(d);
  draw_text_boards(d);
  draw_markers(d);
  draw_plan(d);
  draw_legend(d);
  d.svg += "</svg>\n";
  return d.svg;
}
