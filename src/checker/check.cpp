#include "checker/check.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <future>
#include <map>

#include "compiler/compile.h"
#include "compiler/compile_state.h"
#include "compiler/gradients_curves.h"
#include "compiler/kilometric_ranges.h"
#include "compiler/line_reader.h"
#include "compiler/mountains_boards.h"
#include "compiler/record_table.h"
#include "compiler/signals_restrictions.h"
#include "compiler/stations.h"
#include "compiler/train_reader.h"
#include "model/rounding.h"
#include "model/route_extent.h"
#include "runtime/field_reader.h"
#include "runtime/nearest_word.h"
#include "runtime/text_lines.h"
#include "runtime/windows1252.h"

namespace checker {

namespace {

// The longest texts a board and a station name show: a board has up to three
// lines of 16 characters, each written in parentheses; a station name is
// shown in a column of 27 characters.
constexpr size_t board_line_length = 16;
constexpr size_t board_lines = 3;
constexpr size_t board_text_length = 54;
constexpr size_t station_name_length = 27;
// Document text quoted in a message is cut to this many bytes.
constexpr size_t quoted_length = 40;

}  // namespace

namespace {

// Plain loops, not find_first_not_of(" \t"), which looks each byte up in the
// set: every line of a document is trimmed more than once.
std::string_view trim(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && runtime::is_blank(s[b])) ++b;
  while (e > b && runtime::is_blank(s[e - 1])) --e;
  return s.substr(b, e - b);
}

// Document text (Windows-1252) for a message (UTF-8), in quotes, cut short.
std::string quote(std::string_view text) {
  std::string cut(text.substr(0, quoted_length));
  std::string q = "'" + runtime::windows1252_to_utf8(cut);
  if (text.size() > quoted_length) q += "...";
  return q + "'";
}

// The keywords of one place, as a misspelling is compared with them.
std::vector<std::string> list_keywords_of(compiler::record_place place) {
  std::vector<std::string> out;
  for (const compiler::record_description& f : compiler::all_records()) {
    if (f.place != place) continue;
    if (f.kind == compiler::record_kind::curve) {
      // The side and the class are written in the keyword: "curvad3".
      for (const compiler::value_code& side : f.keyword_parts[0].codes)
        for (const compiler::value_code& degree : f.keyword_parts[1].codes)
          out.push_back(std::string(f.keyword) + std::string(side.value) +
                        std::string(degree.value));
    } else if (f.kind == compiler::record_kind::signal_repetition) {
      for (const compiler::value_code& count : f.keyword_parts[0].codes)
        out.push_back("ripetizione segnali " + std::string(count.value) + " codici");
    } else {
      out.emplace_back(f.keyword);
    }
  }
  return out;
}

// The lists never change: each is made once, when first asked for (a
// document of unknown lines asks on every line).
const std::vector<std::string>& keywords_of(compiler::record_place place) {
  static const std::array<std::vector<std::string>, 3> lists = {
      list_keywords_of(compiler::record_place::line_header),
      list_keywords_of(compiler::record_place::line_records),
      list_keywords_of(compiler::record_place::train_records)};
  return lists[static_cast<size_t>(place)];
}

std::vector<compiler::record_kind> matching_kinds(std::string_view field,
                                                  compiler::record_place place) {
  std::vector<compiler::record_kind> out;
  for (const compiler::record_description& f : compiler::all_records())
    if (f.place == place && compiler::keyword_matches(f.kind, field)) out.push_back(f.kind);
  return out;
}

// Whether any record of `place` takes `field` as its keyword.
bool any_kind_matches(std::string_view field, compiler::record_place place) {
  for (const compiler::record_description& f : compiler::all_records())
    if (f.place == place && compiler::keyword_matches(f.kind, field)) return true;
  return false;
}

bool is_section_header(std::string_view field) {
  return runtime::contains(field, "[") && runtime::contains(field, "]");
}

// A record's values as read from its own line with its form.
struct record_values {
  enum { complete, too_few, bad_number } state = complete;
  std::vector<int32_t> numbers;  // every number field, in order
  std::vector<int> columns;      // the column of every field read, in order
  std::string text;              // the text field, if any
  size_t fields_read = 0;
  std::string fault;  // the reader's words for a bad number
  int fault_column = 0;
  size_t extra_fields = 0;  // fields left on the line after the record
  int extra_column = 0;
};

// Fills `v` (its buffers kept from the line before) with a record's values.
void read_record(runtime::field_reader& r, std::span<const compiler::record_field> fields,
                 record_values& v) {
  v.state = record_values::complete;
  v.numbers.clear();
  v.columns.clear();
  v.text.clear();
  v.fields_read = 0;
  v.fault.clear();
  v.fault_column = 0;
  v.extra_fields = 0;
  v.extra_column = 0;
  for (const compiler::record_field& field : fields) {
    if (r.at_end()) {
      v.state = record_values::too_few;
      return;
    }
    bool ok = true;
    if (field.storage == compiler::field_storage::text) {
      ok = r.read_text(&v.text);
    } else if (field.storage == compiler::field_storage::i16) {
      int16_t n = 0;
      ok = r.read_i16(&n);
      v.numbers.push_back(n);
    } else if (field.storage == compiler::field_storage::u8) {
      uint8_t n = 0;
      ok = r.read_u8(&n);
      v.numbers.push_back(n);
    } else {
      int32_t n = 0;
      ok = r.read_i32(&n);
      v.numbers.push_back(n);
    }
    v.columns.push_back(r.field_column());
    if (!ok) {
      v.state = record_values::bad_number;
      v.fault = r.fault();
      v.fault_column = r.field_column();
      return;
    }
    ++v.fields_read;
  }
  std::string rest;
  while (!r.at_end() && r.read_text(&rest)) {
    if (trim(rest).empty() && r.at_end()) break;
    if (v.extra_fields++ == 0) v.extra_column = r.field_column();
  }
}

// Where a signal and a restriction lie, to find the record behind a fault of
// the approach-marker pass.
struct laid_restriction {
  int32_t start_cell, end_cell;
  int line, column;
};

class checker {
 public:
  checker(const check_input& input, const check_options& options)
      : input_(input), options_(options) {
    cs_.with_plan = true;
  }

  std::vector<compiler::finding> run() {
    check_line_description();
    check_train_document();
    report_empty(compiler::source_document::train_document, train_general_seen_);
    return std::move(found_);
  }
  size_t left_out(compiler::source_document d) const {
    return d == compiler::source_document::line_description ? left_out_[0] : left_out_[1];
  }

