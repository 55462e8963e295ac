#include "runtime/windows1252.h"

#include <gtest/gtest.h>

namespace runtime {

namespace {

TEST(Windows1252, ConvertsFromUtf8OneByteACharacter) {
  EXPECT_EQ(to_windows1252("KM 3+250"), "KM 3+250");
  EXPECT_EQ(to_windows1252("30\u00B0"), "30\xB0");                  // degree sign
  EXPECT_EQ(to_windows1252("citt\u00E0 \u00E8"), "citt\xE0 \xE8");  // accented vowels
  EXPECT_EQ(to_windows1252("\u20AC"), "\x80");                      // euro sign
  EXPECT_EQ(to_windows1252("\u4E2D"), "?");                         // no code: a question mark
  EXPECT_EQ(to_windows1252("\xC3"), "?");                           // cut-off UTF-8
  EXPECT_EQ(windows1252_to_utf8("30\xB0 \xE8"), "30\u00B0 \u00E8");
}

TEST(Windows1252, LowerCaseAndSearch) {
  EXPECT_EQ(lower_text("Borvasco_Lestrano \xC8"), "borvasco_lestrano \xE8");
  EXPECT_TRUE(contains_any_case("LUNGHEZZA PERCORSO", "lunghezza"));
  EXPECT_TRUE(contains_any_case("CurvaS2", "s"));
  EXPECT_FALSE(contains("Progressiva chilometrica uno", "progressiva"));
  EXPECT_TRUE(contains("progressiva chilometrica uno", "uno"));
}

}  // namespace

}  // namespace runtime
