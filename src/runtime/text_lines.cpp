#include "runtime/text_lines.h"

namespace runtime {

std::vector<std::string_view> split_lines(std::string_view text, bool with_last_empty) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size() || (with_last_empty && start == text.size())) {
    size_t end = start;
    while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
    lines.push_back(text.substr(start, end - start));
    if (end == text.size()) break;
    if (text[end] == '\r') ++end;
    if (end < text.size() && text[end] == '\n') ++end;
    start = end;
  }
  return lines;
}

}  // namespace runtime
