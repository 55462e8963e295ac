#include "lsp/document_view.h"

#include <algorithm>

int document_view::editor_column(int line, int column) const {
  if (!held) return column;
  return utf16_column_of_code_point(held->line(line), column);
}

int document_view::document_column(int line, int editor_character) const {
  if (!held) return editor_character;
  const std::string_view l = held->line(line);
  return code_points(l.substr(0, utf8_offset(l, editor_character)));
}

text_range document_view::editor_range(int line, int begin, int end) const {
  return {{line, editor_column(line, begin)}, {line, editor_column(line, end)}};
}

const record_line* document_view::record_at(int line) const {
  auto it = std::lower_bound(records.begin(), records.end(), line,
                             [](const record_line& r, int n) { return r.line < n; });
  return it != records.end() && it->line == line ? &*it : nullptr;
}
