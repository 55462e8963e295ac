#include "runtime/nearest_word.h"

#include <algorithm>
#include <cstdint>

#include "runtime/windows1252.h"

namespace runtime {

namespace {

// The distance between two texts already in lower case, or some number
// above `limit` once it is known to be above it. The rows i - 2, i - 1 and
// i of the table are kept in `rows`, which a caller measuring many pairs
// hands in again: one allocation for all of them.
size_t lowered_distance(std::string_view x, std::string_view y, std::vector<size_t>& rows,
                        size_t limit = SIZE_MAX) {
  const size_t m = y.size();
  rows.resize(3 * (m + 1));
  size_t* two_back = rows.data();
  size_t* back = two_back + (m + 1);
  size_t* row = back + (m + 1);
  for (size_t j = 0; j <= m; ++j) back[j] = j;
  for (size_t i = 1; i <= x.size(); ++i) {
    row[0] = i;
    size_t least = row[0];
    for (size_t j = 1; j <= m; ++j) {
      const size_t cost = x[i - 1] == y[j - 1] ? 0 : 1;
      row[j] = std::min({back[j] + 1, row[j - 1] + 1, back[j - 1] + cost});
      if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1])
        row[j] = std::min(row[j], two_back[j - 2] + 1);
      least = std::min(least, row[j]);
    }
    // No row holds less than the row before it (a swap reaches back two
    // rows, but the row between is at most one more), so the distance is
    // at least this row's least.
    if (least > limit) return least;
    size_t* const oldest = two_back;
    two_back = back;
    back = row;
    row = oldest;
  }
  return back[m];
}

}  // namespace

size_t edit_distance(std::string_view a, std::string_view b) {
  std::vector<size_t> rows;
  return lowered_distance(lower_text(a), lower_text(b), rows);
}

std::optional<std::string> nearest_word(std::string_view word,
                                        const std::vector<std::string>& candidates) {
  if (word.empty() || word.size() > 60) return std::nullopt;
  // The word is lowered once, and the table's rows serve every candidate.
  const std::string lowered = lower_text(word);
  std::string candidate;
  std::vector<size_t> rows;
  std::optional<std::string> best;
  size_t best_distance = SIZE_MAX;
  for (const std::string& c : candidates) {
    // The distance is at least the difference of the lengths: a candidate
    // too long or too short to be near enough is not measured.
    const size_t most = std::max<size_t>(1, c.size() / 3);
    const size_t length_difference =
        word.size() > c.size() ? word.size() - c.size() : c.size() - word.size();
    if (length_difference > most) continue;
    candidate = lower_text(c);
    const size_t d = lowered_distance(lowered, candidate, rows, std::min(most, best_distance));
    if (d < best_distance && d <= most) {
      best_distance = d;
      best = c;
    }
  }
  return best;
}

}  // namespace runtime
