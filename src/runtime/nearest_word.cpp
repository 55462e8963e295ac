#include "runtime/nearest_word.h"

#include <algorithm>
#include <cstdint>

#include "runtime/windows1252.h"

namespace runtime {

size_t edit_distance(std::string_view a, std::string_view b) {
  const std::string x = lower_text(a), y = lower_text(b);
  std::vector<std::vector<size_t>> d(x.size() + 1, std::vector<size_t>(y.size() + 1));
  for (size_t i = 0; i <= x.size(); ++i) d[i][0] = i;
  for (size_t j = 0; j <= y.size(); ++j) d[0][j] = j;
  for (size_t i = 1; i <= x.size(); ++i)
    for (size_t j = 1; j <= y.size(); ++j) {
      size_t cost = x[i - 1] == y[j - 1] ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && x[i - 1] == y[j - 2] && x[i - 2] == y[j - 1])
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  return d[x.size()][y.size()];
}

std::optional<std::string> nearest_word(std::string_view word,
                                        const std::vector<std::string>& candidates) {
  if (word.empty() || word.size() > 60) return std::nullopt;
  std::optional<std::string> best;
  size_t best_distance = SIZE_MAX;
  for (const std::string& c : candidates) {
    size_t d = edit_distance(word, c);
    if (d < best_distance && d <= std::max<size_t>(1, c.size() / 3)) {
      best_distance = d;
      best = c;
    }
  }
  return best;
}

}  // namespace runtime
