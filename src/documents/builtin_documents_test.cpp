#include <gtest/gtest.h>

#include "test_support/document_text.h"

#include <algorithm>
#include <cstddef>
#include <map>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

#include "documents/builtin_documents.h"

namespace documents {

namespace {

using Lines = std::span<const std::string_view>;

const std::string_view kDegree = "\u00B0";

// Number of characters of a UTF-8 line (continuation bytes do not count).

std::string keyword_of(std::string_view line) {
  return std::string(line.substr(0, line.find(',')));
}

// Lines whose keyword field is `keyword`; "curva" stands for every curve record.
std::vector<std::string_view> records(Lines doc, std::string_view keyword) {
  std::vector<std::string_view> out;
  for (std::string_view line : doc) {
    std::string kw = keyword_of(line);
    bool curve = keyword == "curva" && kw.rfind("curva", 0) == 0;
    if (curve || kw == keyword) out.push_back(line);
  }
  return out;
}

int value(std::string_view line, size_t index) {
  return std::stoi(test_support::split_fields(line).at(index));
}

bool full_match(std::string_view s, const std::string& pattern) {
  return std::regex_match(std::string(s), std::regex(pattern));
}

struct DocumentShape {
  const char* name;
  Lines lines;
  size_t line_count;
  std::vector<std::string> headers;
};

std::vector<DocumentShape> document_shapes() {
  return {
      {"line",
       line_document_lines(),
       289,
       {"[generale]", "[curve]", "[pendenze]", "[montagne]", "[cartelli]", "[indicazioni]",
        "[fine]"}},
      {"train",
       train_document_lines(),
       78,
       {"[generale]", "[aderenze]", "[vel_limite]", "[stazioni]", "[rallentamenti]", "[segnali]",
        "[codici]", "[fine]"}},
  };
}

TEST(BuiltinDocuments, LineCountsAndSectionHeaders) {
  for (const DocumentShape& d : document_shapes()) {
    SCOPED_TRACE(d.name);
    ASSERT_EQ(d.lines.size(), d.line_count);
    std::vector<std::string> headers;
    for (std::string_view line : d.lines)
      if (line.starts_with("[")) headers.emplace_back(line);
    EXPECT_EQ(headers, d.headers);
    EXPECT_EQ(d.lines.front(), "[generale]");
    EXPECT_EQ(d.lines.back(), "[fine]");
  }
  // The train has no speed restriction: its section is empty.
  Lines train = train_document_lines();
  auto slow = std::find(train.begin(), train.end(), "[rallentamenti]");
  ASSERT_NE(slow, train.end());
  EXPECT_EQ(*(slow + 1), "[segnali]");
}

TEST(BuiltinDocuments, RecordsStandInTheirSections) {
  struct Case {
    Lines doc;
    std::map<std::string, std::string> section_of;  // keyword -> its header
    std::vector<std::string> general;               // the header records, in order
  };
  const Case cases[] = {
      {line_document_lines(),
       {{"curva", "[curve]"},
        {"pendenza", "[pendenze]"},
        {"montagna", "[montagne]"},
        {"indicatori_vmax", "[cartelli]"},
        {"cartello_indicatore", "[indicazioni]"}},
       {"lunghezza percorso", "progressiva chilometrica uno", "progressiva chilometrica due",
        "progressiva chilometrica tre", "sfondo uno", "sfondo due", "sfondo tre",
        "ripetizione segnali 4 codici"}},
      {train_document_lines(),
       {{"aderenza", "[aderenze]"},
        {"velocita", "[vel_limite]"},
        {"stazione", "[stazioni]"},
        {"segnale", "[segnali]"}},
       {"numero vetture", "percentuale massa frenata", "sabbia", "orologio"}},
  };
  for (const Case& c : cases) {
    std::string section;
    std::vector<std::string> general;
    for (std::string_view line : c.doc) {
      if (line.starts_with("[")) {
        section = line;
        continue;
      }
      std::string kw = keyword_of(line);
      if (kw.starts_with("curva")) kw = "curva";
      if (section == "[generale]") {
        general.push_back(kw);
      } else {
        auto it = c.section_of.find(kw);
        ASSERT_NE(it, c.section_of.end()) << line;
        EXPECT_EQ(it->second, section) << line;
      }
    }
    EXPECT_EQ(general, c.general);
  }
}

TEST(BuiltinDocuments, RecordCountsPerKeyword) {
  struct Case {
    Lines doc;
    const char* keyword;
    size_t count;
  };
  Lines line = line_document_lines();
  Lines train = train_document_lines();
  const Case cases[] = {
      {line, "lunghezza percorso", 1},
      {line, "progressiva chilometrica uno", 1},
      {line, "progressiva chilometrica due", 1},
      {line, "progressiva chilometrica tre", 1},
      {line, "sfondo uno", 1},
      {line, "sfondo due", 1},
      {line, "sfondo tre", 1},
      {line, "ripetizione segnali 4 codici", 1},
      {line, "curva", 126},
      {line, "pendenza", 48},
      {line, "montagna", 25},
      {line, "indicatori_vmax", 20},
      {line, "cartello_indicatore", 55},
      {train, "numero vetture", 1},
      {train, "percentuale massa frenata", 1},
      {train, "sabbia", 1},
      {train, "orologio", 1},
      {train, "aderenza", 1},
      {train, "velocita", 12},
      {train, "stazione", 18},
      {train, "segnale", 35},
  };
  std::map<const void*, size_t> recognised;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keyword);
    EXPECT_EQ(records(c.doc, c.keyword).size(), c.count);
    recognised[c.doc.data()] += records(c.doc, c.keyword).size();
  }
  // Every line is a header or one of the records above.
  for (const DocumentShape& d : document_shapes()) {
    SCOPED_TRACE(d.name);
    EXPECT_EQ(recognised[d.lines.data()] + d.headers.size(), d.lines.size());
  }
}

