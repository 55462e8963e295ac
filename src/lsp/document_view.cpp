#include "lsp/document_view.h"

#include <algorithm>

#include "runtime/windows1252.h"

namespace lsp {

int document_view::editor_column(int line, int column) const {
  if (!held) {
    if (encoding != position_encoding::utf8) return column;
    const std::string_view l = source.line(line);
    const size_t within = std::min(l.size(), static_cast<size_t>(std::max(0, column)));
    return static_cast<int>(runtime::windows1252_to_utf8(l.substr(0, within)).size()) + column -
           static_cast<int>(within);
  }
  return column_of_code_point(held->line(line), column, held->encoding());
}

int document_view::document_column(int line, int editor_character) const {
  if (!held) return editor_character;
  const std::string_view l = held->line(line);
  return code_points(l.substr(0, byte_offset(l, editor_character, held->encoding())));
}

text_range document_view::editor_range(int line, int begin, int end) const {
  return {{line, editor_column(line, begin)}, {line, editor_column(line, end)}};
}

const record_line* document_view::record_at(int line) const {
  auto it = std::lower_bound(records.begin(), records.end(), line,
                             [](const record_line& r, int n) { return r.line < n; });
  return it != records.end() && it->line == line ? &*it : nullptr;
}

}  // namespace lsp
