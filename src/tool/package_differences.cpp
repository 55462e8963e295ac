#include "tool/package_differences.h"

#include <functional>

#include "runtime/windows1252.h"
#include "tool/package_summary.h"

namespace tool {

namespace {

struct cell_part {
  const char* what;
  std::function<bool(size_t, const model::track_cell&, const model::track_cell&)> same;
  std::function<std::string(const model::track_cell&)> value;
};

std::string number(int v) {
  return std::to_string(v);
}

}  // namespace

std::vector<std::string> package_differences(const model::scenario& compiled,
                                             const model::package& p) {
  std::vector<std::string> out;
  if (compiled.grid.size() != p.grid.size()) {
    out.push_back("the track grid: " + std::to_string(p.grid.size()) + " cells in the package, " +
                  std::to_string(compiled.grid.size()) +
                  " from the documents (another route length)");
    return out;
  }
  const cell_part parts[] = {
      {"the object",
       [](size_t i, const model::track_cell& a, const model::track_cell& b) {
         // Cell 1's w2 and w4 hold the package's stamps.
         return a.kind == b.kind && (i == 1 || (a.w2 == b.w2 && a.w4 == b.w4)) && a.w6 == b.w6 &&
                a.w8 == b.w8 && a.b10 == b.b10;
       },
       [](const model::track_cell& c) {
         return kind_name(c.kind) + (c.kind ? " " + number(c.w2) + "/" + number(c.w4) + "/" +
                                                  number(c.w6) + "/" + number(c.w8)
                                            : "");
       }},
      {"the approach mark", [](size_t, auto& a, auto& b) { return a.b11 == b.b11; },
       [](const model::track_cell& c) { return number(c.b11); }},
      {"the mountain type", [](size_t, auto& a, auto& b) { return a.b12 == b.b12; },
       [](const model::track_cell& c) { return number(c.b12); }},
      {"the line speed", [](size_t, auto& a, auto& b) { return a.b13 == b.b13; },
       [](const model::track_cell& c) { return number(speed_kmh(c.b13)) + " km/h"; }},
      {"the gradient", [](size_t, auto& a, auto& b) { return a.b14 == b.b14; },
       [](const model::track_cell& c) {
         return gradient_set(c.b14) ? number(gradient_per_mille(c.b14)) + " per mille"
                                    : std::string("none");
       }},
      {"the adhesion", [](size_t, auto& a, auto& b) { return a.b15 == b.b15; },
       [](const model::track_cell& c) { return number(c.b15); }},
  };
  for (const cell_part& part : parts) {
    size_t count = 0, first = 0;
    for (size_t i = 0; i < p.grid.size(); ++i)
      if (!part.same(i, p.grid[i], compiled.grid[i]) && count++ == 0) first = i;
    if (count == 0) continue;
    out.push_back(std::string(part.what) + " of " + std::to_string(count) +
                  (count == 1 ? " cell" : " cells") + ", first cell " + std::to_string(first) +
                  " (" + std::to_string(first * 50) + " m): " + part.value(p.grid[first]) +
                  " in the package, " + part.value(compiled.grid[first]) + " from the documents");
  }
  size_t count = 0, first = 0;
  for (size_t e = 0; e < p.table.size(); ++e) {
    // The line entry's stamps and check codes are the package writer's.
    if (e == static_cast<size_t>(model::entry_line)) continue;
    const model::scenario_entry& a = p.table[e];
    const model::scenario_entry& b = compiled.table[e];
    const bool same = a.b0 == b.b0 && a.l4 == b.l4 && a.l8 == b.l8 && a.l12 == b.l12 &&
                      a.b16 == b.b16 && a.text == b.text && a.w24 == b.w24 && a.w26 == b.w26 &&
                      a.w28 == b.w28 && a.w30 == b.w30 && a.w32 == b.w32 && a.b34 == b.b34 &&
                      a.b35 == b.b35 && a.b36 == b.b36 && a.b37 == b.b37 && a.l40 == b.l40;
    if (!same && count++ == 0) first = e;
  }
  if (count > 0) {
    const model::scenario_entry& a = p.table[first];
    const model::scenario_entry& b = compiled.table[first];
    out.push_back(std::to_string(count) + (count == 1 ? " scenario entry" : " scenario entries") +
                  ", first entry " + std::to_string(first) + ": \"" +
                  runtime::windows1252_to_utf8(a.text) + "\" at " + std::to_string(a.l12) +
                  " m in the package, \"" + runtime::windows1252_to_utf8(b.text) + "\" at " +
                  std::to_string(b.l12) + " m from the documents");
  }
  return out;
}

}  // namespace tool
