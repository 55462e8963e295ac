#include "lsp/document_records.h"

#include <charconv>

#include "runtime/field_reader.h"
#include "runtime/text_lines.h"
#include "runtime/windows1252.h"

namespace lsp {

namespace {

bool ends_with_any_case(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && runtime::lower_text(s.substr(s.size() - tail.size())) == tail;
}

std::optional<int64_t> parse_number(std::string_view s) {
  if (s.empty()) return std::nullopt;
  size_t i = (s[0] == '-' || s[0] == '+') ? 1 : 0;
  if (i == s.size() || s.size() > 12) return std::nullopt;
  int64_t v = 0;
  for (; i < s.size(); ++i) {
    if (s[i] < '0' || s[i] > '9') return std::nullopt;
    v = v * 10 + (s[i] - '0');
  }
  return s[0] == '-' ? -v : v;
}

// The fields of one line, where the field reader finds them.
class line_fields {
 public:
  explicit line_fields(std::string_view line) : line_(line) {}
  bool done() const { return at_ >= line_.size(); }

  field_span next(bool as_number) {
    const runtime::line_field where = runtime::read_line_field(line_, at_, as_number);
    at_ = where.next;
    field_span f;
    f.begin = static_cast<int>(where.begin);
    f.end = static_cast<int>(where.end);
    f.text = std::string(line_.substr(where.begin, where.end - where.begin));
    if (as_number) f.number = parse_number(f.text);
    return f;
  }

 private:
  std::string_view line_;
  size_t at_ = 0;
};

}  // namespace

std::vector<record_line> read_record_lines(std::string_view text, document_kind kind) {
  std::vector<record_line> out;
  const std::vector<std::string_view> lines = runtime::split_lines(text, true);
  std::optional<compiler::record_place> place;
  for (size_t n = 0; n < lines.size(); ++n) {
    std::string_view line = lines[n];
    line_fields reader(line);
    if (reader.done()) continue;
    record_line r;
    r.line = static_cast<int>(n);
    r.fields.push_back(reader.next(false));
    const std::string& keyword = r.fields[0].text;
    if (keyword.empty() && reader.done()) continue;
    r.has_values = line.find(',') != std::string_view::npos;
    r.is_section = runtime::contains(keyword, "[") && runtime::contains(keyword, "]");
    // Where the readers are when they meet this line.
    if (!place) {
      if (runtime::contains_any_case(keyword, "[generale]"))
        place = kind == document_kind::line_description ? compiler::record_place::line_header
                                                        : compiler::record_place::train_records;
    } else if (*place == compiler::record_place::line_header && r.is_section &&
               keyword.find_first_not_of(" \t") != std::string::npos && keyword[0] != '-') {
      place = compiler::record_place::line_records;
    }
    r.place = place;
    if (place && !r.is_section) {
      for (const compiler::record_description& f : compiler::all_records())
        if (f.place == *place && compiler::keyword_matches(f.kind, keyword))
          r.kinds.push_back(f.kind);
      if (!r.kinds.empty()) {
        for (const compiler::record_field& field : compiler::record_of(r.kinds[0]).fields) {
          if (reader.done()) break;
          r.fields.push_back(reader.next(field.storage != compiler::field_storage::text));
        }
      }
    }
    out.push_back(std::move(r));
  }
  return out;
}

document_kind kind_by_name(std::string_view file_name) {
  if (ends_with_any_case(file_name, "_linea.txt")) return document_kind::line_description;
  if (ends_with_any_case(file_name, "-.txt")) return document_kind::train_document;
  return document_kind::unknown;
}

document_kind kind_by_content(std::string_view text) {
  // The keywords that only one of the two documents uses, on lines of their
  // own.
  int line_votes = 0, train_votes = 0;
  for (std::string_view line : runtime::split_lines(text, true)) {
    line_fields reader(line);
    if (reader.done()) continue;
    const std::string keyword = reader.next(false).text;
    if (runtime::contains(keyword, "[") && runtime::contains(keyword, "]")) continue;
    for (const compiler::record_description& f : compiler::all_records()) {
      if (!compiler::keyword_matches(f.kind, keyword)) continue;
      (f.place == compiler::record_place::train_records ? train_votes : line_votes) += 1;
      break;
    }
  }
  if (line_votes == 0 && train_votes == 0) return document_kind::unknown;
  return line_votes >= train_votes ? document_kind::line_description
                                   : document_kind::train_document;
}

std::optional<int32_t> record_position(const record_line& r) {
  if (r.kinds.empty() || r.fields.size() < 2) return std::nullopt;
  const auto fields = compiler::record_of(r.kinds[0]).fields;
  if (fields.empty() || !fields[0].is_position || !r.fields[1].number) return std::nullopt;
  const int64_t v = *r.fields[1].number;
  if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(v);
}

}  // namespace lsp
