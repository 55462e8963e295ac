#include "model/check_codes.h"

#include <gtest/gtest.h>

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
    run_state st;
    st.table[86].text = c.train;
    st.table[85].text = c.line;
    EXPECT_EQ(codice_gara_og(st), c.og) << c.train << c.line;
    EXPECT_EQ(codice_gara_st(st), c.st) << c.train << c.line;
    EXPECT_EQ(st.current_field.substr(0, 25).size(), 25u);
  }
}

TEST(CheckCodes, LongNamesLeaveThePaddingOut) {
  run_state a, b;
  a.table[86].text = b.table[86].text = "40817";
  a.table[85].text = "Borvasco_Lestrano_and_more";
  b.table[85].text = "Borvasco_Lestrano_and_moreXYZ";
  EXPECT_EQ(codice_gara_og(a), codice_gara_og(b));
  EXPECT_EQ(codice_gara_st(a), codice_gara_st(b));
  // The built-in identity: "40817borvasco_lestranoaab".
  run_state built_in;
  built_in.table[86].text = "40817";
  built_in.table[85].text = "Borvasco_Lestrano";
  codice_gara_og(built_in);
  EXPECT_EQ(built_in.current_field.substr(0, 25), "40817borvasco_lestranoaab");
}

}  // namespace
