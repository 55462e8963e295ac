#include "compiler/kilometric_ranges.h"

#include <climits>
#include <cstdint>
#include <utility>

namespace compiler {

bool sort_kilometric_ranges(model::scenario_table& table) {
  struct range {
    int32_t start, reference, flag;
  };
  auto take = [&](int entry) {
    const model::scenario_entry& e = table[static_cast<size_t>(entry)];
    return range{e.l4, e.l8, e.l12};
  };
  const range t = take(model::entry_range_last), d = take(model::entry_range_middle),
              u = take(model::entry_range_first);
  range order[3] = {};
  bool cleared = false;

  int64_t starts = static_cast<int64_t>(t.start) + d.start + u.start;
  if (starts < INT32_MIN || starts > INT32_MAX) return false;  // the sum overflows
  if (starts != 0) {
    // The range with the strictly greatest start goes first; of the other
    // two, the greater start next, "uno" before "due" before "tre" on a tie.
    const range* by_name[3] = {&u, &d, &t};
    int greatest = -1;
    for (int i = 0; i < 3; ++i) {
      bool above_others = true;
      for (int k = 0; k < 3; ++k)
        if (k != i && by_name[k]->start >= by_name[i]->start) above_others = false;
      if (above_others) greatest = i;
    }
    if (greatest < 0) {
      cleared = true;
    } else {
      const range* a = nullptr;
      const range* b = nullptr;
      for (int i = 0; i < 3; ++i) {
        if (i == greatest) continue;
        (a == nullptr ? a : b) = by_name[i];
      }
      if (b->start > a->start) std::swap(a, b);
      order[0] = *by_name[greatest];
      order[1] = *a;
      order[2] = *b;
    }
  } else if (u.reference > 0) {
    order[0] = u, order[1] = d, order[2] = t;
  } else if (d.reference > 0) {
    order[0] = d, order[1] = t, order[2] = u;
  } else if (t.reference > 0) {
    order[0] = t, order[1] = d, order[2] = u;
  } else {
    cleared = true;
  }
  if (cleared) order[0] = order[1] = order[2] = range{0, 0, 0};

  for (int i = 0; i < 3; ++i) {
    model::scenario_entry& e = table[static_cast<size_t>(model::entry_range_last + i)];
    e.l4 = order[i].start;
    e.l8 = order[i].reference;
    e.l12 = order[i].flag;
  }
  // A range in use has its kilometric reference moved on by 100 m.
  for (int i = 0; i < 3; ++i) {
    model::scenario_entry& e = table[static_cast<size_t>(model::entry_range_last + i)];
    if (e.l12 != 1) continue;
    if (e.l8 > INT32_MAX - model::range_reference_shift) return false;
    e.l8 += model::range_reference_shift;
  }
  return true;
}

}  // namespace compiler