  // A document from which the compile reads no record at all makes a
  // package with nothing of it (no stations, no signals, a clock at 00:00):
  // an error, not a silent success. (A line description without its header
  // is the compile's own fault already.)
  void report_empty(compiler::source_document document, bool general_seen) {
    if (records_seen_[static_cast<size_t>(document)] > 0) return;
    compiler::finding f;
    f.document = document;
    f.line = 1;
    f.column = 1;
    const char* what = document == compiler::source_document::train_document ? "train document"
                                                                             : "line description";
    f.message = std::string("the ") + what + " holds no record that the compile reads" +
                (general_seen ? " after \"[generale]\""
                              : ": it has no \"[generale]\" line, and nothing before it is read") +
                "; its package would hold nothing of it. Write \"[generale]\" on the first "
                "line and the records after it (scenario-tool help lists them)";
    found_.push_back(std::move(f));
  }

  // The cell whose holder a fault of a restriction's cells names: the
  // restriction's position is the fault's, not the cell's.
  std::optional<int32_t> held_cell(const compiler::finding& f) const {
    if (f.document != compiler::source_document::train_document || !f.code ||
        (*f.code != compiler::fault_code::warning_cell_taken &&
         *f.code != compiler::fault_code::start_cell_taken &&
         *f.code != compiler::fault_code::end_cell_taken &&
         *f.code != compiler::fault_code::countdown_cell_taken))
      return std::nullopt;
    auto it = restriction_cells_.find(f.line);
    if (it == restriction_cells_.end()) return std::nullopt;
    return it->second;
  }

  // The record behind a fault with no place, from what the reading laid.
  void locate(compiler::compile_fault& fault) const {
    const int32_t cell = fault.position / 50;
    auto place = [&](compiler::source_document doc, int line, int column) {
      fault.document = doc;
      fault.line = line;
      fault.column = column;
    };
    switch (fault.code) {
      case compiler::fault_code::range_not_on_50:
        if (bad_range_line_ > 0)
          place(compiler::source_document::line_description, bad_range_line_, bad_range_column_);
        break;
      case compiler::fault_code::no_marker_cell_before_signal:
        if (auto it = signals_.find(cell); it != signals_.end())
          place(compiler::source_document::train_document, it->second.first, it->second.second);
        break;
      case compiler::fault_code::no_marker_cell_before_start:
      case compiler::fault_code::no_marker_cell_inside_or_after: {
        // The restriction that starts at the cell, or the last one that
        // starts before it.
        const laid_restriction* best = nullptr;
        for (const laid_restriction& r : restrictions_)
          if (r.start_cell <= cell && (!best || r.start_cell >= best->start_cell)) best = &r;
        if (best) place(compiler::source_document::train_document, best->line, best->column);
        break;
      }
      default:
        break;
    }
  }

 private:
  // One line of a document, being read.
  struct line_at {
    compiler::source_document document;
    int number;
    std::string_view text;
    std::string keyword;
    int column;
  };

  void warn(const line_at& at, int column, compiler::warning_kind kind, std::string message,
            std::vector<compiler::related_record> related = {}) {
    if (options_.disabled.count(kind)) return;
    compiler::finding f;
    f.level = options_.warnings_are_errors ? compiler::diagnostic_level::error
                                           : compiler::diagnostic_level::warning;
    f.document = at.document;
    f.line = at.number;
    f.column = column;
    f.message = std::move(message);
    f.kind = kind;
    f.related = std::move(related);
    keep(std::move(f));
  }

  void error(const line_at& at, int column, compiler::fault_code code, std::string message,
             std::optional<int32_t> position = std::nullopt) {
    compiler::finding f;
    f.document = at.document;
    f.line = at.number;
    f.column = column;
    f.message = std::move(message);
    f.code = code;
    f.position = position;
    keep(std::move(f));
  }

  // A number kept in a narrower slot than it is read into: what the
  // package will hold in its place, on the value itself.
  void warn_values_out_of_slot(const line_at& at, const compiler::record_description& form,
                               const record_values& v) {
    size_t number = 0;
    for (size_t i = 0; i < form.fields.size() && i < v.columns.size(); ++i) {
      const compiler::record_field& field = form.fields[i];
      if (field.storage == compiler::field_storage::text) continue;
      const int32_t value = v.numbers[number++];
      const compiler::value_fit& fit = field.fit;
      if (!fit.checked() || (value >= fit.lowest && value <= fit.highest)) continue;
      std::string message = "the " + std::string(field.name) + " " + std::to_string(value) +
                            " of this \"" + std::string(form.keyword) + "\" record ";
      if (fit.bits > 0) {
        const int64_t mask = (int64_t{1} << fit.bits) - 1;
        const int64_t kept = ((static_cast<int64_t>(value) + fit.offset) & mask) - fit.offset;
        message += "does not fit the " + std::string(fit.bits == 8 ? "byte" : "word") +
                   " it is kept in (" + std::to_string(fit.lowest) + " to " +
                   std::to_string(fit.highest) + "): the package will hold " +
                   std::to_string(kept) + " in its place";
      } else {
        message += "is outside " + std::to_string(fit.lowest) + " to " +
                   std::to_string(fit.highest) +
                   ": it is packed into one word with the fields beside it and spills into them";
      }
      warn(at, v.columns[i], compiler::warning_kind::value_range, message);
    }
  }

  // An object that stands past the route's end, on the run-out the grid
  // keeps beyond it: the compile lays it, but no train reaches it.
  void warn_past_route_end(const line_at& at, const compiler::record_description& form,
                           int32_t position) {
    switch (form.kind) {
      case compiler::record_kind::station:
      case compiler::record_kind::signal:
      case compiler::record_kind::restriction:
      case compiler::record_kind::abbattimento:
      case compiler::record_kind::speed_board:
      case compiler::record_kind::text_board:
      case compiler::record_kind::mountain:
        break;
      default:
        return;
    }
    if (!cs_.sc.has_grid()) return;
    // The grid runs 7000 m past the route's end; a record beyond the grid
    // is refused by the compile, and said so there.
    const int32_t length = cs_.sc.last_cell() * 50 - 7000;
    const int32_t reach = form.kind == compiler::record_kind::station ? 800 : 100;
    if (position <= length || (position + reach) / 50.0 > cs_.sc.last_cell()) return;
    warn(at, at.column, compiler::warning_kind::cut_short,
         "this " + std::string(form.summary) + " at " + std::to_string(position) +
             " m stands past the route's end at " + std::to_string(length) +
             " m (the \"lunghezza percorso\" of the line description): no train reaches it");
  }

