#include "lsp/inlay_hints.h"

#include "lsp/route_places.h"
#include "model/cell_words.h"
#include "model/rounding.h"

namespace lsp {

namespace {

std::string kmh(int32_t v) {
  return std::to_string(v) + " km/h";
}

// What the package keeps for the speed in field `i` of a record, and the
// speeds a train reads back from it; none where it keeps the speed as
// written or it does not fit (the checker says so).
std::optional<inlay_hint> packed_speed_hint(const record_line& r,
                                            const compiler::record_description& form, size_t i,
                                            const document_view& self) {
  const compiler::record_field& field = form.fields[i - 1];
  const field_span& f = r.fields[i];
  // An empty field reads as 0.
  const std::optional<int64_t> written = f.text.empty() ? 0 : f.number;
  if (!written || *written < INT32_MIN || *written > INT32_MAX) return std::nullopt;
  const int32_t speed = static_cast<int32_t>(*written);
  const text_position at{r.line, self.editor_column(r.line, f.end)};
  if (field.packing == compiler::speed_packing::steps_of_5_in_byte) {
    uint8_t steps;
    if (!model::round_to_u8(speed / 5.0, &steps)) return std::nullopt;
    const int32_t read = steps * 5;
    return inlay_hint{
        at, " kept as " + std::to_string(steps) + (read == speed ? "" : " (" + kmh(read) + ")"),
        "the package keeps this speed in one byte, in steps of 5 km/h: " + std::to_string(steps) +
            ", which a train reads as " + kmh(read)};
  }
  if (field.packing != compiler::speed_packing::board_word_d) return std::nullopt;
  // The "s" speed of the same category: the n-th of each side.
  size_t nth = 0;
  for (size_t k = 0; k + 1 < i; ++k)
    nth += form.fields[k].packing == compiler::speed_packing::board_word_d;
  size_t partner = 0;
  for (size_t k = 0, seen = 0; k < form.fields.size() && !partner; ++k)
    if (form.fields[k].packing == compiler::speed_packing::board_word_s && seen++ == nth)
      partner = k + 1;
  if (!partner || partner >= r.fields.size()) return std::nullopt;
  const std::optional<int64_t> s_speed =
      r.fields[partner].text.empty() ? 0 : r.fields[partner].number;
  if (!s_speed || *s_speed < INT32_MIN || *s_speed > INT32_MAX) return std::nullopt;
  int16_t word;
  if (!model::pack_board_speeds(static_cast<int32_t>(*s_speed), speed, &word)) return std::nullopt;
  const model::board_speeds read = model::unpack_board_speeds(word);
  return inlay_hint{at,
                    " kept as " + std::to_string(word) + " (" + std::to_string(read.s_kmh) + "|" +
                        kmh(read.d_kmh) + ")",
                    "the package keeps the " + std::string(form.fields[partner - 1].name) +
                        " and " + std::string(field.name) +
                        " speeds in one word, (s / 5) x 100 + d / 5 = " + std::to_string(word) +
                        ", which a train reads as " + kmh(read.s_kmh) + " and " + kmh(read.d_kmh)};
}

}  // namespace

std::vector<inlay_hint> inlay_hints_in(const document_pair& pair, const document_view& self,
                                       int first_line, int last_line) {
  std::vector<inlay_hint> out;
  for (const record_line& r : self.records) {
    if (r.line < first_line || r.line > last_line || r.kinds.empty()) continue;
    if (r.place == compiler::record_place::line_header) continue;  // the ranges themselves
    const compiler::record_description& form = compiler::record_of(r.kinds[0]);
    for (size_t i = 1; i < r.fields.size() && i - 1 < form.fields.size(); ++i) {
      const field_span& f = r.fields[i];
      if (form.fields[i - 1].packing != compiler::speed_packing::none) {
        if (std::optional<inlay_hint> h = packed_speed_hint(r, form, i, self))
          out.push_back(std::move(*h));
        continue;
      }
      if (!pair.line || !form.fields[i - 1].is_position || !f.number) continue;
      const auto km = line_kilometre(*pair.line, *f.number);
      if (!km) continue;
      out.push_back({{r.line, self.editor_column(r.line, f.end)},
                     " " + kilometre_text(*km),
                     "the line's kilometre at route metre " + grouped(*f.number)});
    }
  }
  return out;
}

}  // namespace lsp
