#include "lsp/document_layout.h"

namespace lsp {

std::vector<folding_range> folding_ranges_of(const document_view& self) {
  std::vector<folding_range> out;
  const record_line* section = nullptr;
  int last = 0;
  auto close = [&] {
    if (section && last > section->line) out.push_back({section->line, last});
  };
  for (const record_line& r : self.records) {
    if (r.is_section) {
      close();
      section = &r;
    }
    last = r.line;
  }
  close();
  return out;
}

std::vector<semantic_token> semantic_tokens_of(const document_view& self) {
  std::vector<semantic_token> out;
  for (const record_line& r : self.records) {
    auto token = [&](const field_span& f, token_kind kind) {
      if (f.end <= f.begin) return;
      const int begin = self.editor_column(r.line, f.begin);
      out.push_back({r.line, begin, self.editor_column(r.line, f.end) - begin, kind});
    };
    if (r.is_section) {
      token(r.fields[0], token_kind::section);
      continue;
    }
    if (r.kinds.empty()) {
      // A line no record reads: the compile passes over it.
      if (r.fields.size() == 1 && !r.has_values) token(r.fields[0], token_kind::comment);
      continue;
    }
    token(r.fields[0], token_kind::keyword);
    for (size_t i = 1; i < r.fields.size(); ++i)
      token(r.fields[i], r.fields[i].number ? token_kind::number : token_kind::text);
  }
  return out;
}

}  // namespace lsp
