#include "tool/svg_drawing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <vector>

#include "model/cell_words.h"
#include "runtime/windows1252.h"
#include "tool/package_summary.h"

namespace tool {

namespace {

// The page, sized for a window of 1600 x 1000 and scaled to whatever window
// shows it. The plan stands on the left; the profiles and the objects share
// one kilometre axis on the right.
constexpr double page_width = 1600;
constexpr double page_height = 1000;
constexpr double plan_left = 20, plan_right = 420, plan_top = 100, plan_bottom = 960;
constexpr double axis_left = 560, axis_right = 1575;
constexpr double gradient_top = 100, gradient_bottom = 200;
constexpr double speed_top = 232, speed_bottom = 352;
constexpr double objects_top = 360;
// The lanes of the objects, from the top: each label area ends where its
// glyph row begins. Labels read upwards from the bottom of their area.
constexpr double station_labels = 478, station_band = 484;
constexpr double signal_labels = 542, signal_row = 554;
constexpr double speed_labels = 626, speed_row = 632;
constexpr double board_labels = 790, board_row = 796;
constexpr double marker_row = 825;
constexpr double mountain_top = 838, mountain_bottom = 852;
constexpr double axis_y = mountain_bottom + 6;
constexpr double legend_top = 930;
// Upright labels stand at least this far apart: their font's height.
constexpr double label_gap = 12;

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

// Pieces of text joined into a string of their length: one allocation,
// where a chain of + grows the string (and allocates) once for each piece
// or two. An element of the drawing is a dozen pieces; a drawing is
// thousands of elements.
template <typename... T>
std::string cat(const T&... pieces) {
  const std::string_view views[] = {std::string_view(pieces)...};
  size_t n = 0;
  for (std::string_view v : views) n += v.size();
  std::string out;
  out.reserve(n);
  for (std::string_view v : views) out += v;
  return out;
}

// A number as SVG wants it: at most one decimal, no trailing ".0". Whatever
// reaches here is drawn with finite numbers of a sane size; should anything
// else slip through, it is clamped rather than written as "nan" or as a
// number of hundreds of digits.
std::string num(double v) {
  if (std::isnan(v)) v = 0;
  v = std::clamp(v, -largest_coordinate, largest_coordinate);
  // One decimal, as printf's "%.1f" writes it: to_chars rounds the exact
  // value the same way, without parsing a format for each of the tens of
  // thousands of numbers a drawing holds.
  char buf[48];
  const std::to_chars_result r =
      std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 1);
  std::string s(buf, r.ptr);
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

}  // namespace

std::string markup_text(std::string_view utf8) {
  return xml(utf8);
}

namespace {

// Stored text (Windows-1252) for the drawing.
std::string stored(std::string_view text) {
  return xml(runtime::windows1252_to_utf8(text));
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

std::string text(double x, double y, std::string_view body, std::string_view style) {
  return cat("<text x=\"", num(x), "\" y=\"", num(y), "\" ", style, ">", body, "</text>\n");
}

// A label turned to read upwards, its start at (x, y).
std::string upright_text(double x, double y, std::string_view body, std::string_view style) {
  return cat("<text transform=\"translate(", num(x), " ", num(y), ") rotate(-90)\" ", style, ">",
             body, "</text>\n");
}

std::string line(double x1, double y1, double x2, double y2, std::string_view style) {
  return cat("<line x1=\"", num(x1), "\" y1=\"", num(y1), "\" x2=\"", num(x2), "\" y2=\"", num(y2),
             "\" ", style, "/>\n");
}

std::string rect(double x, double y, double w, double h, std::string_view style) {
  return cat("<rect x=\"", num(x), "\" y=\"", num(y), "\" width=\"", num(std::max(w, 0.0)),
             "\" height=\"", num(std::max(h, 0.0)), "\" ", style, "/>\n");
}

std::string circle(double x, double y, double r, std::string_view style) {
  return cat("<circle cx=\"", num(x), "\" cy=\"", num(y), "\" r=\"", num(r), "\" ", style, "/>\n");
}

std::string polygon(const std::vector<std::pair<double, double>>& points,
                    const std::string& style) {
  std::string p;
  for (const auto& [x, y] : points) p += (p.empty() ? "" : " ") + num(x) + "," + num(y);
  return "<polygon points=\"" + p + "\" " + style + "/>\n";
}

std::string fill(const char* colour) {
  return cat("fill=\"", colour, "\"");
}

std::string stroke(const char* colour, double width) {
  return cat("fill=\"none\" stroke=\"", colour, "\" stroke-width=\"", num(width), "\"");
}

std::string font(double size, const char* colour = colour_ink, const char* anchor = "start") {
  return cat("font-size=\"", num(size), "\" fill=\"", colour, "\" text-anchor=\"", anchor, "\"");
}

// Hover text of a shape: the shape's opening tag gets a <title> child.
std::string with_title(std::string_view element, std::string_view title) {
  const size_t end = element.rfind("/>");
  return cat(element.substr(0, end), "><title>", title, "</title></",
             element.substr(1, element.find(' ') - 1), ">\n");
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
  const model::package& p;
  km_axis axis;
  int32_t route_length = 0;
  std::vector<model::kilometric_range> ranges;
  std::vector<cell_object> objects;
  model::plan_trace trace;
  std::string svg;
  std::string ruler;        // the axis's ticks and labels
  std::string range_marks;  // where kilometric ranges begin
};

// The width of text of `chars` characters in a font of `size`, about.
double text_width(size_t chars, double size) {
  return static_cast<double>(chars) * size * 0.64;
}

size_t char_count(const std::string& utf8) {
  size_t n = 0;
  for (char c : utf8) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

// An object on the axis: its glyph and label move together when the view
// zooms, so they share a group that says which cell they stand for.
std::string object_group(int32_t cell, double x, std::string_view body) {
  return cat("<g class=\"obj\" data-cell=\"", std::to_string(cell), "\" data-x=\"", num(x), "\">",
             body, "</g>\n");
}

// A label that may be hidden where its neighbours leave no room: the view
// shows it again once zooming makes room.
std::string optional_label(std::string element, bool shown) {
  if (!shown) element.insert(element.find(' '), " display=\"none\"");
  return element;
}

// Of labels at ascending x, which can be shown with `gap` between them:
// each one that keeps its distance from the last one shown.
std::vector<bool> thin_out(const std::vector<double>& x, double gap) {
  std::vector<bool> shown(x.size(), false);
  double last = -1e300;
  for (size_t i = 0; i < x.size(); ++i) {
    if (x[i] - last < gap) continue;
    shown[i] = true;
    last = x[i];
  }
  return shown;
}

// A board's lines, made to fit `most` characters without cutting a
// kilometre figure: the lines that hold a digit stay whole, the others are
// shortened (or left out) before them.
std::string fitted_board_text(std::string_view stored_text, size_t most) {
  const std::string whole = runtime::windows1252_to_utf8(board_lines(stored_text));
  if (char_count(whole) <= most) return whole;
  std::string words, figures;
  const std::string dot = " \u00B7 ";
  size_t from = 0;
  while (from <= whole.size()) {
    size_t to = whole.find(dot, from);
    if (to == std::string::npos) to = whole.size();
    const std::string part = whole.substr(from, to - from);
    const bool figure =
        std::any_of(part.begin(), part.end(), [](char c) { return c >= '0' && c <= '9'; });
    std::string& into = figure ? figures : words;
    if (!part.empty()) into += (into.empty() ? "" : figure ? dot : " ") + part;
    from = to + dot.size();
  }
  if (figures.empty()) return shortened(whole, most - 1);
  const size_t room = most > char_count(figures) + 3 ? most - char_count(figures) - 3 : 0;
  if (words.empty() || room < 3) return figures;
  return shortened(words, room - 1) + dot + figures;
}

// The ticks of the line's kilometres between route metres `from` and `to`,
// every `step` metres of the line: (route metre, label). Where no range is
// in force, route metres are counted.
std::vector<std::pair<double, std::string>> line_ticks(
    const std::vector<model::kilometric_range>& ranges, double from, double to, double step) {
  std::vector<std::pair<double, std::string>> ticks;
  std::vector<std::pair<double, double>> parts;  // route metres of each part
  double at = from;
  for (size_t i = 0; i <= ranges.size(); ++i) {
    const double end = i < ranges.size() ? std::min<double>(ranges[i].start, to) : to;
    if (end > at) parts.push_back({at, end});
    at = std::max(at, end);
  }
  for (auto [a, b] : parts) {
    const int r = model::range_at(ranges, static_cast<int64_t>(std::floor(a)));
    if (r < 0) {
      for (double k = std::ceil(a / step) * step; k <= b; k += step)
        if (k < b || b >= to) ticks.push_back({k, num(k / 1000)});
      continue;
    }
    const double ref = static_cast<double>(ranges[static_cast<size_t>(r)].reference);
    for (double l = std::ceil((ref - b) / step) * step; l <= ref - a + 1e-6; l += step)
      if (ref - l < b || b >= to) ticks.push_back({ref - l, num(l / 1000)});
  }
  // In route order; a tick too near the one before it (where a range
  // begins) is left out.
  std::stable_sort(ticks.begin(), ticks.end(),
                   [](const auto& x, const auto& y) { return x.first < y.first; });
  std::vector<std::pair<double, std::string>> kept;
  for (auto& t : ticks)
    if (kept.empty() || t.first - kept.back().first >= step * 0.4) kept.push_back(std::move(t));
  return kept;
}

void draw_title(drawing& d) {
  const std::string line_name = stored(d.p.table[model::entry_line].text);
  const std::string train = stored(d.p.table[model::entry_train].text);
  size_t signals = 0, speed_boards = 0, boards = 0;
  for (const model::track_cell& c : d.p.grid) {
    signals += c.kind == model::kind_signal;
    speed_boards += c.kind == model::kind_speed_board;
    boards += c.kind == model::kind_text_board;
  }
  char route[64];
  std::snprintf(route, sizeof route, "%.1f km", d.route_length / 1000.0);
  d.svg += text(20, 36, line_name + " \u2014 train " + train, font(24) + " font-weight=\"bold\"");
  auto count = [](size_t n, const char* what) {
    return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
  };
  std::string ranges;
  if (!d.ranges.empty())
    ranges = " \u00B7 line km " + model::kilometre_mark(model::line_metre(d.ranges, 0)) + " to " +
             model::kilometre_mark(model::line_metre(d.ranges, d.route_length));
  d.svg += text(20, 60,
                std::string("route ") + route + ranges + " \u00B7 " +
                    count(station_entries(d.p).size(), "station") + " \u00B7 " +
                    count(signals, "signal") + " \u00B7 " + count(speed_boards, "speed board") +
                    " \u00B7 " + count(boards, "text board"),
                font(14, colour_faint));
}

// The kilometre grid behind the profiles and the objects, and the labels of
// the axis in the line's own kilometres; where a kilometric range begins,
// the axis says so.
void draw_axis(drawing& d) {
  const double step = nice_step(d.axis.metres / 1000, 20) * 1000;
  std::string grid, labels;
  for (const auto& [m, label] : line_ticks(d.ranges, 0, d.axis.metres, step)) {
    const double x = d.axis.x(m);
    for (auto [top, bottom] :
         {std::pair{gradient_top, gradient_bottom}, std::pair{speed_top, speed_bottom},
          std::pair{objects_top, mountain_bottom}})
      grid += line(x, top, x, bottom, stroke(colour_grid, 1));
    labels += line(x, axis_y, x, axis_y + 6, stroke(colour_ink, 1));
    labels += text(x, axis_y + 19, label, font(11, colour_ink, "middle"));
  }
  // Where a range begins after the route's start, the count jumps.
  for (size_t i = 0; i < d.ranges.size(); ++i) {
    const model::kilometric_range& r = d.ranges[i];
    if (r.start <= 0 || r.start >= d.axis.metres) continue;
    const double x = d.axis.x(r.start);
    const std::string before =
        i == 0 ? "route " + model::kilometre_mark(r.start)
               : model::kilometre_mark(model::line_metre(d.ranges, r.start - 1) - 1);
    const std::string after = model::kilometre_mark(r.reference - r.start);
    d.range_marks += object_group(
        -1, x,
        line(x, gradient_top, x, axis_y, stroke(colour_ink, 1.2) + " stroke-dasharray=\"2 2\""));
    labels += "<g><title>kilometric range (entry " + std::to_string(r.entry) +
              ") begins at route metre " + std::to_string(r.start) + ": km " + before +
              " is followed by km " + after + "</title>" +
              text(x, axis_y + 36, before + " | " + after, font(10, colour_ink, "middle")) + "</g>";
  }
  d.svg += "<g id=\"grid\">" + grid + "</g>\n";
  d.ruler = "<g id=\"axis\">" + labels + "</g>\n";
}

void draw_axis_frame(drawing& d) {
  d.svg += line(axis_left, axis_y, axis_right, axis_y, stroke(colour_ink, 1));
  d.svg +=
      text((axis_left + axis_right) / 2, axis_y + 52,
           d.ranges.empty() ? "route kilometre" : "line kilometre (from the kilometric ranges)",
           font(12, colour_faint, "middle"));
}

void draw_route_end(drawing& d) {
  // The grid runs 7 km past the end of the route.
  const double end = d.axis.x(d.route_length);
  d.svg += object_group(
      -1, end,
      line(end, gradient_top - 6, end, mountain_bottom,
           stroke(colour_ink, 1) + " stroke-dasharray=\"5 4\"") +
          text(end - 4, gradient_top - 8, "end of route", font(11, colour_faint, "end")));
}

void draw_mountain_shading(drawing& d) {
  for (const stretch_run& r : stretch_runs(d.p.grid, &model::track_cell::b12)) {
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

void lane_title(drawing& d, double y, const char* title) {
  d.svg += text(axis_left - 12, y + 4, title, font(12, colour_faint, "end"));
}

// The value scale of a profile, left of the axis.
void value_scale(drawing& d, double y, double v) {
  d.svg += text(axis_left - 8, y + 4, num(v), font(11, colour_faint, "end"));
}

void draw_gradient(drawing& d) {
  int most = 5;
  const auto runs = stretch_runs(d.p.grid, &model::track_cell::b14);
  for (const stretch_run& r : runs)
    if (gradient_set(r.raw)) most = std::max(most, std::abs(gradient_per_mille(r.raw)));
  const double limit = std::ceil(most / 5.0) * 5;
  const double mid = (gradient_top + gradient_bottom) / 2;
  const double scale = (gradient_bottom - gradient_top) / 2 / limit;
  // The grid lines stand at 0 and whole steps either side of it.
  const double step = nice_step(limit, 3);
  for (double v = -std::floor(limit / step) * step; v <= limit + 1e-9; v += step) {
    const double y = mid - v * scale;
    d.svg += line(axis_left, y, axis_right, y,
                  stroke(v == 0 ? colour_faint : colour_grid, v == 0 ? 1 : 0.8));
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
}

void gradient_scale(drawing& d) {
  panel_title(d, gradient_top, "Gradient (per mille)");
  int most = 5;
  for (const stretch_run& r : stretch_runs(d.p.grid, &model::track_cell::b14))
    if (gradient_set(r.raw)) most = std::max(most, std::abs(gradient_per_mille(r.raw)));
  const double limit = std::ceil(most / 5.0) * 5;
  const double mid = (gradient_top + gradient_bottom) / 2;
  const double scale = (gradient_bottom - gradient_top) / 2 / limit;
  const double step = nice_step(limit, 3);
  for (double v = -std::floor(limit / step) * step; v <= limit + 1e-9; v += step)
    value_scale(d, mid - v * scale, v);
  d.svg += text(axis_left - 48, gradient_top + 12, "climb", font(11, colour_climb, "end"));
  d.svg += text(axis_left - 48, gradient_bottom - 4, "fall", font(11, colour_fall, "end"));
}

// The speed scale's top: the highest line speed or restriction, rounded up.
double speed_limit_top(drawing& d, double* step) {
  int most = 40;
  for (const stretch_run& r : stretch_runs(d.p.grid, &model::track_cell::b13))
    most = std::max(most, speed_kmh(r.raw));
  *step = nice_step(most, 5);
  return std::ceil(most / *step) * *step;
}

void speed_scale(drawing& d) {
  panel_title(d, speed_top, "Speed limit (km/h)");
  double step;
  const double limit = speed_limit_top(d, &step);
  const double scale = (speed_bottom - speed_top) / limit;
  for (double v = 0; v <= limit + 1e-9; v += step) value_scale(d, speed_bottom - v * scale, v);
}

void draw_speed(drawing& d) {
  double step;
  const double limit = speed_limit_top(d, &step);
  const double scale = (speed_bottom - speed_top) / limit;
  for (double v = 0; v <= limit + 1e-9; v += step) {
    const double y = speed_bottom - v * scale;
    d.svg += line(axis_left, y, axis_right, y, stroke(v == 0 ? colour_faint : colour_grid, 0.8));
  }
  std::string path;
  std::string area;
  for (const stretch_run& r : stretch_runs(d.p.grid, &model::track_cell::b13)) {
    if (r.raw == 0) continue;
    const double x0 = d.axis.x(r.first_cell * 50.0);
    const double x1 = d.axis.x((r.last_cell + 1) * 50.0);
    const double y = speed_bottom - speed_kmh(r.raw) * scale;
    const std::string sx0 = num(x0), sx1 = num(x1), sy = num(y), sbottom = num(speed_bottom);
    path += cat(path.empty() ? "M" : " L", sx0, " ", sy, " L", sx1, " ", sy);
    area += cat("M", sx0, " ", sbottom, " L", sx0, " ", sy, " L", sx1, " ", sy, " L", sx1, " ",
                sbottom, " Z ");
  }
  if (!path.empty()) {
    d.svg += "<path d=\"" + area + "\" fill=\"#d6eaf8\"/>\n";
    d.svg += "<path d=\"" + path + "\" " + stroke(colour_speed, 2) + "/>\n";
  }
  // Restrictions lower the profile over their length to their speed.
  for (const restriction_stretch& r : restriction_stretches(d.p)) {
    if (r.end_cell < 0 || r.speed <= 0) continue;
    const double x0 = d.axis.x(r.start), x1 = d.axis.x(r.end);
    const double y = speed_bottom - std::min<double>(r.speed, limit) * scale;
    d.svg += with_title(rect(x0, y, std::max(x1 - x0, 1.0), speed_bottom - y,
                             fill(colour_restriction) + " fill-opacity=\"0.35\" stroke=\"" +
                                 colour_restriction + "\" stroke-width=\"1.5\""),
                        "speed restriction " + std::to_string(r.speed) + " km/h, " +
                            std::to_string(r.start) + " .. " + std::to_string(r.end) + " m");
  }
}

// The labels of line speeds and restrictions, which keep their size when the
// view zooms.
void speed_labels_on_profile(drawing& d) {
  double step;
  const double limit = speed_limit_top(d, &step);
  const double scale = (speed_bottom - speed_top) / limit;
  for (const stretch_run& r : stretch_runs(d.p.grid, &model::track_cell::b13)) {
    if (r.raw == 0) continue;
    const double x0 = d.axis.x(r.first_cell * 50.0);
    const double x1 = d.axis.x((r.last_cell + 1) * 50.0);
    const double y = speed_bottom - speed_kmh(r.raw) * scale;
    d.svg += "<g class=\"span\" data-x0=\"" + num(x0) + "\" data-x1=\"" + num(x1) + "\">" +
             optional_label(text((x0 + x1) / 2, y - 4, std::to_string(speed_kmh(r.raw)),
                                 font(10, colour_speed, "middle")),
                            x1 - x0 > 22) +
             "</g>\n";
  }
  std::vector<restriction_stretch> restrictions;
  std::vector<double> centres;
  for (const restriction_stretch& r : restriction_stretches(d.p)) {
    if (r.end_cell < 0 || r.speed <= 0) continue;
    restrictions.push_back(r);
    centres.push_back((d.axis.x(r.start) + d.axis.x(r.end)) / 2);
  }
  const std::vector<bool> shown = thin_out(centres, 26);
  for (size_t i = 0; i < restrictions.size(); ++i) {
    const restriction_stretch& r = restrictions[i];
    const double x0 = d.axis.x(r.start), x1 = d.axis.x(r.end);
    const double y = speed_bottom - std::min<double>(r.speed, limit) * scale;
    d.svg +=
        "<g class=\"span\" data-x0=\"" + num(x0) + "\" data-x1=\"" + num(x1) + "\">" +
        optional_label(
            text((x0 + x1) / 2, std::min(y + 13, speed_bottom - 2), std::to_string(r.speed),
                 font(11, colour_restriction, "middle") + " font-weight=\"bold\" class=\"lbl-r\""),
            shown[i]) +
        "</g>\n";
  }
}

const char* signal_colour(const model::track_cell& c) {
  const int32_t sx = model::unpack_signal_arrangement(c.w8).sx;
  return sx == 1 ? colour_signal_1 : sx == 2 ? colour_signal_2 : colour_signal_other;
}

std::string signal_glyph(double x, double y, const char* colour) {
  return cat(
      line(x, y + 8, x, y - 4, stroke(colour_ink, 1.2)),
      circle(x, y - 6, 4, cat(fill(colour), " stroke=\"", colour_ink, "\" stroke-width=\"0.8\"")));
}

std::string object_title(const drawing& d, const cell_object& o) {
  std::string title = cat(kind_name(o.kind), " at ", std::to_string(o.metre), " m");
  if (!d.ranges.empty())
    title += cat(" (km ", model::kilometre_mark(model::line_metre(d.ranges, o.metre)), ")");
  title += ", cell ";
  title += std::to_string(o.cell);
  for (const object_field& f : o.fields) {
    if (f.is_text) continue;
    title += ", ";
    title += f.key;
    title += ' ';
    for (size_t i = 0; i < f.numbers.size(); ++i) {
      if (i) title += '/';
      title += std::to_string(f.numbers[i]);
    }
    if (!f.unit.empty()) {
      title += ' ';
      title += f.unit;
    }
  }
  return xml(title);
}

void draw_stations(drawing& d) {
  const std::vector<int> entries = station_entries(d.p);
  std::vector<double> want;
  for (int e : entries) want.push_back(d.axis.x(d.p.table[static_cast<size_t>(e)].l12));
  const std::vector<double> at = spread(want, label_gap, axis_left, axis_right);
  const size_t room = static_cast<size_t>((station_labels - objects_top) / (10 * 0.64));
  for (size_t i = 0; i < entries.size(); ++i) {
    const model::scenario_entry& e = d.p.table[static_cast<size_t>(entries[i])];
    const double z0 = d.axis.x(e.l4), z1 = d.axis.x(e.l8), x = want[i];
    const std::string name = runtime::windows1252_to_utf8(e.text);
    const std::string time = e.l40 != 0 ? " " + time_of_day(e.l40).substr(0, 5) : "";
    const std::string full =
        name + time + ", at " + std::to_string(e.l12) + " m" +
        (d.ranges.empty()
             ? ""
             : " (km " + model::kilometre_mark(model::line_metre(d.ranges, e.l12)) + ")") +
        ", zone " + std::to_string(e.l4) + " .. " + std::to_string(e.l8) + " m";
    d.svg +=
        cat("<g class=\"stn\" data-station=\"", std::to_string(entries[i]), "\" data-x=\"", num(x),
            "\"><title>", xml(full), "</title>",
            rect(z0, station_band, std::max(z1 - z0, 2.0), 10,
                 cat(fill(colour_zone), " stroke=\"", colour_station, "\" stroke-width=\"0.6\"")),
            line(x, station_band - 3, x, station_band + 13, stroke(colour_station, 2)),
            line(x, station_band - 3, at[i], station_labels + 2, stroke(colour_station, 0.6)),
            upright_text(
                at[i] + 4, station_labels,
                xml(shortened(name, room > char_count(time) + 2 ? room - char_count(time) - 1 : 1) +
                    time),
                font(10, colour_station)),
            "</g>\n");
  }
}

void draw_signals(drawing& d) {
  std::vector<const cell_object*> signals;
  std::vector<double> xs;
  for (const cell_object& o : d.objects)
    if (o.kind == model::kind_signal && o.cell >= 2) {
      signals.push_back(&o);
      xs.push_back(d.axis.x(o.metre));
    }
  const std::vector<bool> shown = thin_out(xs, label_gap);
  for (size_t i = 0; i < signals.size(); ++i) {
    const cell_object& o = *signals[i];
    const std::string label = model::kilometre_mark(model::line_metre(d.ranges, o.metre));
    d.svg += object_group(
        o.cell, xs[i],
        cat("<title>", object_title(d, o), "</title>",
            signal_glyph(xs[i], signal_row, signal_colour(d.p.grid[static_cast<size_t>(o.cell)])),
            optional_label(upright_text(xs[i] + 3.5, signal_labels - 2, label,
                                        cat(font(9, colour_ink), " class=\"lbl\"")),
                           shown[i])));
  }
}

void draw_speed_boards(drawing& d) {
  std::vector<const cell_object*> boards;
  std::vector<double> xs;
  for (const cell_object& o : d.objects)
    if (o.kind == model::kind_speed_board) {
      boards.push_back(&o);
      xs.push_back(d.axis.x(o.metre));
    }
  const std::vector<bool> shown = thin_out(xs, label_gap);
  for (size_t i = 0; i < boards.size(); ++i) {
    std::string label;
    for (int64_t v : boards[i]->fields[0].numbers)
      label += (label.empty() ? "" : "/") + std::to_string(v);
    d.svg += object_group(
        boards[i]->cell, xs[i],
        cat("<title>", object_title(d, *boards[i]), "</title>",
            rect(
                xs[i] - 4, speed_row, 8, 8,
                cat(fill(colour_speed_board), " stroke=\"", colour_ink, "\" stroke-width=\"0.5\"")),
            optional_label(upright_text(xs[i] + 3.5, speed_labels, label,
                                        cat(font(9, colour_speed_board), " class=\"lbl\"")),
                           shown[i])));
  }
}

void draw_text_boards(drawing& d) {
  std::vector<const cell_object*> boards;
  std::vector<double> want;
  for (const cell_object& o : d.objects) {
    if (o.kind != model::kind_text_board) continue;
    want.push_back(d.axis.x(o.metre));
    boards.push_back(&o);
  }
  const std::vector<double> at = spread(want, label_gap, axis_left, axis_right);
  const size_t room = static_cast<size_t>((board_labels - speed_row - 14) / (9 * 0.64));
  for (size_t i = 0; i < boards.size(); ++i) {
    const std::string& stored_text = boards[i]->fields[1].text;
    const std::string full = runtime::windows1252_to_utf8(board_lines(stored_text));
    d.svg += object_group(
        boards[i]->cell, want[i],
        cat("<title>", xml(full), " (", std::to_string(boards[i]->metre), " m)</title>",
            rect(want[i] - 3.5, board_row, 7, 9,
                 cat("fill=\"#fdfefe\" stroke=\"", colour_text_board, "\" stroke-width=\"1\"")),
            line(want[i], board_row, at[i], board_labels + 2, stroke(colour_text_board, 0.5)),
            upright_text(at[i] + 3, board_labels, xml(fitted_board_text(stored_text, room)),
                         font(9, colour_text_board))));
  }
}

// Restriction cells and markers share one row; their speeds are in the
// speed profile.
void draw_markers(drawing& d) {
  for (const cell_object& o : d.objects) {
    const double x = d.axis.x(o.metre), y = marker_row;
    std::string glyph;
    switch (o.kind) {
      case model::kind_restriction_warning:
        glyph = polygon({{x, y - 7}, {x + 6, y + 5}, {x - 6, y + 5}},
                        "fill=\"#f9e79f\" stroke=\"" + std::string(colour_restriction) + "\"");
        break;
      case model::kind_restriction_start:
        glyph = rect(x - 5, y - 5, 10, 10, fill(colour_restriction));
        break;
      case model::kind_restriction_end:
        glyph = rect(x - 5, y - 5, 10, 10,
                     "fill=\"#ffffff\" stroke=\"" + std::string(colour_restriction) +
                         "\" stroke-width=\"1.5\"");
        break;
      case model::kind_countdown:
        glyph = rect(x - 1.5, y - 6, 3, 12, fill(colour_restriction));
        break;
      case model::kind_approach_marker:
        glyph = polygon({{x, y - 5}, {x + 4, y}, {x, y + 5}, {x - 4, y}}, fill(colour_marker));
        break;
      case model::kind_plain_marker:
        glyph = polygon({{x, y - 5}, {x + 4, y}, {x, y + 5}, {x - 4, y}},
                        "fill=\"#ffffff\" stroke=\"" + std::string(colour_marker) + "\"");
        break;
      case model::kind_mountain_marker:
        glyph = line(x, y - 4, x, y + 4, stroke(colour_mountain, 1.5));
        break;
      default:
        continue;
    }
    d.svg += object_group(o.cell, x, cat("<title>", object_title(d, o), "</title>", glyph));
  }
}

void lane_titles(drawing& d) {
  lane_title(d, station_band + 5, "stations");
  lane_title(d, signal_row - 4, "signals");
  lane_title(d, speed_row + 4, "speed boards");
  lane_title(d, board_row + 4, "text boards");
  lane_title(d, marker_row, "restrictions, markers");
  lane_title(d, (mountain_top + mountain_bottom) / 2, "mountains");
}

// The plan, scaled to fit its panel with north up, drawn from its trace.
void draw_plan(drawing& d) {
  d.svg += text(plan_left, plan_top - 10, "Plan (north up)", font(14) + " font-weight=\"bold\"");
  const model::plan_trace& plan = d.trace;
  if (plan.size() < 2 || !plan.has_extent) {
    d.svg += text(plan_left, plan_top + 20, "the plan holds no trace", font(12, colour_faint));
    return;
  }
  // Room around the trace for the station names.
  const double left = plan_left + 50, right = plan_right - 130;
  const double top = plan_top + 20, bottom = plan_bottom - 70;
  double min_e = plan.east[0], max_e = min_e, min_n = plan.north[0], max_n = min_n;
  for (size_t i = 0; i < plan.size(); ++i) {
    min_e = std::min(min_e, plan.east[i]);
    max_e = std::max(max_e, plan.east[i]);
    min_n = std::min(min_n, plan.north[i]);
    max_n = std::max(max_n, plan.north[i]);
  }
  const double w = std::max(max_e - min_e, 1.0);
  const double h = std::max(max_n - min_n, 1.0);
  const double scale = std::min((right - left) / w, (bottom - top) / h);
  if (!std::isfinite(w) || !std::isfinite(h) || !(scale > 0)) {
    d.svg +=
        text(plan_left, plan_top + 20, "the plan is too large to draw", font(12, colour_faint));
    return;
  }
  // Halves, so that the centre of a huge extent does not overflow.
  const double ox = (left + right) / 2 - (min_e / 2 + max_e / 2) * scale;
  const double oy = (top + bottom) / 2 + (min_n / 2 + max_n / 2) * scale;
  auto px = [&](double east) { return ox + east * scale; };
  auto py = [&](double north) { return oy - north * scale; };

  // The trace from its samples, and the route's end; the part past the end
  // in grey. A sample no farther than half a unit of the page from the one
  // drawn before adds nothing to the picture.
  std::string route_path, beyond_path;
  double last_x = 0, last_y = 0;
  bool have_last = false;
  auto add = [&](std::string& path, double x, double y, bool always) {
    if (!always && have_last && std::fabs(x - last_x) < 0.5 && std::fabs(y - last_y) < 0.5) return;
    path += path.empty() ? "M" : " L";
    path += num(x);
    path += ' ';
    path += num(y);
    last_x = x, last_y = y, have_last = true;
  };
  for (size_t i = 0; i < plan.size(); ++i) {
    const double x = px(plan.east[i]), y = py(plan.north[i]);
    const bool last = i + 1 == plan.size();
    if (plan.metre[i] <= d.route_length) add(route_path, x, y, last);
    if (plan.metre[i] >= d.route_length) add(beyond_path, x, y, last);
    if (plan.metre[i] < d.route_length &&
        (last || plan.metre[i + 1] > d.route_length)) {  // the route ends here
      double e, n;
      if (plan.at(d.route_length, &e, &n)) {
        add(route_path, px(e), py(n), true);
        beyond_path += "M" + num(px(e)) + " " + num(py(n));
        have_last = true;
      }
    }
  }
  d.svg += "<g id=\"plan\" data-ox=\"" + num(ox) + "\" data-oy=\"" + num(oy) + "\" data-scale=\"" +
           std::to_string(scale) + "\" data-left=\"" + num(left) + "\" data-right=\"" + num(right) +
           "\" data-top=\"" + num(top) + "\" data-bottom=\"" + num(bottom) + "\">\n<svg x=\"" +
           num(plan_left) + "\" y=\"" + num(plan_top) + "\" width=\"" +
           num(plan_right - plan_left) + "\" height=\"" + num(plan_bottom - plan_top) +
           "\" viewBox=\"" + num(plan_left) + " " + num(plan_top) + " " +
           num(plan_right - plan_left) + " " + num(plan_bottom - plan_top) +
           "\">\n<g id=\"plan-trace\">\n";
  d.svg += "<path d=\"" + beyond_path + "\" " + stroke(colour_beyond, 2) +
           " stroke-dasharray=\"6 4\" vector-effect=\"non-scaling-stroke\"/>\n";
  d.svg += "<path d=\"" + route_path + "\" " + stroke(colour_trace, 3) +
           " stroke-linejoin=\"round\" vector-effect=\"non-scaling-stroke\"/>\n";
  d.svg += "<path id=\"plan-shown\" d=\"\" " + stroke("#f1c40f", 7) +
           " stroke-opacity=\"0.7\" vector-effect=\"non-scaling-stroke\"/>\n";
  d.svg += "<path id=\"plan-detail\" d=\"\" " + stroke(colour_trace, 3) +
           " vector-effect=\"non-scaling-stroke\"/>\n";

  // Signals along the trace.
  for (const cell_object& o : d.objects) {
    if (o.kind != model::kind_signal || o.cell < 2) continue;
    double e, n;
    if (!plan.at(o.metre, &e, &n)) continue;
    d.svg += with_title(circle(px(e), py(n), 3.2,
                               fill(signal_colour(d.p.grid[static_cast<size_t>(o.cell)])) +
                                   " stroke=\"#ffffff\" stroke-width=\"0.8\" class=\"dot\""),
                        "signal at " + std::to_string(o.metre) + " m");
  }
  // Stations on the trace.
  const std::vector<int> entries = station_entries(d.p);
  std::vector<std::pair<double, double>> points;
  std::vector<int> shown;
  for (int entry : entries) {
    double e, n;
    if (!plan.at(d.p.table[static_cast<size_t>(entry)].l12, &e, &n)) continue;
    points.push_back({px(e), py(n)});
    shown.push_back(entry);
    d.svg += circle(
        px(e), py(n), 4.5,
        fill("#ffffff") + " stroke=\"" + colour_station + "\" stroke-width=\"2\" class=\"dot\"");
  }
  d.svg += "</g>\n</svg>\n<g id=\"plan-labels\">\n";

  // Kilometre ticks along the trace, in the line's kilometres.
  const double km_step = nice_step(d.route_length / 1000.0, 12) * 1000;
  for (const auto& [m, label] : line_ticks(d.ranges, km_step / 2, d.route_length, km_step)) {
    double e, n;
    if (!plan.at(static_cast<int64_t>(m), &e, &n)) continue;
    d.svg += circle(px(e), py(n), 1.8, fill("#ffffff") + " stroke=\"" + colour_trace + "\"");
    d.svg += text(px(e) - 8, py(n) + 4, label + " km", font(10, colour_faint, "end"));
  }
  // Station names, spread apart to the right of the trace.
  std::vector<size_t> order(shown.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(),
            [&](size_t a, size_t b) { return points[a].second < points[b].second; });
  std::vector<double> want;
  for (size_t i : order) want.push_back(points[i].second);
  const std::vector<double> at = spread(want, 14, top, plan_bottom - 40);
  const double label_x = right + 24;
  for (size_t k = 0; k < order.size(); ++k) {
    const size_t i = order[k];
    const model::scenario_entry& e = d.p.table[static_cast<size_t>(shown[i])];
    d.svg += line(points[i].first, points[i].second, label_x - 4, at[k] - 4,
                  stroke(colour_station, 0.5));
    d.svg += text(label_x, at[k], stored(e.text), font(11, colour_station));
  }
  double e, n;
  if (plan.at(0, &e, &n)) d.svg += text(px(e), py(n) + 22, "start", font(11, colour_ink, "middle"));
  d.svg += "</g>\n</g>\n";

  // North arrow and scale bar.
  const double ax = plan_left + 14, ay = plan_bottom - 50;
  d.svg += polygon({{ax, ay - 24}, {ax + 7, ay}, {ax, ay - 6}, {ax - 7, ay}}, fill(colour_ink));
  d.svg += text(ax, ay - 28, "N", font(12, colour_ink, "middle") + " font-weight=\"bold\"");
  const double bar_m = nice_step(100 / scale, 1);
  const double bar = bar_m * scale;
  const double bx = plan_left + 40, by = plan_bottom - 20;
  d.svg += "<g id=\"scale-bar\">" + line(bx, by, bx + bar, by, stroke(colour_ink, 2)) +
           line(bx, by - 4, bx, by + 4, stroke(colour_ink, 1)) +
           line(bx + bar, by - 4, bx + bar, by + 4, stroke(colour_ink, 1)) +
           text(bx + bar + 6, by + 4, bar_m >= 1000 ? num(bar_m / 1000) + " km" : num(bar_m) + " m",
                font(11)) +
           "</g>\n";
}

// The legend, the same in every drawing.
std::string legend() {
  std::string svg;
  double x = axis_left, y = legend_top;
  // Each item goes on the row while it fits, its glyph drawn at (x, y) as
  // they stand once the item is placed.
  auto at = [&](const std::string& label, auto glyph) {
    const double width = 24 + text_width(char_count(label), 11) * 0.9;
    if (x + width > axis_right) {
      x = axis_left;
      y += 22;
    }
    svg += glyph();
    svg += text(x + 14, y + 4, label, font(11));
    x += width;
  };
  svg += text(axis_left - 12, y + 4, "legend", font(12, colour_faint, "end"));
  at("line plan", [&] { return line(x - 4, y, x + 8, y, stroke(colour_trace, 3)); });
  at("beyond the route's end", [&] {
    return line(x - 4, y, x + 8, y, stroke(colour_beyond, 2) + " stroke-dasharray=\"4 3\"");
  });
  at("station zone", [&] {
    return rect(x - 4, y - 5, 12, 10, fill(colour_zone) + " stroke=\"" + colour_station + "\"");
  });
  at("station",
     [&] { return circle(x + 2, y, 4.5, fill("#ffffff") + " stroke=\"" + colour_station + "\""); });
  at("signal, sx 1", [&] { return circle(x + 2, y, 4, fill(colour_signal_1)); });
  at("signal, sx 2", [&] { return circle(x + 2, y, 4, fill(colour_signal_2)); });
  at("speed board (s speeds A/B/C)",
     [&] { return rect(x - 2, y - 4, 8, 8, fill(colour_speed_board)); });
  at("text board", [&] {
    return rect(x - 2, y - 5, 7, 9,
                "fill=\"#fdfefe\" stroke=\"" + std::string(colour_text_board) + "\"");
  });
  at("restriction (speed profile)", [&] {
    return rect(
        x - 4, y - 5, 12, 10,
        fill(colour_restriction) + " fill-opacity=\"0.35\" stroke=\"" + colour_restriction + "\"");
  });
  at("restriction warning", [&] {
    return polygon({{x + 2, y - 7}, {x + 8, y + 5}, {x - 4, y + 5}},
                   "fill=\"#f9e79f\" stroke=\"" + std::string(colour_restriction) + "\"");
  });
  at("restriction start", [&] { return rect(x - 3, y - 5, 10, 10, fill(colour_restriction)); });
  at("restriction end", [&] {
    return rect(x - 3, y - 5, 10, 10,
                "fill=\"#ffffff\" stroke=\"" + std::string(colour_restriction) + "\"");
  });
  at("countdown", [&] { return rect(x, y - 6, 3, 12, fill(colour_restriction)); });
  at("approach marker", [&] {
    return polygon({{x + 2, y - 5}, {x + 6, y}, {x + 2, y + 5}, {x - 2, y}}, fill(colour_marker));
  });
  at("plain marker", [&] {
    return polygon({{x + 2, y - 5}, {x + 6, y}, {x + 2, y + 5}, {x - 2, y}},
                   "fill=\"#ffffff\" stroke=\"" + std::string(colour_marker) + "\"");
  });
  at("mountain marker",
     [&] { return line(x + 2, y - 5, x + 2, y + 5, stroke(colour_mountain, 1.5)); });
  at("mountain",
     [&] { return rect(x - 4, y - 5, 12, 10, fill(colour_mountain) + " fill-opacity=\"0.75\""); });
  at("climb", [&] { return rect(x - 4, y - 5, 12, 10, fill(colour_climb)); });
  at("fall", [&] { return rect(x - 4, y - 5, 12, 10, fill(colour_fall)); });
  return svg;
}

void draw_legend(drawing& d) {
  // Made once.
  static const std::string made = legend();
  d.svg += made;
}

}  // namespace

std::string draw_package(const model::package& p) {
  drawing d{p,
            {},
            p.table[model::entry_route].l8,
            model::kilometric_ranges(p.table),
            cell_objects(p),
            {},
            "",
            "",
            ""};
  d.trace = p.plan.row0.empty() && p.plan.row1.empty() ? p.trace : model::trace_plan(p.plan);
  d.axis.metres = std::max<double>(static_cast<double>(p.grid.size()) * 50, 1000);
  d.svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " +
      num(page_width) + " " + num(page_height) +
      "\" width=\"100%\" height=\"100%\" preserveAspectRatio=\"xMidYMin meet\" "
      "font-family=\"DejaVu Sans, Helvetica, Arial, sans-serif\" data-axis-left=\"" +
      num(axis_left) + "\" data-axis-right=\"" + num(axis_right) + "\" data-metres=\"" +
      num(d.axis.metres) + "\">\n";
  d.svg += "<title>" + stored(p.table[model::entry_line].text) + ", train " +
           stored(p.table[model::entry_train].text) + "</title>\n";
  d.svg += rect(0, 0, page_width, page_height, fill("#ffffff"));
  draw_title(d);
  gradient_scale(d);
  speed_scale(d);
  lane_titles(d);
  draw_axis_frame(d);
  // What lies along the axis, in a frame of its own that clips it: the view
  // zooms it in x.
  d.svg += "<svg id=\"track\" x=\"" + num(axis_left - 6) + "\" y=\"0\" width=\"" +
           num(axis_right - axis_left + 12) + "\" height=\"" + num(page_height) + "\" viewBox=\"" +
           num(axis_left - 6) + " 0 " + num(axis_right - axis_left + 12) + " " + num(page_height) +
           "\">\n";
  draw_axis(d);
  d.svg += "<g id=\"stretch\">\n";
  draw_mountain_shading(d);
  draw_gradient(d);
  draw_speed(d);
  d.svg += "</g>\n<g id=\"points\">\n";
  speed_labels_on_profile(d);
  draw_route_end(d);
  d.svg += d.range_marks;
  draw_stations(d);
  draw_signals(d);
  draw_speed_boards(d);
  draw_text_boards(d);
  draw_markers(d);
  d.svg += "</g>\n</svg>\n";
  // The axis's labels, in a frame a little wider, so that those at its ends
  // are whole.
  d.svg += "<svg id=\"ruler\" x=\"" + num(axis_left - 30) + "\" y=\"" + num(axis_y - 2) +
           "\" width=\"" + num(axis_right - axis_left + 60) + "\" height=\"48\" viewBox=\"" +
           num(axis_left - 30) + " " + num(axis_y - 2) + " " + num(axis_right - axis_left + 60) +
           " 48\">\n" + d.ruler + "</svg>\n";
  draw_plan(d);
  draw_legend(d);
  d.svg += "</svg>\n";
  return d.svg;
}

}  // namespace tool