  // "12,5" in a line: a digit, a comma and a digit with no blank between,
  // which the documents' own records never write.
  static std::optional<std::string> decimal_comma(std::string_view text) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    for (size_t i = 1; i + 1 < text.size(); ++i)
      if (text[i] == ',' && digit(text[i - 1]) && digit(text[i + 1])) {
        size_t from = i - 1, to = i + 1;
        while (from > 0 && digit(text[from - 1])) --from;
        while (to + 1 < text.size() && digit(text[to + 1])) ++to;
        return std::string(text.substr(from, to - from + 1));
      }
    return std::nullopt;
  }

  // A record whose fields are separated by tabs or blanks, not commas: the
  // whole line is one keyword field. Said once a document, not once a line;
  // true for such a line, whose other warnings would only repeat it.
  bool separated_by_blanks(const line_at& at) {
    const std::string_view kw = trim(at.keyword);
    const size_t gap =
        static_cast<size_t>(std::find_if(kw.begin(), kw.end(), runtime::is_blank) - kw.begin());
    if (gap == kw.size()) return false;
    const std::string_view after = trim(kw.substr(gap));
    if (after.empty() || !(std::isdigit(static_cast<unsigned char>(after[0])) || after[0] == '-'))
      return false;
    bool& said = blank_separators_said_[static_cast<size_t>(at.document)];
    if (!said) {
      said = true;
      warn(at, at.column, compiler::warning_kind::field_count,
           std::string("the fields of this line are separated by ") +
               (kw.find('\t') != std::string_view::npos ? "tabs" : "blanks") +
               ", not commas: the compile reads the whole line as one keyword and takes the "
               "record's values from the lines after it. Separate fields with commas, as in "
               "'pendenza,  700,  4' (said once for all such lines of this document)");
    }
    return true;
  }

  // Bytes that look like UTF-8: the first such character of each line.
  void check_text_encoding(const line_at& at) {
    std::string_view t = at.text;
    if (at.number == 1 && t.starts_with("\xEF\xBB\xBF")) {
      warn(at, 1, compiler::warning_kind::utf8_in_document,
           "the document begins with a UTF-8 byte-order mark (bytes EF BB BF), which the "
           "compile reads as part of the first keyword; save the document as Windows-1252, "
           "without the mark");
      t.remove_prefix(3);
    }
    // Most lines are plain ASCII: no byte there can begin a UTF-8 sequence.
    if (std::none_of(t.begin(), t.end(),
                     [](char c) { return static_cast<unsigned char>(c) >= 0xC2; }))
      return;
    for (size_t i = 0; i < t.size(); ++i) {
      const auto lead = static_cast<unsigned char>(t[i]);
      size_t n = lead >= 0xC2 && lead <= 0xDF   ? 2
                 : lead >= 0xE0 && lead <= 0xEF ? 3
                 : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                : 0;
      if (n == 0 || i + n > t.size()) continue;
      bool continued = true;
      for (size_t k = 1; k < n; ++k)
        continued = continued && (static_cast<unsigned char>(t[i + k]) & 0xC0) == 0x80;
      if (!continued) continue;
      const std::string_view bytes = t.substr(i, n);
      static constexpr char hex[] = "0123456789ABCDEF";
      std::string shown;
      for (unsigned char c : bytes) {
        if (!shown.empty()) shown += ' ';
        shown += hex[c >> 4];
        shown += hex[c & 15];
      }
      warn(at, static_cast<int>(i) + 1, compiler::warning_kind::utf8_in_document,
           "bytes " + shown + " look like UTF-8 for '" + std::string(bytes) +
               "'; the document is read as Windows-1252, where they are '" +
               runtime::windows1252_to_utf8(bytes) + "': save it as Windows-1252");
      return;
    }
  }

  // Reads the keyword field of a line; false for a blank line.
  bool begin_line(line_at& at, runtime::field_reader& r) {
    check_text_encoding(at);
    if (trim(at.text).empty()) return false;
    if (!r.read_text(&at.keyword)) return false;
    at.column = r.field_column();
    // A line that begins with a comma: nothing there for the compile to
    // take as a keyword.
    if (trim(at.keyword).empty()) return false;
    if (past_end_marker_ && !warned_after_end_) {
      warned_after_end_ = true;
      warn(at, at.column, compiler::warning_kind::after_end_marker,
           "text after \"[fine]\": the compile reads on to the end of the document");
    }
    if (is_section_header(at.keyword) && runtime::contains_any_case(at.keyword, "[fine]"))
      past_end_marker_ = true;
    return true;
  }

  // Reads a record's values; warns when its line has too few or too many.
  // The values are the checker's until the next line's are read.
  const record_values* read_values(const line_at& at, runtime::field_reader& r,
                                   const compiler::record_description& form) {
    record_values& v = values_;
    read_record(r, form.fields, v);
    if (v.state == record_values::complete && v.extra_fields == 0) return &v;
    const std::string what(form.summary);
    const std::string name =
        (std::string("aeiou").find(what[0]) != std::string::npos ? "an " : "a ") + what +
        " record (" + std::string(form.keyword) + ")";
    auto values = [](size_t n) { return std::to_string(n) + (n == 1 ? " value" : " values"); };
    if (v.state == record_values::too_few) {
      if (separated_by_blanks(at)) return nullptr;
      warn(at, at.column, compiler::warning_kind::field_count,
           name + " takes " + values(form.fields.size()) + " after its keyword; this line has " +
               std::to_string(v.fields_read) +
               ": the compile reads the missing ones from the lines after it");
      return nullptr;
    }
    if (v.state == record_values::bad_number) {
      compiler::compile_fault f;
      f.code = compiler::fault_code::runtime_fault;
      f.keyword = at.keyword;
      f.detail = v.fault;
      error(at, v.fault_column, compiler::fault_code::runtime_fault, compiler::fault_message(f));
      return nullptr;
    }
    if (v.extra_fields > 0) {
      std::string message = name + " takes " + values(form.fields.size()) +
                            " after its keyword; this line has " +
                            std::to_string(form.fields.size() + v.extra_fields) +
                            ": the compile reads the rest as keywords";
      // Stations and signals write some of their small codes "3,1,0" on
      // purpose; elsewhere "12,5" is a decimal comma.
      const bool compact =
          form.kind == compiler::record_kind::station || form.kind == compiler::record_kind::signal;
      if (const std::optional<std::string> comma = compact ? std::nullopt : decimal_comma(at.text))
        message += "; '" + *comma +
                   "' looks like a decimal comma, but numbers are whole and a comma separates "
                   "fields: write the value in whole metres or units";
      warn(at, v.extra_column, compiler::warning_kind::field_count, message);
    }
    return &v;
  }

