#include "lsp/route_places.h"

#include <span>

#include "model/line_kilometre.h"
#include "model/track_grid.h"

namespace lsp {

namespace {

// Every record of a document with its place in metres.
struct placed_record {
  const record_line* record;
  int32_t position;
};
std::vector<placed_record> placed_records(std::span<const record_line> records) {
  std::vector<placed_record> out;
  for (const record_line& r : records)
    if (auto p = record_position(r)) out.push_back({&r, *p});
  return out;
}

}  // namespace

std::vector<const record_line*> records_at(const document_view& d, int32_t p) {
  std::vector<const record_line*> out;
  const std::vector<placed_record> placed = placed_records(d.records);
  for (size_t i = 0; i < placed.size(); ++i) {
    const record_line& r = *placed[i].record;
    const compiler::record_kind k = r.kinds[0];
    const compiler::record_reach reach = compiler::record_of(k).reach;
    const int32_t at = placed[i].position;
    if (reach == compiler::record_reach::none) continue;
    if (reach == compiler::record_reach::point) {
      if (model::point_cell(at) == model::point_cell(p)) out.push_back(&r);
      continue;
    }
    auto value = [&](size_t field) -> std::optional<int64_t> {
      return r.fields.size() > field ? r.fields[field].number : std::nullopt;
    };
    if (reach == compiler::record_reach::for_length) {
      if (auto len = value(2); len && p >= at && p < at + *len) out.push_back(&r);
    } else if (reach == compiler::record_reach::to_end) {
      if (auto end = value(2); end && p >= at && p <= *end) out.push_back(&r);
    } else if (p >= at) {
      // Up to the next record of the same kind.
      bool superseded = false;
      for (size_t j = i + 1; j < placed.size(); ++j)
        if (placed[j].record->kinds[0] == k && placed[j].position <= p && placed[j].position > at) {
          superseded = true;
          break;
        }
      if (!superseded) out.push_back(&r);
    }
  }
  return out;
}

std::string kilometre_text(int64_t metres) {
  return "km " + model::kilometre_mark(metres);
}

std::optional<int64_t> line_kilometre(const document_view& line, int64_t p) {
  std::vector<model::written_range> written;
  for (const record_line& r : line.records) {
    if (r.place != compiler::record_place::line_header || r.kinds.empty() || r.fields.size() < 4)
      continue;
    const compiler::record_kind k = r.kinds[0];
    if (k != compiler::record_kind::range_one && k != compiler::record_kind::range_two &&
        k != compiler::record_kind::range_three)
      continue;
    const auto& start = r.fields[1].number;
    const auto& reference = r.fields[2].number;
    const auto& flag = r.fields[3].number;
    if (start && reference && flag) written.push_back({*start, *reference, *flag});
  }
  const std::vector<model::kilometric_range> ranges = model::kilometric_ranges(written);
  if (model::range_at(ranges, p) < 0) return std::nullopt;
  return model::line_metre(ranges, p);
}

std::string grouped(int64_t v) {
  std::string digits = std::to_string(v < 0 ? -v : v), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ' ';
    out += digits[i];
  }
  return (v < 0 ? "-" : "") + out;
}

}  // namespace lsp
