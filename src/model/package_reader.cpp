#include "model/package_reader.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

#include "model/route_extent.h"
#include "runtime/replace_files.h"

namespace model {

bool plan_trace::at(int64_t m, double* e, double* n, int64_t* found) const {
  auto after =
      std::upper_bound(metre.begin(), metre.end(), m, [](int64_t a, int32_t b) { return a < b; });
  if (after == metre.begin()) return false;
  const size_t i = static_cast<size_t>(after - metre.begin()) - 1;
  *e = east[i];
  *n = north[i];
  if (found) *found = metre[i];
  return true;
}

plan_tracer::plan_tracer(size_t metres) : metres_(metres) {
  t_.metres = static_cast<int32_t>(metres);
  t_.step = static_cast<int32_t>(std::max<size_t>(
      1, (metres + plan_trace_samples - 1) / static_cast<size_t>(plan_trace_samples)));
}

void plan_tracer::element(size_t index, const plan_element& e) {
  const bool valued = e.tag != plan_tag_empty;
  if (index < metres_) {
    if (!valued) return;
    const int32_t m = static_cast<int32_t>(index);
    if (!have_east_) t_.min_east = t_.max_east = e.value;
    have_east_ = true;
    t_.min_east = std::min(t_.min_east, e.value);
    t_.max_east = std::max(t_.max_east, e.value);
    if (candidates_.empty() || candidates_.back() / t_.step != m / t_.step) {
      candidates_.push_back(m);
      east_.push_back(e.value);
    }
    last_east_metre_ = m;
    last_east_ = e.value;
    return;
  }
  if (!row0_done_) end_row0();
  if (!valued) return;
  const int32_t m = static_cast<int32_t>(index - metres_);
  if (!have_north_) t_.min_north = t_.max_north = e.value;
  have_north_ = true;
  t_.min_north = std::min(t_.min_north, e.value);
  t_.max_north = std::max(t_.max_north, e.value);
  while (next_ < candidates_.size() && candidates_[next_] < m) ++next_;
  if (next_ < candidates_.size() && candidates_[next_] == m) {
    t_.metre.push_back(m);
    t_.east.push_back(east_[next_]);
    t_.north.push_back(e.value);
  }
}

void plan_tracer::end_row0() {
  row0_done_ = true;
  if (last_east_metre_ >= 0 && candidates_.back() != last_east_metre_) {
    candidates_.push_back(last_east_metre_);
    east_.push_back(last_east_);
  }
}

plan_trace plan_tracer::finish() {
  t_.has_extent = have_east_ && have_north_;
  if (!t_.metre.empty()) {
    t_.first_valued = t_.metre.front();
    t_.last_valued = t_.metre.back();
  }
  candidates_ = {};
  east_ = {};
  return std::move(t_);
}

namespace {

// The least and the greatest value of the valued elements of a row, in
// *least and *most; false when none holds a value.
bool row_extent(const plan_element* row, size_t metres, double* least, double* most) {
  size_t m = 0;
  while (m < metres && row[m].tag == plan_tag_empty) ++m;
  if (m == metres) return false;
  double lo = row[m].value, hi = lo;
  for (; m < metres; ++m) {
    if (row[m].tag == plan_tag_empty) continue;
    lo = std::min(lo, row[m].value);
    hi = std::max(hi, row[m].value);
  }
  *least = lo;
  *most = hi;
  return true;
}

}  // namespace

plan_trace trace_plan(const plan_rows& plan) {
  // What a plan_tracer makes of the rows' elements, taken from the rows at
  // hand: row 1 is looked up at each of row 0's candidates rather than
  // walked beside them, and no list of candidates is kept.
  const size_t metres = std::min(plan.row0.size(), plan.row1.size());
  plan_trace t = plan_tracer(metres).finish();
  const plan_element* const row0 = plan.row0.data();
  const plan_element* const row1 = plan.row1.data();
  const bool east = row_extent(row0, metres, &t.min_east, &t.max_east);
  const bool north = row_extent(row1, metres, &t.min_north, &t.max_north);
  t.has_extent = east && north;
  // At most a sample a stretch, and the last valued metre.
  const size_t samples = std::min(metres, metres / static_cast<size_t>(t.step) + 2);
  t.metre.reserve(samples);
  t.east.reserve(samples);
  t.north.reserve(samples);
  auto sample = [&](size_t m) {
    if (row1[m].tag == plan_tag_empty) return;
    t.metre.push_back(static_cast<int32_t>(m));
    t.east.push_back(row0[m].value);
    t.north.push_back(row1[m].value);
  };
  // The first metre valued in row 0 of each stretch of `step` metres, then
  // the last one valued in row 0 when it is not one of those.
  const size_t step = static_cast<size_t>(t.step);
  size_t candidate = SIZE_MAX;
  for (size_t start = 0; start < metres; start += step) {
    const size_t end = std::min(start + step, metres);
    size_t m = start;
    while (m < end && row0[m].tag == plan_tag_empty) ++m;
    if (m == end) continue;
    sample(m);
    candidate = m;
  }
  size_t last = metres;
  while (last > 0 && row0[last - 1].tag == plan_tag_empty) --last;
  if (last > 0 && last - 1 != candidate) sample(last - 1);
  if (!t.metre.empty()) {
    t.first_valued = t.metre.front();
    t.last_valued = t.metre.back();
  }
  return t;
}

bool read_package(runtime::disk& d, const std::string& directory, const scenario_identity& id,
                  package* out, package_error* error, plan_reading how) {
  out->identity = id;
  out->directory = directory;
  out->plan_file = plan_file_name(id);
  out->table_file = table_file_name(id);
  out->grid_file = grid_file_name(id);

  std::string table, grid;
  auto unreadable = [&](const std::string& path, const std::string& reason) {
    *error = {package_problem::unreadable,
              runtime::describe(runtime::io_failure{path, reason, "read"})};
    return false;
  };
  for (auto [name, bytes, size] : {std::tuple{&out->table_file, &table, &out->table_bytes},
                                   std::tuple{&out->grid_file, &grid, &out->grid_bytes}}) {
    const std::string path = path_in(directory, *name);
    std::string reason;
    if (d.stat(path) == runtime::disk::entry::directory) return unreadable(path, "Is a directory");
    if (!d.read_file(path, bytes, &reason)) return unreadable(path, reason);
    *size = bytes->size();
  }
  const std::string plan_path = path_in(directory, out->plan_file);
  if (d.stat(plan_path) == runtime::disk::entry::directory)
    return unreadable(plan_path, "Is a directory");

  std::string message;
  bool ok = decode_scenario_table(table, out->table_file, &out->table, &message);
  const int32_t route = ok ? sizing_route_length(out->table) : -1;
  ok = ok && decode_track_grid(grid, out->grid_file, route, &out->grid, &message);
  table = std::string();
  grid = std::string();

  std::string reason;
  if (ok && route < 0) {
    // Whole, as the route length cannot split the rows as they come.
    std::string plan;
    if (!d.read_file(plan_path, &plan, &reason)) return unreadable(plan_path, reason);
    out->plan_bytes = plan.size();
    ok = decode_line_plan(plan, out->plan_file, route, &out->plan, &message);
    if (ok && how == plan_reading::trace) {
      out->trace = trace_plan(out->plan);
      out->plan = plan_rows{};
    }
  } else if (!ok) {
    // Only whether the plan can be read: its bytes do not matter.
    size_t bytes = 0;
    const bool read = d.read_file_parts(
        plan_path,
        [&](std::string_view part) {
          bytes += part.size();
          return true;
        },
        &reason);
    if (!read) return unreadable(plan_path, reason);
    out->plan_bytes = bytes;
  } else {
    // As it streams in, into the rows or the trace: the file is never held
    // whole.
    const size_t metres = static_cast<size_t>(plan_last_metre(route)) + 1;
    const bool rows = how == plan_reading::rows;
    plan_rows plan;
    plan_tracer tracer(metres);
    line_plan_decoder decoder(out->plan_file, route,
                              [&](size_t first, std::span<const plan_element> run) {
                                if (!rows) {
                                  for (size_t k = 0; k < run.size(); ++k)
                                    tracer.element(first + k, run[k]);
                                  return;
                                }
                                append_plan_run(plan, metres, first, run);
                              });
    size_t bytes = 0;
    const bool read = d.read_file_parts(
        plan_path,
        [&](std::string_view part) {
          bytes += part.size();
          // Room for as many elements as the bytes so far can hold.
          if (rows) reserve_plan_rows(plan, metres, bytes);
          return decoder.feed(part);
        },
        &reason);
    if (!read) return unreadable(plan_path, reason);
    out->plan_bytes = bytes;
    ok = decoder.finish(&message);
    if (ok && rows) out->plan = std::move(plan);
    if (ok && !rows) out->trace = tracer.finish();
  }
  if (!ok) *error = {package_problem::damaged, message};
  return ok;
}

}  // namespace model