  // Hands the record of a line, alone, to the compiler's handler; its fault,
  // if any, becomes an error. True when the record was accepted.
  bool run_handler(const line_at& at, compiler::step (*handler)(compiler::compile_state&),
                   bool needs_grid = true) {
    if (needs_grid && !cs_.sc.has_grid()) return false;
    runtime::field_reader r(at.text);
    r.read_text(&cs_.field);
    cs_.reader = &r;
    cs_.document = at.document;
    // Lines counted on the line read alone; the finding adds the line's own.
    cs_.record_line = 1;
    cs_.record_column = at.column;
    cs_.record_keyword = cs_.field;
    cs_.values.fill(compiler::field_place{});
    cs_.bad_value = compiler::field_place{};
    cs_.fault.reset();
    const compiler::step s = handler(cs_);
    cs_.reader = nullptr;
    if (cs_.fault) {
      compiler::finding f;
      f.document = at.document;
      // The fault's place on the line read alone: the keyword or the value
      // at fault.
      f.line = at.number + std::max(cs_.fault->line, 1) - 1;
      f.column = cs_.fault->column > 0 ? cs_.fault->column : at.column;
      f.message = compiler::fault_message(*cs_.fault);
      f.code = cs_.fault->code;
      if (cs_.fault->has_position) f.position = cs_.fault->position;
      if (cs_.fault->taken_cell) restriction_cells_[f.line] = *cs_.fault->taken_cell;
      keep(std::move(f));
      cs_.fault.reset();
      return false;
    }
    return s == compiler::step::next;
  }

  // The record read before, of one kind, and where it stands.
  struct earlier_record {
    int32_t position = 0;
    int line = 0;
  };

  void warn_order(const line_at& at, std::optional<earlier_record>& previous, int32_t position,
                  std::string_view what, bool same_cell_matters) {
    if (previous) {
      auto before = [&] {
        return std::vector<compiler::related_record>{
            {at.document, previous->line, {}, "the " + std::string(what) + " before it"}};
      };
      if (position < previous->position)
        warn(at, at.column, compiler::warning_kind::out_of_order,
             "this " + std::string(what) + " at " + std::to_string(position) +
                 " m comes after one at " + std::to_string(previous->position) +
                 " m: the compile fills cells in the order of the records, so it takes effect "
                 "one cell after the earlier record's",
             before());
      else if (same_cell_matters &&
               model::stretch_cell(position) == model::stretch_cell(previous->position))
        warn(at, at.column, compiler::warning_kind::out_of_order,
             "this " + std::string(what) + " at " + std::to_string(position) +
                 " m falls in the same cell as the one at " + std::to_string(previous->position) +
                 " m: it takes effect one cell later",
             before());
    }
    previous = earlier_record{position, at.number};
  }

  // ---- The line description.

  void check_line_description() {
    const std::vector<std::string_view> lines = runtime::split_lines(input_.line_description);
    enum { before_general, header, records } phase = before_general;
    int general_line = 0, general_column = 0;
    std::map<compiler::record_kind, int> header_seen;
    std::set<compiler::record_kind> misspelt;
    std::optional<earlier_record> last_gradient, last_mountain;
    // The end of the curve that reaches furthest, and its record.
    std::optional<earlier_record> last_curve_end;
    line_at end_of_header{compiler::source_document::line_description, 0, {}, {}, 0};

    auto finish_header = [&](const line_at& at) {
      phase = records;
      end_of_header = at;
      check_ranges();
      for (const compiler::record_description& f : compiler::all_records()) {
        if (f.place != compiler::record_place::line_header || header_seen.count(f.kind) ||
            misspelt.count(f.kind))
          continue;
        line_at general{compiler::source_document::line_description, general_line, {}, {}, 0};
        warn(general, general_column, compiler::warning_kind::header_key,
             "the general header has no '" + std::string(f.keyword) + "' key");
      }
      if (cs_.sc.has_grid()) {
        cs_.line = compiler::line_cursors{};
        model::start_line_plan(cs_.sc.plan);
      }
    };

    for (size_t i = 0; i < lines.size(); ++i) {
      line_at at{
          compiler::source_document::line_description, static_cast<int>(i) + 1, lines[i], {}, 0};
      runtime::field_reader r(at.text);
      if (!begin_line(at, r)) continue;
      const std::string_view kw = trim(at.keyword);

      if (phase == before_general) {
        if (runtime::contains_any_case(at.keyword, "[generale]")) {
          phase = header;
          general_line = at.number;
          general_column = at.column;
        } else if (any_kind_matches(at.keyword, compiler::record_place::line_header) ||
                   any_kind_matches(at.keyword, compiler::record_place::line_records)) {
          warn(at, at.column, compiler::warning_kind::misplaced_record,
               "a record before \"[generale]\": the compile does not read it");
        }
        continue;
      }

      if (phase == header) {
        if (is_section_header(at.keyword) && kw.front() != '-') {
          finish_header(at);
          continue;
        }
        check_header_line(at, r, header_seen, misspelt);
        continue;
      }

      const compiler::record_description* form =
          record_of_line(at, compiler::record_place::line_records);
      if (!form) continue;
      const record_values* v = read_values(at, r, *form);
      if (!v) continue;
      const int32_t p = v->numbers[0];
      warn_past_route_end(at, *form, p);
      warn_values_out_of_slot(at, *form, *v);
      switch (form->kind) {
        case compiler::record_kind::gradient:
          if (run_handler(at, compiler::gradient_record))
            warn_order(at, last_gradient, p, "gradient", true);
          break;
        case compiler::record_kind::curve:
          if (run_handler(at, compiler::curve_record)) {
            if (last_curve_end && p < last_curve_end->position)
              warn(at, at.column, compiler::warning_kind::out_of_order,
                   "this curve starts at " + std::to_string(p) +
                       " m, before the previous curve ends at " +
                       std::to_string(last_curve_end->position) +
                       " m: it is bent only from there on",
                   {{at.document, last_curve_end->line, {}, "the curve that ends there"}});
            const int64_t end = static_cast<int64_t>(p) + v->numbers[1];
            if (end > cs_.sc.plan.last_metre)
              warn(at, at.column, compiler::warning_kind::cut_short,
                   "this curve ends at " + std::to_string(end) + " m, past the plan's last metre " +
                       std::to_string(cs_.sc.plan.last_metre) + ": it is bent only up to there");
            if (!last_curve_end || end > last_curve_end->position)
              last_curve_end = earlier_record{
                  static_cast<int32_t>(std::min<int64_t>(end, INT32_MAX)), at.number};
          }
          break;
        case compiler::record_kind::mountain:
          if (run_handler(at, compiler::mountain_record)) {
            warn_order(at, last_mountain, p, "mountain", false);
            const int64_t last = compiler::cells_of_mountain(p, v->numbers[1]).last;
            if (p < 0 || last > cs_.sc.last_cell())
              warn(at, at.column, compiler::warning_kind::cut_short,
                   "this mountain runs from " + std::to_string(p) + " m to " +
                       std::to_string(v->numbers[1]) +
                       " m, beyond the track grid: it is laid only on the cells that exist");
          }
          break;
        case compiler::record_kind::speed_board:
          run_handler(at, compiler::speed_board_record);
          break;
        case compiler::record_kind::text_board:
          if (run_handler(at, compiler::text_board_record)) check_board_text(at, v->text);
          break;
        default:
          break;
      }
    }
    if (phase == before_general) return;  // the compile's own fault (102) says it
    if (phase == header) finish_header(end_of_header);
  }

