#include "lsp/code_actions.h"

#include <cstdlib>

#include "runtime/windows1252.h"

namespace lsp {

namespace {

bool touches(const diagnostic& d, text_range range) {
  return d.range.start.line <= range.end.line && d.range.end.line >= range.start.line;
}

code_action single_edit(const document_view& self, std::string title, text_edit edit,
                        const diagnostic* mends) {
  code_action a;
  a.title = std::move(title);
  a.edits.push_back({self.uri, {std::move(edit)}});
  if (mends) a.mends.push_back(*mends);
  a.preferred = mends != nullptr;
  return a;
}

// The word after "did you mean '" in a message.
std::optional<std::string> meant_word(const std::string& message) {
  const std::string lead = "did you mean '";
  const size_t at = message.find(lead);
  if (at == std::string::npos) return std::nullopt;
  const size_t end = message.find('\'', at + lead.size());
  if (end == std::string::npos) return std::nullopt;
  return message.substr(at + lead.size(), end - at - lead.size());
}

// Faults of a position off the 50 m raster: kilometric ranges (2), signal
// repetition (3, 4), stations (8).
bool off_the_raster(const diagnostic& d) {
  return d.fault == 2 || d.fault == 3 || d.fault == 4 || d.fault == 8;
}

// The UTF-8 letters that the editor's text shows as Windows-1252 mojibake
// ("Ã\u0152" for "Ì"), when the line reads as UTF-8 once taken back to bytes.
std::optional<std::string> unmangled(std::string_view line_utf8) {
  const std::string bytes = runtime::to_windows1252(line_utf8);
  if (runtime::windows1252_to_utf8(bytes) != line_utf8) return std::nullopt;  // not all of 1252
  // The bytes must be well-formed UTF-8 with at least one sequence.
  bool any = false;
  for (size_t i = 0; i < bytes.size();) {
    const unsigned char c = static_cast<unsigned char>(bytes[i]);
    size_t n = c < 0x80                ? 1
               : c >= 0xC2 && c < 0xE0 ? 2
               : c >= 0xE0 && c < 0xF0 ? 3
               : c >= 0xF0 && c < 0xF5 ? 4
                                       : 0;
    if (n == 0 || i + n > bytes.size()) return std::nullopt;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return std::nullopt;
    any |= n > 1;
    i += n;
  }
  if (!any) return std::nullopt;
  return bytes;
}

bool has_line(const document_view& d, std::string_view text) {
  for (int i = 0; i < d.source.line_count(); ++i)
    if (runtime::contains_any_case(d.source.line(i), text)) return true;
  return false;
}

}  // namespace

std::vector<code_action> code_actions_for(const document_view& self, text_range range,
                                          const std::vector<diagnostic>& diagnostics) {
  std::vector<code_action> out;
  for (const diagnostic& d : diagnostics) {
    if (!touches(d, range)) continue;
    const int line = d.range.start.line;
    if (auto word = meant_word(d.message)) {
      // The keyword field: the diagnostic's own range.
      out.push_back(single_edit(self, "Replace with '" + *word + "'", {d.range, *word}, &d));
      continue;
    }
    if (off_the_raster(d)) {
      const record_line* r = self.record_at(line);
      if (!r) continue;
      for (size_t i = 1; i < r->fields.size(); ++i) {
        const field_span& f = r->fields[i];
        if (!f.number || *f.number % 50 == 0) continue;
        const int64_t rounded = (*f.number + (*f.number >= 0 ? 25 : -25)) / 50 * 50;
        out.push_back(single_edit(
            self, "Round " + f.text + " to " + std::to_string(rounded) + " (the 50 m raster)",
            {self.editor_range(line, f.begin, f.end), std::to_string(rounded)}, &d));
        break;
      }
      continue;
    }
    if (d.kind == "utf8-in-document" && self.held) {
      const std::string_view held = self.held->line(line);
      if (auto fixed = unmangled(held)) {
        const text_range whole{{line, 0}, {line, units_of(held, self.held->encoding())}};
        out.push_back(single_edit(self, "Turn the UTF-8 bytes back into the letters meant",
                                  {whole, *fixed}, &d));
      }
    }
  }
  // The sections every document needs.
  if (!has_line(self, "[generale]"))
    out.push_back(single_edit(self, "Add the \"[generale]\" line",
                              {{{0, 0}, {0, 0}}, "[generale]\r\n"}, nullptr));
  if (!has_line(self, "[fine]")) {
    const int last = self.source.line_count() - 1;
    const int end = self.editor_column(last, static_cast<int>(self.source.line(last).size()));
    out.push_back(
        single_edit(self, "Add the \"[fine]\" line",
                    {{{last, end}, {last, end}},
                     std::string(self.source.line(last).empty() ? "" : "\r\n") + "[fine]\r\n"},
                    nullptr));
  }
  return out;
}

}  // namespace lsp
