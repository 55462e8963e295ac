#include "runtime/text_lines.h"

#include <algorithm>

namespace runtime {

namespace {

// Calls `take` with each line's text until it returns false.
template <typename Take>
void for_each_line(std::string_view text, bool with_last_empty, Take take) {
  size_t start = 0;
  // The first '\n' at or after start, or the end of the text.
  size_t newline = std::min(text.find('\n'), text.size());
  while (start < text.size() || (with_last_empty && start == text.size())) {
    // The line ends at its first '\n' or '\r', whichever comes first: two
    // searches of the library's, faster than a test of every byte. The '\n'
    // found is kept while lines end at '\r' alone before it, so that a
    // document of those is not searched to its end for every line.
    if (newline < start) {
      newline = std::min(text.find('\n', start), text.size());
    }
    size_t end = newline;
    const size_t carriage_return = text.substr(0, end).find('\r', start);
    if (carriage_return != std::string_view::npos) end = carriage_return;
    if (!take(text.substr(start, end - start))) return;
    if (end == text.size()) break;
    if (text[end] == '\r') ++end;
    if (end < text.size() && text[end] == '\n') ++end;
    start = end;
  }
}

}  // namespace

std::vector<std::string_view> split_lines(std::string_view text, bool with_last_empty) {
  std::vector<std::string_view> lines;
  for_each_line(text, with_last_empty, [&](std::string_view line) {
    lines.push_back(line);
    return true;
  });
  return lines;
}

std::vector<std::string_view> lines_numbered(std::string_view text, std::span<const int> numbers) {
  std::vector<std::string_view> out(numbers.size());
  size_t next = 0;
  int number = 0;
  for_each_line(text, false, [&](std::string_view line) {
    ++number;
    while (next < numbers.size() && numbers[next] < number) ++next;
    while (next < numbers.size() && numbers[next] == number) out[next++] = line;
    return next < numbers.size();
  });
  return out;
}

}  // namespace runtime