  void check_header_line(const line_at& at, runtime::field_reader& r,
                         std::map<compiler::record_kind, int>& seen,
                         std::set<compiler::record_kind>& misspelt) {
    const std::string_view kw = trim(at.keyword);
    const std::vector<compiler::record_kind> kinds =
        matching_kinds(at.keyword, compiler::record_place::line_header);
    if (kinds.empty()) {
      if (any_kind_matches(at.keyword, compiler::record_place::line_records) ||
          any_kind_matches(at.keyword, compiler::record_place::train_records)) {
        warn(at, at.column, compiler::warning_kind::misplaced_record,
             "a record in the general header: the compile reads only header keys there");
        return;
      }
      std::string message = "unknown header key " + quote(kw) + ": the compile skips it";
      if (std::optional<std::string> near =
              runtime::nearest_word(kw, keywords_of(compiler::record_place::line_header))) {
        message += "; did you mean '" + *near + "'?";
        if (runtime::lower_text(*near) == runtime::lower_text(kw))
          message += " (header keys are matched with their case)";
        for (const compiler::record_description& f : compiler::all_records())
          if (f.place == compiler::record_place::line_header &&
              compiler::keyword_matches(f.kind, *near))
            misspelt.insert(f.kind);
      }
      warn(at, at.column, compiler::warning_kind::header_key, message);
      return;
    }
    if (separated_by_blanks(at)) return;
    if (runtime::contains(at.keyword, "-")) {
      warn(at, at.column, compiler::warning_kind::dash_keyword,
           "the header key " + quote(kw) + " has a '-' in it: the reader passes over it");
      return;
    }
    if (kinds.size() > 1) {
      ++records_seen_[static_cast<size_t>(at.document)];
      ambiguous(at, kinds);
      return;
    }
    const compiler::record_description& form = compiler::record_of(kinds[0]);
    if (int& line = seen[form.kind]; line > 0)
      warn(at, at.column, compiler::warning_kind::header_key,
           "'" + std::string(form.keyword) + "' again (first on line " + std::to_string(line) +
               "): this value replaces the earlier one" +
               (form.kind == compiler::record_kind::route_length ? " and the grid is made anew"
                                                                 : ""));
    else
      line = at.number;
    const record_values* v = read_values(at, r, form);
    if (!v) return;
    const std::vector<int32_t>& n = v->numbers;
    switch (form.kind) {
      case compiler::record_kind::route_length:
      case compiler::record_kind::signal_repetition:
        // The compile's own header handler: it sizes the grid and the plan,
        // or finds the fault.
        run_handler(at, compiler::header_record, false);
        break;
      case compiler::record_kind::range_one:
      case compiler::record_kind::range_two:
      case compiler::record_kind::range_three: {
        const int entry = form.kind == compiler::record_kind::range_three ? model::entry_range_last
                          : form.kind == compiler::record_kind::range_two
                              ? model::entry_range_middle
                              : model::entry_range_first;
        model::scenario_entry& e = ranges_[static_cast<size_t>(entry)];
        e.l4 = n[0];
        e.l8 = n[1];
        e.l12 = n[2];
        range_lines_[static_cast<size_t>(entry - model::entry_range_last)] = {at.number, at.column};
        break;
      }
      default:
        break;
    }
  }

  // The kilometric ranges as the compile checks them once the train
  // document is read: put in order first, so a range that the ordering
  // clears is not at fault.
  void check_ranges() {
    model::scenario_table t{};
    for (int e = model::entry_range_last; e <= model::entry_range_first; ++e)
      t[static_cast<size_t>(e)] = ranges_[static_cast<size_t>(e)];
    if (!compiler::sort_kilometric_ranges(t)) return;
    for (int e = model::entry_range_last; e <= model::entry_range_first; ++e) {
      const model::scenario_entry& sorted = t[static_cast<size_t>(e)];
      if (sorted.l4 % 50 == 0 && sorted.l8 % 50 == 0) continue;
      // The record it came from: the same start and reference (the ordering
      // adds 100 to the reference of a range in use).
      for (int from = model::entry_range_last; from <= model::entry_range_first; ++from) {
        const model::scenario_entry& read = ranges_[static_cast<size_t>(from)];
        const auto [line, column] =
            range_lines_[static_cast<size_t>(from - model::entry_range_last)];
        if (line == 0 || read.l4 != sorted.l4 ||
            (read.l8 != sorted.l8 && read.l8 + model::range_reference_shift != sorted.l8))
          continue;
        line_at at{compiler::source_document::line_description, line, {}, {}, column};
        error(at, column, compiler::fault_code::range_not_on_50,
              std::string(compiler::fault_meaning(compiler::fault_code::range_not_on_50)));
        if (bad_range_line_ == 0) {
          bad_range_line_ = line;
          bad_range_column_ = column;
        }
        break;
      }
    }
  }

  void check_board_text(const line_at& at, std::string_view text) {
    std::vector<size_t> groups;
    for (size_t open = text.find('('); open != std::string_view::npos;
         open = text.find('(', open + 1)) {
      size_t close = text.find(')', open);
      if (close == std::string_view::npos) close = text.size();
      groups.push_back(close - open - 1);
    }
    if (groups.empty()) groups.push_back(trim(text).size());
    const bool too_long = text.size() > board_text_length || groups.size() > board_lines ||
                          *std::max_element(groups.begin(), groups.end()) > board_line_length;
    if (too_long)
      warn(at, at.column, compiler::warning_kind::text_too_long,
           "the board text " + quote(text) + " does not fit a board: at most " +
               std::to_string(board_lines) + " lines in parentheses of " +
               std::to_string(board_line_length) + " characters, " +
               std::to_string(board_text_length) + " in all");
  }