TEST(BuiltinDocuments, RecordSpacing) {
  struct Case {
    Lines doc;
    const char* keyword;
    std::string pattern;
  };
  Lines line = line_document_lines();
  Lines train = train_document_lines();
  const std::string n = R"(\d+)";
  const Case cases[] = {
      {line, "lunghezza percorso", "lunghezza percorso,    " + n},
      {line, "progressiva chilometrica uno", "progressiva chilometrica uno(,    \\d+){3}"},
      {line, "progressiva chilometrica due", "progressiva chilometrica due(,    \\d+){3}"},
      {line, "progressiva chilometrica tre", "progressiva chilometrica tre(,    \\d+){3}"},
      {line, "sfondo uno", "sfondo uno,    " + n},
      {line, "sfondo due", "sfondo due,    " + n},
      {line, "sfondo tre", "sfondo tre,    " + n},
      {line, "ripetizione segnali 4 codici", "ripetizione segnali 4 codici(,    \\d+){2}"},
      {line, "curva", R"(curva[sd][1-6],  \d+,  \d+)"},
      // Only the record at position 0 has the wider runs.
      {line, "pendenza", R"(pendenza,(   0,    |  [1-9]\d*,   )-?\d+)"},
      {line, "montagna", R"(montagna,   \d+,  \d+,  \d+)"},
      {line, "indicatori_vmax", R"(indicatori_vmax(,  \d+){5}((,  \d+){3}|(,  ){3}),  \d+)"},
      {line, "cartello_indicatore", R"(cartello_indicatore,  \d+,   (\([^(),"]+\)){1,3})"},
      {train, "numero vetture", "numero vetture,    " + n},
      {train, "percentuale massa frenata", "percentuale massa frenata,    " + n},
      {train, "sabbia", "sabbia,    " + n},
      {train, "orologio", R"(orologio,    \d+ {15}\d+ {12}\d+ )"},
      {train, "aderenza", R"(aderenza,   \d+,    \d+)"},
  };
  for (const Case& c : cases) {
    for (std::string_view rec : records(c.doc, c.keyword))
      EXPECT_TRUE(full_match(rec, c.pattern)) << "'" << rec << "' !~ " << c.pattern;
  }
  EXPECT_TRUE(records(line, "pendenza").front().starts_with("pendenza,   0,    "));
}

TEST(BuiltinDocuments, ColumnRecordsAreRightAligned) {
  struct Case {
    const char* keyword;
    std::vector<size_t> widths;
    std::string tail;  // pattern of the field after the columns, empty when none
  };
  const Case cases[] = {
      {"velocita", {8, 6}, ""},
      {"stazione", {8, 3, 5, 3, 2, 2, 3, 1, 1, 3, 1, 1, 5, 4, 2, 2}, R"( [^ ,](.*[^ ])?)"},
      {"segnale", {8, 4, 2, 2, 3, 2, 5, 3, 1, 1}, R"( \d{1,3})"},
  };
  for (const Case& c : cases) {
    for (std::string_view rec : records(train_document_lines(), c.keyword)) {
      SCOPED_TRACE(std::string(rec));
      std::vector<std::string> fields = test_support::split_fields(rec);
      size_t expected = 1 + c.widths.size() + (c.tail.empty() ? 0 : 1);
      ASSERT_EQ(fields.size(), expected);
      for (size_t i = 0; i < c.widths.size(); ++i) {
        EXPECT_EQ(fields[i + 1].size(), c.widths[i]) << "column " << i + 1;
        EXPECT_TRUE(full_match(fields[i + 1], R"( *-?\d+)")) << "column " << i + 1;
      }
      if (!c.tail.empty()) {
        EXPECT_TRUE(full_match(fields.back(), c.tail));
      }
    }
  }
}

