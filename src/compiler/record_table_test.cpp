// The record table against the compile and the built-in documents: every
// keyword as written is recognised as its own record, every record of the
// built-in documents has on its line exactly the fields the table lists,
// read with the table's widths, and every record handler reads exactly as
// many fields as the table lists.

#include "compiler/record_table.h"

#include <gtest/gtest.h>

#include <string>

#include "compiler/compile.h"
#include "documents/builtin_documents.h"
#include "runtime/field_reader.h"
#include "runtime/windows1252.h"

namespace compiler {

namespace {

// The keyword as an author writes it, with its parts: "curvas1".
std::string written_keyword(const record_description& r) {
  std::string k(r.keyword);
  for (const keyword_part& part : r.keyword_parts)
    if (r.kind == record_kind::curve) k += std::string(part.codes.front().value);
  return k;
}

TEST(RecordTable, EveryKeywordAsWrittenIsItsOwnRecord) {
  for (const record_description& r : all_records()) {
    SCOPED_TRACE(std::string(r.keyword));
    const std::string keyword = written_keyword(r);
    EXPECT_TRUE(keyword_matches(r.kind, keyword));
    for (const record_description& other : all_records()) {
      if (other.place == r.place && other.kind != r.kind) {
        EXPECT_FALSE(keyword_matches(other.kind, keyword)) << other.keyword;
      }
    }
    EXPECT_FALSE(r.summary.empty());
    EXPECT_FALSE(r.meaning.empty());
    EXPECT_FALSE(r.section.empty());
    EXPECT_FALSE(r.fields.empty());
    for (const record_field& f : r.fields) {
      EXPECT_FALSE(f.name.empty());
      EXPECT_FALSE(f.meaning.empty()) << f.name;
    }
  }
}

TEST(RecordTable, HeaderWordsKeepTheirCaseAndRecordWordsDoNot) {
  EXPECT_FALSE(keyword_matches(record_kind::range_one, "Progressiva chilometrica uno"));
  EXPECT_TRUE(keyword_matches(record_kind::route_length, "LUNGHEZZA PERCORSO"));
  EXPECT_TRUE(keyword_matches(record_kind::signal, "SEGNALE"));
  EXPECT_TRUE(keyword_matches(record_kind::text_board, "xcartellox indicatx"));
  EXPECT_FALSE(keyword_matches(record_kind::text_board, "cartello"));
}

TEST(RecordTable, CurveClassesAndSidesAreTheCompilersCodes) {
  const record_description& curve = record_of(record_kind::curve);
  ASSERT_EQ(curve.keyword_parts.size(), 2u);
  EXPECT_EQ(curve.keyword_parts[0].codes.size(), 2u);  // s, d
  EXPECT_EQ(curve.keyword_parts[1].codes.size(), 6u);  // 1 .. 6
}

// Every record line of a built-in document holds, after its keyword, the
// table's fields read with the table's widths, and nothing more.
void expect_lines_match_table(std::span<const std::string_view> lines, bool line_description) {
  record_place place = line_description ? record_place::line_header : record_place::train_records;
  int records = 0;
  for (std::string_view line : lines) {
    SCOPED_TRACE(std::string(line));
    runtime::field_reader r(line);
    std::string keyword;
    ASSERT_TRUE(r.read_text(&keyword));
    if (runtime::contains(keyword, "[") && runtime::contains(keyword, "]")) {
      if (line_description && !runtime::contains(keyword, "[generale]"))
        place = record_place::line_records;
      continue;
    }
    const record_description* found = nullptr;
    for (const record_description& d : all_records())
      if (d.place == place && keyword_matches(d.kind, keyword)) {
        EXPECT_EQ(found, nullptr) << "two records match";
        found = &d;
      }
    ASSERT_NE(found, nullptr) << "no record matches";
    for (const record_field& f : found->fields) {
      bool ok = false;
      std::string text;
      int32_t i32;
      int16_t i16;
      uint8_t u8;
      switch (f.storage) {
        case field_storage::text:
          ok = r.read_text(&text);
          break;
        case field_storage::i32:
          ok = r.read_i32(&i32);
          break;
        case field_storage::i16:
          ok = r.read_i16(&i16);
          break;
        case field_storage::u8:
          ok = r.read_u8(&u8);
          break;
      }
      EXPECT_TRUE(ok) << f.name << ": " << r.fault();
    }
    EXPECT_TRUE(r.at_end()) << "fields left after the record";
    ++records;
  }
  EXPECT_GT(records, 0);
}

TEST(RecordTable, BuiltInLineDescriptionHasTheTablesFields) {
  expect_lines_match_table(documents::line_document_lines(), true);
}

TEST(RecordTable, BuiltInTrainDocumentHasTheTablesFields) {
  expect_lines_match_table(documents::train_document_lines(), false);
}

// A record whose values all fit: positions at 1000 m, texts "TESTO", every
// other value 0; `drop_last` leaves the last value out.
std::string record_line(const record_description& r, bool drop_last) {
  std::string s = written_keyword(r);
  const size_t n = r.fields.size() - (drop_last ? 1 : 0);
  for (size_t i = 0; i < n; ++i) {
    const record_field& f = r.fields[i];
    s += ", ";
    s += f.is_position ? "1000" : f.storage == field_storage::text ? "TESTO" : "0";
  }
  return s + "\r\n";
}

compile_result compile_with(const record_description& r, bool drop_last) {
  std::string line = "[generale]\r\nlunghezza percorso, 100000\r\n";
  std::string train = "[generale]\r\n";
  if (r.place == record_place::line_header) line += record_line(r, drop_last);
  line += "[curve]\r\n";
  if (r.place == record_place::line_records) line += record_line(r, drop_last);
  if (r.place == record_place::train_records) train += record_line(r, drop_last);
  line += "[fine]\r\n";
  train += "[fine]\r\n";
  compile_input in;
  in.line_description = line;
  in.train_document = train;
  in.line_name = "L";
  in.train_number = "1";
  return compile_documents(in);
}

// A handler that read one field more than the table lists would read
// "[fine]" (or "[curve]") as a number; one that read one fewer would leave
// the text of the last field out of place.
TEST(RecordTable, EveryHandlerReadsExactlyTheTablesFields) {
  for (const record_description& r : all_records()) {
    SCOPED_TRACE(std::string(r.keyword));
    const compile_result whole = compile_with(r, false);
    EXPECT_FALSE(whole.fault) << "code " << fault_number(whole.fault->code) << " "
                              << whole.fault->detail;
    if (r.fields.back().storage == field_storage::text) {
      const model::scenario_table& t = whole.compiled.table;
      EXPECT_TRUE(t[model::first_station_entry].text == "TESTO" ||
                  t[model::first_board_entry].text == "TESTO");
      continue;
    }
    const compile_result short_one = compile_with(r, true);
    ASSERT_TRUE(short_one.fault);
    EXPECT_EQ(short_one.fault->code, fault_code::runtime_fault);
  }
}

}  // namespace

}  // namespace compiler