  // ---- The train document.

  void check_train_document() {
    const std::vector<std::string_view> lines = runtime::split_lines(input_.train_document);
    bool after_general = false;
    past_end_marker_ = warned_after_end_ = false;
    std::optional<earlier_record> last_speed, last_adhesion;
    cs_.train = compiler::train_cursors{};
    for (size_t i = 0; i < lines.size(); ++i) {
      line_at at{
          compiler::source_document::train_document, static_cast<int>(i) + 1, lines[i], {}, 0};
      runtime::field_reader r(at.text);
      if (!begin_line(at, r)) continue;
      if (!after_general) {
        if (runtime::contains_any_case(at.keyword, "[generale]"))
          after_general = train_general_seen_ = true;
        else if (any_kind_matches(at.keyword, compiler::record_place::train_records))
          warn(at, at.column, compiler::warning_kind::misplaced_record,
               "a record before \"[generale]\": the compile does not read it");
        continue;
      }
      const compiler::record_description* form =
          record_of_line(at, compiler::record_place::train_records);
      if (!form) continue;
      const record_values* v = read_values(at, r, *form);
      if (!v) continue;
      const std::vector<int32_t>& n = v->numbers;
      warn_past_route_end(at, *form, n[0]);
      warn_values_out_of_slot(at, *form, *v);
      switch (form->kind) {
        case compiler::record_kind::speed_limit: {
          const int32_t carried = cs_.train.speed;
          if (!run_handler(at, compiler::speed_record)) break;
          warn_order(at, last_speed, n[0], "speed limit", true);
          uint8_t steps;
          if (!model::round_to_u8(n[1] / 5.0, &steps)) {
            error(at, at.column, compiler::fault_code::runtime_fault,
                  "a speed limit of " + std::to_string(n[1]) +
                      " km/h does not fit its byte (0 to 1277 km/h): the compile stops at the "
                      "next speed record or at the end of the document");
            cs_.train.speed = carried;
          }
          break;
        }
        case compiler::record_kind::adhesion:
          if (run_handler(at, compiler::adhesion_record))
            warn_order(at, last_adhesion, n[0], "adhesion", true);
          break;
        case compiler::record_kind::signal:
          if (run_handler(at, compiler::signal_record)) {
            signals_[model::point_cell(n[0])] = {at.number, at.column};
            if (model::point_cell(n[0]) < 8)
              warn(at, at.column, compiler::warning_kind::cut_short,
                   "a signal at " + std::to_string(n[0]) +
                       " m: its approach marks 100 to 400 m before it fall before the first "
                       "cell and are left out");
          }
          break;
        case compiler::record_kind::restriction:
          if (run_handler(at, compiler::restriction_record))
            restrictions_.push_back(
                {model::point_cell(n[0]), model::point_cell(n[0] + n[2]), at.number, at.column});
          break;
        case compiler::record_kind::abbattimento:
          run_handler(at, compiler::abbattimento_record);
          break;
        case compiler::record_kind::station:
          // Once the stations have reached the boards' entries (fault 10),
          // the table has no entry for another.
          if (cs_.train.station_entry >= cs_.line.board_entry) break;
          if (run_handler(at, compiler::station_record) &&
              trim(v->text).size() > station_name_length)
            warn(at, at.column, compiler::warning_kind::text_too_long,
                 "the station name " + quote(trim(v->text)) + " has " +
                     std::to_string(trim(v->text).size()) + " characters; a name shows at most " +
                     std::to_string(station_name_length));
          break;
        default:
          break;
      }
    }
  }

  // ---- Lines that name no record of their place.

  // The one record a line's keyword names where it stands, or null (with the
  // warning said) for a keyword no record has, one with a dash, which the
  // reader passes over, or one that names more than one record.
  const compiler::record_description* record_of_line(const line_at& at,
                                                     compiler::record_place place) {
    const std::vector<compiler::record_kind>& kinds = kinds_of(at.keyword, place);
    if (kinds.empty()) {
      unknown_line(at, place);
      return nullptr;
    }
    if (separated_by_blanks(at)) return nullptr;
    if (runtime::contains(at.keyword, "-")) {
      warn(at, at.column, compiler::warning_kind::dash_keyword,
           "the keyword " + quote(trim(at.keyword)) +
               " has a '-' in it: the reader passes over it and the record is lost");
      return nullptr;
    }
    if (kinds.size() > 1) {
      ++records_seen_[static_cast<size_t>(at.document)];
      ambiguous(at, kinds);
      return nullptr;
    }
    ++records_seen_[static_cast<size_t>(at.document)];
    return &compiler::record_of(kinds[0]);
  }

  void unknown_line(const line_at& at, compiler::record_place place) {
    const std::string_view kw = trim(at.keyword);
    if (is_section_header(at.keyword)) return;
    const bool in_line = place != compiler::record_place::train_records;
    const compiler::record_place other =
        in_line ? compiler::record_place::train_records : compiler::record_place::line_records;
    if (any_kind_matches(at.keyword, other) ||
        (in_line && any_kind_matches(at.keyword, compiler::record_place::line_header))) {
      warn(at, at.column, compiler::warning_kind::misplaced_record,
           in_line ? "a record that belongs to the train document or the general header: the "
                     "compile skips it here"
                   : "a record of the line description: the compile skips it here");
      return;
    }
    if (runtime::contains(at.keyword, "-") && !runtime::contains_any_case(at.keyword, "[")) {
      // A line of dashes, passed over as the reader passes over such fields.
      if (kw.find_first_not_of("- \t") == std::string_view::npos) return;
    }
    std::string message = "unknown keyword " + quote(kw) + ": the compile skips this line";
    if (std::optional<std::string> near = runtime::nearest_word(kw, keywords_of(place)))
      message += "; did you mean '" + *near + "'?";
    warn(at, at.column, compiler::warning_kind::unknown_keyword, message);
  }

