#include "model/check_codes.h"

#include <gtest/gtest.h>

namespace model {

namespace {

TEST(CheckCodes, SumsOfTheFirst25CharactersOfTheCheckText) {
  struct {
    const char* train;
    const char* line;
    int16_t og;
    int32_t st;
  } cases[] = {
      {"12345", "Abc", 2262, 32160},
      {"", "", 2583, 34355},
      {"12345", "ABC", 2262, 32160},  // upper case counts as lower case
  };
  for (const auto& c : cases) {
    EXPECT_EQ(plain_check_code(c.train, c.line), c.og) << c.train << c.line;
    EXPECT_EQ(weighted_check_code(c.train, c.line), c.st) << c.train << c.line;
  }
}

TEST(CheckCodes, LongNamesLeaveThePaddingOut) {
  EXPECT_EQ(plain_check_code("40817", "Borvasco_Lestrano_and_more"),
            plain_check_code("40817", "Borvasco_Lestrano_and_moreXYZ"));
  EXPECT_EQ(weighted_check_code("40817", "Borvasco_Lestrano_and_more"),
            weighted_check_code("40817", "Borvasco_Lestrano_and_moreXYZ"));
  // The built-in identity: "40817borvasco_lestranoaab".
  int16_t plain = 0;
  int32_t weighted = 0;
  const std::string text = "40817borvasco_lestranoaab";
  for (int i = 0; i < 25; ++i) {
    plain = static_cast<int16_t>(plain + static_cast<unsigned char>(text[i]));
    weighted += (i + 1) * static_cast<unsigned char>(text[i]);
  }
  EXPECT_EQ(plain_check_code("40817", "Borvasco_Lestrano"), plain);
  EXPECT_EQ(weighted_check_code("40817", "Borvasco_Lestrano"), weighted);
}

}  // namespace

}  // namespace model
