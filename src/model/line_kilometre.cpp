#include "model/line_kilometre.h"

#include <algorithm>
#include <cstdio>

namespace model {

namespace {

void sort_by_start(std::vector<kilometric_range>& ranges) {
  std::stable_sort(
      ranges.begin(), ranges.end(),
      [](const kilometric_range& a, const kilometric_range& b) { return a.start < b.start; });
}

}  // namespace

std::vector<kilometric_range> kilometric_ranges(const scenario_table& table) {
  std::vector<kilometric_range> out;
  for (int i = entry_range_last; i <= entry_range_first; ++i) {
    const scenario_entry& e = table[static_cast<size_t>(i)];
    if (e.l12 == 1) out.push_back({e.l4, static_cast<int64_t>(e.l8) - range_reference_shift, i});
  }
  sort_by_start(out);
  return out;
}

std::vector<kilometric_range> kilometric_ranges(const std::vector<written_range>& written) {
  std::vector<kilometric_range> out;
  for (const written_range& w : written)
    if (w.flag == 1 && w.start >= INT32_MIN && w.start <= INT32_MAX)
      out.push_back({static_cast<int32_t>(w.start), w.reference, 0});
  sort_by_start(out);
  return out;
}

int range_at(const std::vector<kilometric_range>& ranges, int64_t m) {
  int found = -1;
  for (size_t i = 0; i < ranges.size(); ++i)
    if (ranges[i].start <= m) found = static_cast<int>(i);
  return found;
}

int64_t line_metre(const std::vector<kilometric_range>& ranges, int64_t m) {
  const int r = range_at(ranges, m);
  return r < 0 ? m : ranges[static_cast<size_t>(r)].reference - m;
}

std::string kilometre_mark(int64_t line_metre) {
  const bool negative = line_metre < 0;
  const int64_t v = negative ? -line_metre : line_metre;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%s%lld+%03lld", negative ? "-" : "",
                static_cast<long long>(v / 1000), static_cast<long long>(v % 1000));
  return buf;
}

}  // namespace model