  void ambiguous(const line_at& at, const std::vector<compiler::record_kind>& kinds) {
    std::string names;
    for (compiler::record_kind k : kinds) {
      if (!names.empty()) names += ", ";
      names += "'" + std::string(compiler::record_of(k).keyword) + "'";
    }
    warn(at, at.column, compiler::warning_kind::ambiguous_keyword,
         "the keyword " + quote(trim(at.keyword)) + " names several records (" + names +
             "): each reads its values in turn from the fields that follow");
  }

  const check_input& input_;
  const check_options& options_;
  compiler::compile_state cs_;
  // Keeps a finding within the cap of its document, or counts it.
  void keep(compiler::finding&& f) {
    const size_t d = f.document == compiler::source_document::line_description ? 0 : 1;
    if (options_.max_findings_per_document && kept_[d] >= options_.max_findings_per_document) {
      ++left_out_[d];
      return;
    }
    ++kept_[d];
    found_.push_back(std::move(f));
  }
  // The records a keyword field names at a place: a document repeats a few
  // keywords thousands of times, and testing each against every record is
  // much of the reading's work. The first keywords met are kept, not every
  // one of a document of garbage.
  const std::vector<compiler::record_kind>& kinds_of(const std::string& keyword,
                                                     compiler::record_place place) {
    constexpr size_t kept_keywords = 256;
    std::map<std::string, std::vector<compiler::record_kind>, std::less<>>& known =
        known_kinds_[static_cast<size_t>(place)];
    // Records of one kind mostly follow one another.
    const std::vector<compiler::record_kind>*& last = last_kinds_[static_cast<size_t>(place)];
    if (last && last_keywords_[static_cast<size_t>(place)] == keyword) return *last;
    if (auto it = known.find(keyword); it != known.end()) {
      last_keywords_[static_cast<size_t>(place)] = keyword;
      return *(last = &it->second);
    }
    if (known.size() < kept_keywords) {
      last_keywords_[static_cast<size_t>(place)] = keyword;
      return *(last = &known.emplace(keyword, matching_kinds(keyword, place)).first->second);
    }
    unkept_kinds_ = matching_kinds(keyword, place);
    return unkept_kinds_;
  }
  std::array<std::map<std::string, std::vector<compiler::record_kind>, std::less<>>, 3>
      known_kinds_;
  std::vector<compiler::record_kind> unkept_kinds_;
  // The keyword looked up last at each place, and its kinds (kept in
  // known_kinds_, whose entries never move).
  std::array<std::string, 3> last_keywords_;
  std::array<const std::vector<compiler::record_kind>*, 3> last_kinds_{};

  std::vector<compiler::finding> found_;
  size_t kept_[2] = {0, 0}, left_out_[2] = {0, 0};
  // How many records of each document the compile reads, by document.
  std::array<int, 3> records_seen_{};
  std::array<bool, 3> blank_separators_said_{};
  bool train_general_seen_ = false;
  bool past_end_marker_ = false;
  bool warned_after_end_ = false;
  model::scenario_table ranges_{};
  std::array<std::pair<int, int>, 3> range_lines_{};
  int bad_range_line_ = 0, bad_range_column_ = 0;
  std::map<int32_t, std::pair<int, int>> signals_;
  // The values of the line being read.
  record_values values_;
  // For each refused restriction's line, the cell it found taken.
  std::map<int, int32_t> restriction_cells_;
  std::vector<laid_restriction> restrictions_;
};

int document_order(compiler::source_document d) {
  return d == compiler::source_document::line_description ? 0
         : d == compiler::source_document::train_document ? 1
                                                          : 2;
}

}  // namespace