TEST(BuiltinDocuments, PositionsAscendInStepsOf50) {
  struct Case {
    Lines doc;
    const char* keyword;
    bool starts_at_zero;
  };
  Lines line = line_document_lines();
  Lines train = train_document_lines();
  const Case cases[] = {
      {line, "curva", false},
      {line, "pendenza", true},
      {line, "montagna", false},
      {line, "indicatori_vmax", false},
      {line, "cartello_indicatore", false},
      {train, "velocita", true},
      {train, "stazione", false},
      {train, "segnale", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keyword);
    std::vector<std::string_view> recs = records(c.doc, c.keyword);
    ASSERT_FALSE(recs.empty());
    int previous = -1;
    for (std::string_view rec : recs) {
      int p = value(rec, 1);
      EXPECT_GT(p, previous) << rec;
      EXPECT_EQ(p % 50, 0) << rec;
      previous = p;
    }
    EXPECT_EQ(value(recs.front(), 1) == 0, c.starts_at_zero);
  }
  EXPECT_EQ(value(records(train, "aderenza").front(), 1), 0);

  // Route length and the signal-repetition limits are whole multiples of 50 too.
  EXPECT_EQ(value(records(line, "lunghezza percorso").front(), 1) % 50, 0);
  for (size_t i : {1, 2})
    EXPECT_EQ(value(records(line, "ripetizione segnali 4 codici").front(), i) % 50, 0);

  // Mountains end after they start.
  for (std::string_view rec : records(line, "montagna")) EXPECT_GT(value(rec, 2), value(rec, 1));
}

// The values of the signal and station records, field by field: the span of
// the signals, their spacing and the range of every value.
TEST(BuiltinDocuments, SignalAndStationValues) {
  struct Range {
    size_t field;
    int low, high;
  };
  struct Case {
    const char* keyword;
    std::vector<Range> ranges;
  };
  const Case cases[] = {
      // sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo
      {"segnale",
       {{2, 1, 2},
        {3, 2, 5},
        {4, 0, 6},
        {5, 0, 1},
        {6, 0, 0},
        {7, 0, 2},
        {8, 0, 3},
        {9, 0, 1},
        {10, 0, 1},
        {11, 0, 215}}},
      // length, fields 4 to 13, hour, minute, second
      {"stazione",
       {{3, 200, 800},
        {4, 0, 1},
        {5, 0, 0},
        {6, 0, 1},
        {7, 0, 4},
        {8, 0, 1},
        {9, 0, 1},
        {10, 0, 4},
        {11, 0, 1},
        {12, 0, 1},
        {13, 0, 30},
        {14, 0, 10},
        {15, 0, 59},
        {16, 0, 0}}},
  };
  Lines train = train_document_lines();
  for (const Case& c : cases)
    for (std::string_view rec : records(train, c.keyword))
      for (const Range& r : c.ranges) {
        EXPECT_GE(value(rec, r.field), r.low) << rec;
        EXPECT_LE(value(rec, r.field), r.high) << rec;
      }

  std::vector<std::string_view> signals = records(train, "segnale");
  ASSERT_EQ(signals.size(), 35u);
  EXPECT_EQ(value(signals.front(), 1), 1850);
  EXPECT_EQ(value(signals.back(), 1), 87250);
  std::map<int, int> by_sx;
  int held = 0;
  for (size_t i = 0; i < signals.size(); ++i) {
    std::string_view rec = signals[i];
    if (i > 0) {
      EXPECT_GE(value(rec, 1) - value(signals[i - 1], 1), 400) << rec;
    }
    ++by_sx[value(rec, 2)];
    EXPECT_TRUE(value(rec, 8) != 1) << rec;  // d1 is 0, 2 or 3
    if (value(rec, 11) != 0) {
      ++held;
      EXPECT_EQ(value(rec, 2), 2) << rec;
      EXPECT_GE(value(rec, 11), 125) << rec;
    }
  }
  EXPECT_EQ(by_sx, (std::map<int, int>{{1, 14}, {2, 21}}));
  EXPECT_EQ(held, 4);

  // Station types; a time of day on the timetabled stations only, from 9 to
  // 10 o'clock; field 13 is 0, 1 or 30.
  std::map<int, int> by_type;
  int untimed = 0;
  std::vector<std::string_view> stations = records(train, "stazione");
  for (std::string_view rec : stations) {
    ++by_type[value(rec, 2)];
    EXPECT_TRUE(value(rec, 13) <= 1 || value(rec, 13) == 30) << rec;
    if (value(rec, 14) == 0 && value(rec, 15) == 0) {
      ++untimed;
    } else {
      EXPECT_GE(value(rec, 14), 9) << rec;
    }
  }
  EXPECT_EQ(by_type, (std::map<int, int>{{6, 1}, {12, 10}, {22, 3}, {25, 1}, {27, 1}, {28, 2}}));
  EXPECT_EQ(value(stations.back(), 2), 6);
  EXPECT_EQ(untimed, 8);
}

