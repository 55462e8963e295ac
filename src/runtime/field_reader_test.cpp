#include "runtime/field_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/text_lines.h"

namespace runtime {

namespace {

// Reads every field of `text` as text.
std::vector<std::string> text_fields(std::string_view text) {
  field_reader r(text);
  std::vector<std::string> fields;
  std::string f;
  while (!r.at_end() && r.read_text(&f)) fields.push_back(f);
  return fields;
}

TEST(FieldReader, TextFieldsEndAtCommasAndLineEnds) {
  struct {
    const char* text;
    std::vector<std::string> fields;
  } cases[] = {
      {"lunghezza percorso,    93000\r\n", {"lunghezza percorso", "93000"}},
      {"a,b\r\nc\r\n", {"a", "b", "c"}},
      {"a\nb\rc", {"a", "b", "c"}},
      {"   lead, inner  blanks  ,x\r\n", {"lead", "inner  blanks  ", "x"}},
      {"\"quoted, with comma\"  ,next\r\n", {"quoted, with comma", "next"}},
      {"\"quoted\" dropped tail,next\r\n", {"quoted", "next"}},
      {"a,,b\r\n", {"a", "", "b"}},
      {"(PASSAGGIO)(A LIVELLO)(KM 3+250)\r\n", {"(PASSAGGIO)(A LIVELLO)(KM 3+250)"}},
      {"\r\n\r\nx\r\n", {"", "", "x"}},
  };
  for (const auto& c : cases) EXPECT_EQ(text_fields(c.text), c.fields) << c.text;
}

TEST(FieldReader, NumbersEndAtCommasBlanksAndLineEnds) {
  // The "orologio" shape: three numbers separated by blanks only.
  field_reader r("orologio,    9               30            0 \r\nnext,  -12,  ,  7\r\n");
  std::string keyword;
  int32_t h, m, s, a, b, c;
  ASSERT_TRUE(r.read_text(&keyword));
  ASSERT_TRUE(r.read_i32(&h) && r.read_i32(&m) && r.read_i32(&s));
  EXPECT_EQ(keyword, "orologio");
  EXPECT_EQ(h, 9);
  EXPECT_EQ(m, 30);
  EXPECT_EQ(s, 0);
  ASSERT_TRUE(r.read_text(&keyword));
  EXPECT_EQ(keyword, "next");
  ASSERT_TRUE(r.read_i32(&a) && r.read_i32(&b) && r.read_i32(&c));
  EXPECT_EQ(a, -12);
  EXPECT_EQ(b, 0);  // an empty field reads as 0
  EXPECT_EQ(c, 7);
  EXPECT_TRUE(r.at_end());
}

TEST(FieldReader, EndOfDocumentOnceTheLastFieldIsConsumed) {
  field_reader r("[fine]\r\n");
  std::string f;
  EXPECT_FALSE(r.at_end());
  ASSERT_TRUE(r.read_text(&f));
  EXPECT_EQ(f, "[fine]");
  EXPECT_TRUE(r.at_end());
  // Reading past the end is a run-time fault, and the reader stays faulted.
  EXPECT_FALSE(r.read_text(&f));
  EXPECT_EQ(r.fault(), "read past the end of the document");
  int32_t n;
  EXPECT_FALSE(r.read_i32(&n));

  field_reader empty("");
  EXPECT_TRUE(empty.at_end());
  EXPECT_FALSE(empty.read_i32(&n));
}

TEST(FieldReader, NumbersThatDoNotFitTheirTargetAreFaults) {
  // The fault names the first thing wrong with the token, read from its
  // left: a value past the bound before a stray byte, or the other way round.
  struct {
    const char* text;
    int width;  // 32, 16 or 8
    bool ok;
    int64_t value;
    const char* fault;
  } cases[] = {
      {"2147483647", 32, true, 2147483647, ""},
      {"-2147483648", 32, true, -2147483648LL, ""},
      {"2147483648", 32, false, 0, "2147483648 does not fit its field"},
      {"-2147483649", 32, false, 0, "-2147483649 does not fit its field"},
      {"99999999999999999999999", 32, false, 0, "99999999999999999999999 does not fit its field"},
      {"99999999999x", 32, false, 0, "99999999999x does not fit its field"},
      {"x99999999999", 32, false, 0, "\"x99999999999\" is not a whole number"},
      {"32767", 16, true, 32767, ""},
      {"-32768", 16, true, -32768, ""},
      {"32768", 16, false, 0, "32768 does not fit its field"},
      {"255", 8, true, 255, ""},
      {"256", 8, false, 0, "256 does not fit its field"},
      {"-1", 8, false, 0, "-1 does not fit its field"},
      {"-0", 8, true, 0, ""},
      {"000000000000000000000042", 32, true, 42, ""},
      {",", 32, true, 0, ""},
      {"  7  ,", 32, true, 7, ""},
      {"+15", 32, true, 15, ""},
      {"12abc", 32, false, 0, "\"12abc\" is not a whole number"},
      {"1.5", 32, false, 0, "\"1.5\" is not a whole number"},
      {"-", 32, false, 0, "\"-\" is not a whole number"},
      {"+,", 32, false, 0, "\"+\" is not a whole number"},
      {"--1", 32, false, 0, "\"--1\" is not a whole number"},
      {"abc", 32, false, 0, "\"abc\" is not a whole number"},
  };
  for (const auto& c : cases) {
    field_reader r(c.text);
    int64_t got = 0;
    bool ok;
    if (c.width == 32) {
      int32_t v = 0;
      ok = r.read_i32(&v);
      got = v;
    } else if (c.width == 16) {
      int16_t v = 0;
      ok = r.read_i16(&v);
      got = v;
    } else {
      uint8_t v = 0;
      ok = r.read_u8(&v);
      got = v;
    }
    EXPECT_EQ(ok, c.ok) << c.text;
    if (ok) {
      EXPECT_EQ(got, c.value) << c.text;
    }
    EXPECT_EQ(r.fault(), c.fault) << c.text;
  }
}

TEST(FieldReader, KnowsTheLineOfEachField) {
  field_reader r("a,\r\n  b\r\n\r\nc");
  std::string f;
  ASSERT_TRUE(r.read_text(&f));
  EXPECT_EQ(r.field_line(), 1);
  ASSERT_TRUE(r.read_text(&f));  // the empty field after the comma
  EXPECT_EQ(r.field_line(), 1);
  ASSERT_TRUE(r.read_text(&f));
  EXPECT_EQ(f, "b");
  EXPECT_EQ(r.field_line(), 2);
  ASSERT_TRUE(r.read_text(&f));
  ASSERT_TRUE(r.read_text(&f));
  EXPECT_EQ(f, "c");
  EXPECT_EQ(r.field_line(), 4);
}

TEST(FieldReader, KnowsTheColumnOfEachField) {
  // Numbers, text, a quoted text that spans a line, blanks before fields.
  field_reader r("ab,  12 7\r\n\t\"x\ny\", z\r\n  last");
  std::string f;
  int32_t n;
  const struct {
    bool text;
    int line, column;
  } expected[] = {{true, 1, 1}, {false, 1, 6}, {false, 1, 9},
                  {true, 2, 2}, {true, 3, 5},  {true, 4, 3}};
  for (const auto& e : expected) {
    ASSERT_TRUE(e.text ? r.read_text(&f) : r.read_i32(&n));
    EXPECT_EQ(r.field_line(), e.line);
    EXPECT_EQ(r.field_column(), e.column) << "line " << e.line;
  }
}

// The columns the language server shows are the field reader's: each field
// of a line read one at a time lies where the document reader began it, holds
// what it read (trailing blanks left out) and the next begins where the
// reader went on.
TEST(FieldReader, OneLineFieldsLieWhereTheReaderReadsThem) {
  struct {
    const char* line;
    std::string pattern;  // t: a text field, n: a number
  } cases[] = {
      {"lunghezza percorso,    93000", "tn"},
      {"orologio, 7 30  0", "tnnn"},
      {"   lead, inner  blanks  ,x", "ttt"},
      {"\"quoted, with comma\"  ,next", "tt"},
      {"\"quoted\" dropped tail,next", "tt"},
      {"segnale,1500 ,  -3,,x", "tnnnt"},
      {"a,  12 ,", "tn"},
  };
  for (const auto& c : cases) {
    const std::string line = c.line;
    field_reader r(line);
    size_t at = 0;
    for (char kind : c.pattern) {
      std::string text;
      int32_t n = 0;
      ASSERT_TRUE(kind == 't' ? r.read_text(&text) : r.read_i32(&n)) << line;
      const line_field f = read_line_field(line, at, kind == 'n');
      EXPECT_EQ(static_cast<int>(f.begin) + 1, r.field_column()) << line << " at " << at;
      const std::string span = line.substr(f.begin, f.end - f.begin);
      if (kind == 'n') {
        EXPECT_EQ(span.empty() ? 0 : std::stoi(span), n) << line;
      } else if (span[0] != '"') {
        while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
        EXPECT_EQ(span, text) << line;
      } else {
        EXPECT_EQ(span, '"' + text + '"') << line;
      }
      at = f.next;
    }
    EXPECT_EQ(at, line.size()) << line;
    EXPECT_TRUE(r.at_end()) << line;
  }
}

}  // namespace

namespace {

// Lines end where the field reader ends them: CR, LF or CR LF.
TEST(TextLines, EndAtCrLfOrBoth) {
  using lines = std::vector<std::string_view>;
  EXPECT_EQ(split_lines("a\r\nb\rc\nd"), (lines{"a", "b", "c", "d"}));
  EXPECT_EQ(split_lines("a\r\n"), (lines{"a"}));
  EXPECT_EQ(split_lines("a\r\n", true), (lines{"a", ""}));
  EXPECT_EQ(split_lines("\n\r"), (lines{"", ""}));
  EXPECT_EQ(split_lines(""), lines{});
  EXPECT_EQ(split_lines("", true), (lines{""}));
  EXPECT_EQ(split_lines("a\r\rb\nc\r"), (lines{"a", "", "b", "c"}));
}

// Every text of up to seven bytes of 'a', CR and LF splits as a byte-by-byte
// reading splits it.
TEST(TextLines, SplitAsEveryByteIsLookedAt) {
  auto by_bytes = [](std::string_view text, bool with_last_empty) {
    std::vector<std::string_view> out;
    size_t start = 0;
    while (start < text.size() || (with_last_empty && start == text.size())) {
      size_t end = start;
      while (end < text.size() && text[end] != '\r' && text[end] != '\n') ++end;
      out.push_back(text.substr(start, end - start));
      if (end == text.size()) break;
      if (text[end] == '\r') ++end;
      if (end < text.size() && text[end] == '\n') ++end;
      start = end;
    }
    return out;
  };
  for (size_t length = 0; length <= 7; ++length) {
    size_t count = 1;
    for (size_t i = 0; i < length; ++i) count *= 3;
    for (size_t n = 0; n < count; ++n) {
      std::string text;
      for (size_t i = 0, rest = n; i < length; ++i, rest /= 3) text += "a\r\n"[rest % 3];
      for (bool last : {false, true})
        ASSERT_EQ(split_lines(text, last), by_bytes(text, last)) << testing::PrintToString(text);
    }
  }
}

// The few lines a report names are the lines split_lines gives at those
// numbers; past the end they are empty.
TEST(TextLines, LinesByNumberAreTheSplitLines) {
  using lines = std::vector<std::string_view>;
  const std::string_view text = "a\r\nb\rc\n\nd";
  EXPECT_EQ(lines_numbered(text, std::vector<int>{1, 2, 2, 5}), (lines{"a", "b", "b", "d"}));
  EXPECT_EQ(lines_numbered(text, std::vector<int>{4, 6, 9}), (lines{"", "", ""}));
  EXPECT_EQ(lines_numbered(text, std::vector<int>{}), lines{});
}

// The field a column names: a number ends at a blank, text at a comma, an
// empty field is its comma, a column past the line is the line's end.
TEST(FieldReader, TheFieldAtAColumn) {
  const std::string_view line = "segnale,  3000 , ,  \"A, B\" ,x";
  const struct {
    size_t column;
    size_t begin, end;
  } cases[] = {{0, 0, 7},    {10, 10, 14}, {8, 10, 14}, {17, 17, 18},
               {18, 20, 26}, {28, 28, 29}, {40, 29, 29}};
  for (const auto& c : cases) {
    const line_field f = field_at(line, c.column);
    EXPECT_EQ(f.begin, c.begin) << c.column;
    EXPECT_EQ(f.end, c.end) << c.column;
  }
}

}  // namespace

}  // namespace runtime