namespace {

// How many lines of a document begin with a keyword of the line
// description (its header's or its records') and of the train document.
struct keyword_counts {
  int line = 0;
  int train = 0;
};

keyword_counts count_keywords(std::string_view document) {
  keyword_counts counts;
  for (const std::string_view text : runtime::split_lines(document)) {
    runtime::field_reader r(text);
    std::string keyword;
    if (!r.read_text(&keyword) || trim(keyword).empty()) continue;
    if (any_kind_matches(keyword, compiler::record_place::line_header) ||
        any_kind_matches(keyword, compiler::record_place::line_records))
      ++counts.line;
    else if (any_kind_matches(keyword, compiler::record_place::train_records))
      ++counts.train;
  }
  return counts;
}

// Documents given the wrong way round: the one given as the line
// description holds mostly train records, and the other mostly line
// records. One finding says so, in place of the dozens the reading would
// give.
std::optional<compiler::finding> swapped_documents(const check_input& input) {
  const keyword_counts line = count_keywords(input.line_description);
  const keyword_counts train = count_keywords(input.train_document);
  if (line.train <= line.line || train.line <= train.train) return std::nullopt;
  compiler::finding f;
  f.document = compiler::source_document::line_description;
  f.line = 1;
  f.column = 1;
  f.message =
      "the documents look swapped: this one holds " + std::to_string(line.train) +
      " records of a train document, and the train document " + std::to_string(train.line) +
      " records of a line description. Give the line description (NAME_linea.txt) with --line "
      "and the train document (NAME_NUMBER-.txt) with --train";
  return f;
}

// The cell a fault about a taken cell names, from the fault's position.
std::optional<int32_t> taken_cell(const compiler::finding& f) {
  if (!f.code || !f.position) return std::nullopt;
  switch (*f.code) {
    case compiler::fault_code::text_board_cell_taken:
    case compiler::fault_code::signal_cell_taken:
    case compiler::fault_code::speed_board_cell_taken:
      return model::point_cell(*f.position);
    case compiler::fault_code::abbattimento_cell_taken:
      return model::stretch_cell(*f.position);
    default:
      return std::nullopt;
  }
}

const char* document_words(compiler::source_document d) {
  return d == compiler::source_document::line_description ? "the line description"
                                                          : "the train document";
}

// What a record holding a cell is, in a few words: "signal".
std::string_view record_summary(const compiler::record_origin& r) {
  const compiler::record_place place = r.document == compiler::source_document::line_description
                                           ? compiler::record_place::line_records
                                           : compiler::record_place::train_records;
  const std::vector<compiler::record_kind> kinds = matching_kinds(r.keyword, place);
  return kinds.empty() ? "record" : compiler::record_of(kinds[0]).summary;
}

// What an author needs besides the fault itself: the record that holds a
// taken cell (named in the message when the fault's position is the cell's,
// and as a related record always), and where the grid ends for a record
// beyond it.
void add_context(compiler::finding& f, std::optional<int32_t> held,
                 const compiler::compile_result& compiled,
                 const compiler::compile_origins& origins) {
  const std::optional<int32_t> cell = taken_cell(f);
  if (const std::optional<int32_t> c = cell ? cell : held) {
    if (*c >= 0 && static_cast<size_t>(*c) < origins.cells.size()) {
      const compiler::record_origin& holder = origins.cells[static_cast<size_t>(*c)];
      if (holder.line > 0 && !(holder.document == f.document && holder.line == f.line)) {
        if (cell)
          f.message += "; the cell is taken by the \"" +
                       runtime::windows1252_to_utf8(
                           std::string_view(holder.keyword).substr(0, quoted_length)) +
                       "\" record at line " + std::to_string(holder.line) + " of " +
                       document_words(holder.document) + ": move one of them by at least 50 m";
        f.related.push_back(
            {holder.document,
             holder.line,
             {},
             "the " + std::string(record_summary(holder)) + " that holds this cell"});
      }
    }
  }
  if (f.code == compiler::fault_code::beyond_grid && compiled.compiled.has_grid()) {
    const int32_t last = compiled.compiled.last_cell();
    const int32_t length = route_length(compiled.compiled.table);
    f.message += "; the track grid's last cell is " + std::to_string(last) +
                 ", so records may stand up to " + std::to_string(last * 50 - 100) +
                 " m and stations up to " + std::to_string(last * 50 - 800) +
                 " m (the route length, " + std::to_string(length) + " m, plus the run-out)";
  }
}

// The columns of a record's text on its line, blanks around it left out.
compiler::column_range record_columns(std::string_view line) {
  const size_t begin = std::min(line.size(), line.find_first_not_of(" \t"));
  const size_t last = line.find_last_not_of(" \t");
  const size_t end = last == std::string_view::npos ? begin : last + 1;
  return {static_cast<int>(begin) + 1, static_cast<int>(end) + 1};
}

// The columns an editor marks for each finding and related record: the field
// at the finding's column, or the record's text. The lines named are read
// in one pass over each document.
void mark_columns(std::vector<compiler::finding>& found, const check_input& input) {
  for (const compiler::source_document doc :
       {compiler::source_document::line_description, compiler::source_document::train_document}) {
    std::vector<int> numbers;
    for (const compiler::finding& f : found) {
      if (f.document == doc && f.line > 0) numbers.push_back(f.line);
      for (const compiler::related_record& r : f.related)
        if (r.document == doc && r.line > 0) numbers.push_back(r.line);
    }
    if (numbers.empty()) continue;
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    const std::vector<std::string_view> lines = runtime::lines_numbered(
        doc == compiler::source_document::line_description ? input.line_description
                                                           : input.train_document,
        numbers);
    auto line_text = [&](int n) {
      return lines[static_cast<size_t>(std::lower_bound(numbers.begin(), numbers.end(), n) -
                                       numbers.begin())];
    };
    for (compiler::finding& f : found) {
      if (f.document == doc && f.line > 0) {
        const std::string_view text = line_text(f.line);
        if (f.column > 0) {
          const runtime::line_field field =
              runtime::field_at(text, static_cast<size_t>(f.column - 1));
          f.range = {static_cast<int>(field.begin) + 1, static_cast<int>(field.end) + 1};
        } else {
          f.range = record_columns(text);
        }
      }
      for (compiler::related_record& r : f.related)
        if (r.document == doc && r.line > 0) r.columns = record_columns(line_text(r.line));
    }
  }
}

}  // namespace

std::vector<compiler::finding> check_documents(const check_input& input,
                                               const check_options& options) {
  return check_documents_counted(input, options).findings;
}

check_report check_documents_counted(const check_input& input, const check_options& options) {
  compiler::compile_input ci;
  ci.line_description = input.line_description;
  ci.train_document = input.train_document;
  // The compile and the line-by-line reading share nothing but the
  // documents: on documents long enough to pay for a thread, the compile
  // runs beside it.
  constexpr size_t worth_a_thread = 64 * 1024;
  std::future<compiler::compile_result> compiling;
  const bool own = !input.compiling.valid();
  if (own)
    compiling =
        std::async(input.line_description.size() + input.train_document.size() >= worth_a_thread
                       ? std::launch::async
                       : std::launch::deferred,
                   [&ci] { return compiler::compile_documents(ci); });

  checker c(input, options);
  check_report report;
  std::vector<compiler::finding>& found = report.findings;
  found = c.run();
  report.left_out_of_line_description = c.left_out(compiler::source_document::line_description);
  report.left_out_of_train_document = c.left_out(compiler::source_document::train_document);
  std::optional<compiler::compile_result> own_compile;
  if (own) own_compile = compiling.get();
  const compiler::compile_result& compiled = own ? *own_compile : *input.compiling.get();
  // Swapped documents give findings of their own, whatever else they hold;
  // a pair with none is not worth counting keywords for.
  if (!found.empty() || compiled.fault) {
    if (std::optional<compiler::finding> swapped = swapped_documents(input)) {
      report.findings = {*swapped};
      report.left_out_of_line_description = report.left_out_of_train_document = 0;
      mark_columns(report.findings, input);
      return report;
    }
  }
  if (compiled.fault) {
    compiler::compile_fault fault = *compiled.fault;
    if (fault.line == 0) c.locate(fault);
    compiler::finding f = compiler::finding_of_fault(fault);
    // The compile's own word replaces the checker's for the same record.
    std::erase_if(found, [&](const compiler::finding& g) {
      return g.code == f.code && g.document == f.document && g.line == f.line;
    });
    found.push_back(std::move(f));
  }
  // Which record holds a taken cell: the compile again, noting the origin
  // of every cell. That compares the grid after each record, so it is done
  // only when a finding needs it (on a long route, for every record of a
  // document of thousands of lines, it would take minutes).
  compiler::compile_origins origins;
  if (std::any_of(found.begin(), found.end(), [&](const compiler::finding& f) {
        return taken_cell(f).has_value() || c.held_cell(f).has_value();
      })) {
    ci.origins = &origins;
    compiler::compile_documents(ci);
  }
  for (compiler::finding& f : found) add_context(f, c.held_cell(f), compiled, origins);
  mark_columns(found, input);
  std::stable_sort(found.begin(), found.end(),
                   [](const compiler::finding& a, const compiler::finding& b) {
                     if (document_order(a.document) != document_order(b.document))
                       return document_order(a.document) < document_order(b.document);
                     if (a.line != b.line) return a.line < b.line;
                     return a.column < b.column;
                   });
  return report;
}

void locate_fault(const check_input& input, compiler::compile_fault& fault) {
  check_options quiet;
  checker c(input, quiet);
  c.run();
  c.locate(fault);
}

}  // namespace checker