TEST(BuiltinDocuments, CurvesNeverOverlapAndFollowTheirDistribution) {
  std::map<char, int> sides;
  std::map<char, int> degrees;
  int joined = 0;
  int previous_end = -1;
  for (std::string_view rec : records(line_document_lines(), "curva")) {
    ++sides[rec[5]];
    ++degrees[rec[6]];
    int start = value(rec, 1);
    int length = value(rec, 2);
    EXPECT_EQ(length % 50, 0) << rec;
    EXPECT_GE(start, previous_end) << rec;
    if (start == previous_end) ++joined;
    previous_end = start + length;
  }
  EXPECT_EQ(sides, (std::map<char, int>{{'d', 63}, {'s', 63}}));
  EXPECT_EQ(degrees, (std::map<char, int>{{'1', 28}, {'2', 48}, {'3', 29}, {'4', 15}, {'5', 6}}));
  EXPECT_EQ(joined, 96);

  std::map<int, int> mountain_kinds;
  for (std::string_view rec : records(line_document_lines(), "montagna"))
    ++mountain_kinds[value(rec, 3)];
  EXPECT_EQ(mountain_kinds, (std::map<int, int>{{2, 17}, {12, 8}}));
}

TEST(BuiltinDocuments, SpeedBoardsWithEmptyRightSide) {
  int empty = 0;
  for (std::string_view rec : records(line_document_lines(), "indicatori_vmax")) {
    std::vector<std::string> f = test_support::split_fields(rec);
    ASSERT_EQ(f.size(), 10u) << rec;
    bool blank = f[6] == "  " && f[7] == "  " && f[8] == "  ";
    if (blank) {
      ++empty;
      EXPECT_EQ(f[9], "  0") << rec;
    }
  }
  EXPECT_EQ(empty, 10);
}

TEST(BuiltinDocuments, TextBoardGroups) {
  std::map<size_t, int> by_group_count;
  const std::regex group(R"(\(([^()]*)\))");
  for (std::string_view rec : records(line_document_lines(), "cartello_indicatore")) {
    std::string text(rec.substr(rec.find(",   ", rec.find(',') + 1) + 4));
    SCOPED_TRACE(text);
    EXPECT_EQ(text.find_first_of(",\""), std::string::npos);
    std::string rebuilt;
    size_t groups = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), group);
         it != std::sregex_iterator(); ++it) {
      ++groups;
      rebuilt += it->str();
      size_t inner = test_support::char_count((*it)[1].str());
      EXPECT_GE(inner, 3u);
      EXPECT_LE(inner, 16u);
    }
    EXPECT_EQ(rebuilt, text);
    ++by_group_count[groups];
  }
  EXPECT_EQ(by_group_count, (std::map<size_t, int>{{1, 8}, {2, 3}, {3, 44}}));
}

TEST(BuiltinDocuments, LineLengthsSpacesAndCharacters) {
  struct Case {
    const char* name;
    Lines lines;
    size_t degree_signs;
  };
  const Case cases[] = {
      {"line", line_document_lines(), 2},
      {"train", train_document_lines(), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    size_t degrees = 0;
    for (std::string_view line : c.lines) {
      // Only the clock record keeps a trailing space, exactly one.
      bool clock = line.starts_with("orologio");
      EXPECT_EQ(line.ends_with(' '), clock) << "'" << line << "'";
      if (clock) {
        EXPECT_FALSE(line.ends_with("  "));
      }
      // The degree sign is the only character outside ASCII.
      size_t in_line = 0;
      for (size_t at = line.find(kDegree); at != std::string_view::npos;
           at = line.find(kDegree, at + kDegree.size()))
        ++in_line;
      size_t high_bytes = static_cast<size_t>(std::count_if(line.begin(), line.end(), [](char ch) {
        return static_cast<unsigned char>(ch) >= 0x80;
      }));
      EXPECT_EQ(high_bytes, in_line * kDegree.size()) << line;
      degrees += in_line;
    }
    EXPECT_EQ(degrees, c.degree_signs);
  }
  size_t longest = 0;
  for (std::string_view line : line_document_lines())
    longest = std::max(longest, test_support::char_count(line));
  EXPECT_EQ(longest, 85u);
}

}  // namespace

}  // namespace documents
