// Mountain stretches with their marker cells, speed-indicator boards and
// text boards of the line description.

#include "compiler/mountains_boards.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "test_support/scenario_fixture.h"

namespace compiler {

namespace {

// L = 10000: N = 340.
constexpr int route = 10000;

std::set<int> cells_of_kind(const test_support::built_package& c, uint8_t kind) {
  std::set<int> cells;
  for (size_t i = 0; i < c.sc.grid.size(); ++i)
    if (c.sc.grid[i].kind == kind) cells.insert(static_cast<int>(i));
  return cells;
}

std::string board(int position, const std::string& text) {
  return "cartello_indicatore,  " + std::to_string(position) + ",   " + text + "\n";
}

std::string speed_board(int position, const std::string& values) {
  return "indicatori_vmax,  " + std::to_string(position) + ",  " + values + "\n";
}

TEST(Mountains, TypeBytesAndMarkerCells) {
  struct {
    const char* name;
    std::string records;
    std::vector<test_support::cell_range> types;  // b12
    std::set<int> markers;                        // cells of kind 11
  } cases[] = {
      {"a 550 m stretch of type 12",
       "montagna,   1000,  1550,  12\n",
       {{19, 19, 0}, {20, 30, 2}, {31, 31, 0}},
       {23, 27}},
      {"type 11 has markers too", "montagna,   1000,  1550,  11\n", {{20, 30, 1}}, {23, 27}},
      {"type 10 has none", "montagna,   1000,  1550,  10\n", {{20, 30, 10}}, {}},
      {"150 m after the previous mountain: type 3, markers kept",
       "montagna,   500,  850,  2\nmontagna,   1000,  1550,  12\n",
       {{10, 16, 2}, {17, 19, 0}, {20, 30, 3}},
       {23, 27}},
      {"151 m after the previous mountain: its own type",
       "montagna,   500,  849,  2\nmontagna,   1000,  1550,  12\n",
       {{10, 16, 2}, {20, 30, 2}},
       {23, 27}},
      {"an overlapping stretch is of type 3",
       "montagna,   500,  1200,  2\nmontagna,   1000,  1550,  2\n",
       {{10, 19, 2}, {20, 30, 3}},
       {}},
      {"a stretch covering no cell still counts for the next one",
       "montagna,   750,  775,  2\nmontagna,   900,  1000,  5\n",
       {{14, 15, 0}, {16, 17, 0}, {18, 19, 3}},
       {}},
      {"760 to 790 covers cell 15",
       "montagna,   760,  790,  2\n",
       {{14, 14, 0}, {15, 15, 2}, {16, 16, 0}},
       {}},
      {"three cells of type 12 get no marker", "montagna,   1000,  1150,  12\n", {{20, 22, 2}}, {}},
      {"a taken cell keeps its kind and the counting goes on",
       board(1100, "(A)") + "montagna,   1000,  1550,  12\n",
       {{20, 30, 2}},
       {27}},
      {"laid only on the cells the grid has, past its end",
       "montagna,   16800,  18000,  12\n",
       {{335, 335, 0}, {336, 340, 2}},
       {339}},
      {"laid only on the cells the grid has, before cell 0",
       "montagna,   -150,  300,  12\n",
       {{0, 5, 2}, {6, 6, 0}},
       {0, 4}},  // counted from cell -3
  };
  for (const auto& c : cases) {
    auto r = test_support::build_package_from(test_support::line_description(route, c.records),
                                              test_support::train_document());
    EXPECT_EQ(r->code(), 0) << c.name;
    for (const auto& range : c.types)
      for (int i = range.from; i <= range.to; ++i)
        EXPECT_EQ(r->cell(i).b12, range.value) << c.name << ", cell " << i;
    EXPECT_EQ(cells_of_kind(*r, model::kind_mountain_marker), c.markers) << c.name;
  }
}

TEST(Mountains, MoreThanEightyRecordsAreRefused) {
  std::string records;
  for (int i = 1; i <= 80; ++i)
    records +=
        "montagna,   " + std::to_string(100 * i) + ",  " + std::to_string(100 * i + 50) + ",  2\n";
  auto eighty = test_support::build_package_from(test_support::line_description(route, records),
                                                 test_support::train_document());
  EXPECT_EQ(eighty->code(), 0);
  // The eightieth (8000 .. 8050 m, 50 m after the one before: type 3) is laid.
  EXPECT_EQ(eighty->cell(160).b12, 3);

  auto more = test_support::build_package_from(
      test_support::line_description(route, records + "montagna,   8200,  8250,  2\n"),
      test_support::train_document());
  EXPECT_EQ(more->code(), 106);
  EXPECT_EQ(more->position(), 8200);
  EXPECT_EQ(more->disk.files.count(test_support::test_line_path), 0u);
  EXPECT_EQ(more->disk.files.count(test_support::test_train_path), 1u);  // the compile ended
  EXPECT_EQ(more->cell(164).b12, 0);
}

TEST(Boards, BoardsTakeMarkerCellsAndKeepTheMountainByte) {
  auto r = test_support::build_package_from(
      test_support::line_description(route,
                                     "montagna,   1000,  1550,  12\n" + board(1100, "(A)") +
                                         speed_board(1300, "100,  110,  120,  2,  ,  ,  ,  0")),
      test_support::train_document());
  ASSERT_EQ(r->code(), 0);
  EXPECT_EQ(r->cell(23).kind, model::kind_text_board);
  EXPECT_EQ(r->cell(23).b12, 2);
  EXPECT_EQ(r->cell(27).kind, model::kind_speed_board);
  EXPECT_EQ(r->cell(27).b12, 2);
  EXPECT_EQ(r->cell(27).w2, 2000);
}

TEST(Boards, SpeedWordsPackBothSidesInFiveKilometreSteps) {
  struct {
    const char* values;  // vas, vbs, vcs, strisces, vad, vbd, vcd, strisced
    int16_t w2, w4, w6, w8;
  } cases[] = {
      {"100,  110,  120,  2,  ,  ,  ,  0", 2000, 2200, 2400, 20},
      {"65,  0,  0,  0,  65,  0,  0,  0", 1313, 0, 0, 0},
      {"125,  30,  160,  1,  0,  30,  155,  2", 2500, 606, 3231, 12},
      {"0,  0,  0,  0,  12,  13,  3,  0", 2, 3, 1, 0},  // fifths round to the nearest
      {"1638,  0,  0,  3276,  35,  0,  0,  7", 32767, 0, 0, 32767},
      {"-1638,  0,  0,  -3276,  -40,  0,  0,  -8", -32768, 0, 0, -32768},
  };
  for (const auto& c : cases) {
    auto r = test_support::build_package_from(
        test_support::line_description(route, speed_board(1000, c.values)),
        test_support::train_document());
    EXPECT_EQ(r->code(), 0) << c.values;
    const model::track_cell& cell = r->cell(21);
    EXPECT_EQ(cell.kind, model::kind_speed_board) << c.values;
    EXPECT_EQ(cell.w2, c.w2) << c.values;
    EXPECT_EQ(cell.w4, c.w4) << c.values;
    EXPECT_EQ(cell.w6, c.w6) << c.values;
    EXPECT_EQ(cell.w8, c.w8) << c.values;
  }
}

TEST(Boards, TextBoardsTakeEntriesFromEightyDownward) {
  std::string records;
  for (int i = 0; i < 55; ++i) records += board(1000 + 100 * i, "(B" + std::to_string(i) + ")");
  auto r = test_support::build_package_from(test_support::line_description(route, records),
                                            test_support::train_document());
  ASSERT_EQ(r->code(), 0);
  for (int i = 0; i < 55; ++i) {
    const model::track_cell& cell = r->cell(21 + 2 * i);
    EXPECT_EQ(cell.kind, model::kind_text_board) << i;
    EXPECT_EQ(cell.w2, 80 - i) << i;
    EXPECT_EQ(r->sc.table[80 - i].text, "(B" + std::to_string(i) + ")") << i;
    EXPECT_EQ(r->sc.table[80 - i].l4, 0) << i;  // only the text is stored
  }
  EXPECT_EQ(r->sc.table[25].text, "");
  // The next board takes entry 25.
  auto next = test_support::build_package_from(
      test_support::line_description(route, records + board(7000, "(NEXT)")),
      test_support::train_document());
  ASSERT_EQ(next->code(), 0);
  EXPECT_EQ(next->cell(141).w2, 25);
  EXPECT_EQ(next->sc.table[25].text, "(NEXT)");
}

TEST(Boards, TheWholeTextFieldIsStored) {
  auto r = test_support::build_package_from(
      test_support::line_description(
          route, board(3500, "(PASSAGGIO)(A LIVELLO)(KM 3+200)  ") + board(3600, "\"(A, B)\"")),
      test_support::train_document());
  ASSERT_EQ(r->code(), 0);
  EXPECT_EQ(r->sc.table[80].text, "(PASSAGGIO)(A LIVELLO)(KM 3+200)  ");
  EXPECT_EQ(r->sc.table[79].text, "(A, B)");
}

TEST(Boards, EightyOneTextBoardsFitAndAnEightySecondIsRefused) {
  std::string records;
  for (int i = 0; i < 81; ++i) records += board(1000 + 100 * i, "(B" + std::to_string(i) + ")");
  auto fit = test_support::build_package_from(test_support::line_description(route, records),
                                              test_support::train_document());
  EXPECT_EQ(fit->code(), 0);
  EXPECT_EQ(fit->sc.table[0].text, "(B80)");

  auto more = test_support::build_package_from(
      test_support::line_description(route, records + board(9200, "(X)")),
      test_support::train_document());
  EXPECT_EQ(more->code(), 107);
  EXPECT_EQ(more->position(), 9200);
  EXPECT_EQ(more->cell(185).kind, model::kind_empty);
  EXPECT_EQ(more->disk.files.count(test_support::test_line_path), 0u);
  EXPECT_EQ(more->disk.files.count(test_support::test_train_path), 1u);
}

TEST(Boards, TheLongestTextHasSixtyFiveThousandFiveHundredAndThirtyFiveCharacters) {
  auto longest = test_support::build_package_from(
      test_support::line_description(route, board(1000, std::string(65535, 'A'))),
      test_support::train_document());
  EXPECT_EQ(longest->code(), 0);
  EXPECT_EQ(longest->sc.table[80].text.size(), 65535u);

  auto longer = test_support::build_package_from(
      test_support::line_description(route, board(1000, std::string(65536, 'A'))),
      test_support::train_document());
  EXPECT_EQ(longer->code(), 25);
  EXPECT_EQ(longer->disk.files.count(test_support::test_line_path), 0u);
  EXPECT_EQ(longer->disk.files.count(test_support::test_train_path), 0u);
}

TEST(Boards, Faults) {
  const std::string a_speed_board = "100,  100,  100,  0,  0,  0,  0,  0";
  struct {
    const char* name;
    std::string records;
    int32_t code;
    int32_t position;
  } cases[] = {
      {"two text boards in one point cell", board(1000, "(A)") + board(1010, "(B)"), 6, 1010},
      {"two speed boards in one point cell",
       speed_board(1000, a_speed_board) + speed_board(990, a_speed_board), 21, 990},
      {"a speed board on a text board", board(1000, "(A)") + speed_board(1000, a_speed_board), 21,
       1000},
      {"a text board on a speed board", speed_board(1000, a_speed_board) + board(1000, "(A)"), 6,
       1000},
      {"a speed word beyond 16 bits", speed_board(1000, "1639,  0,  0,  0,  0,  0,  0,  0"), 108,
       1000},
      {"a speed word below 16 bits", speed_board(1000, "0,  0,  -1639,  0,  0,  0,  0,  0"), 108,
       1000},
      {"a stripe word beyond 16 bits", speed_board(1000, "0,  0,  0,  3277,  0,  0,  0,  0"), 108,
       1000},
      {"a text board at a negative position", board(-25, "(A)"), 109, -25},
      {"a speed board at a negative position", speed_board(-100, a_speed_board), 109, -100},
  };
  for (const auto& c : cases) {
    auto r = test_support::build_package_from(test_support::line_description(route, c.records),
                                              test_support::train_document());
    EXPECT_EQ(r->code(), c.code) << c.name;
    EXPECT_EQ(r->position(), c.position) << c.name;
    EXPECT_EQ(r->disk.files.count(test_support::test_line_path), 0u) << c.name;
    // The compile ended: the train document was not read.
    EXPECT_EQ(r->disk.files.count(test_support::test_train_path), 1u) << c.name;
    EXPECT_EQ(r->sc.table[84].l4, 0) << c.name;
    // A failed board leaves its cell and the next board entry as they were.
    EXPECT_EQ(r->sc.table[79].text, "") << c.name;
    EXPECT_EQ(r->cell(0).kind, model::kind_empty) << c.name;
    EXPECT_EQ(r->cell(1).kind, model::kind_empty) << c.name;
  }
  auto kept = test_support::build_package_from(
      test_support::line_description(route, board(1000, "(A)") + board(1010, "(B)")),
      test_support::train_document());
  EXPECT_EQ(kept->cell(21).kind, model::kind_text_board);
  EXPECT_EQ(kept->cell(21).w2, 80);
  auto untouched = test_support::build_package_from(
      test_support::line_description(route, speed_board(1000, "1639,  7,  7,  1,  0,  0,  0,  0")),
      test_support::train_document());
  EXPECT_EQ(untouched->cell(21).kind, model::kind_empty);
  EXPECT_EQ(untouched->cell(21).w4, 0);
}

TEST(Boards, ABoardBeyondTheGridEndsTheReadingOnly) {
  // (16901 + 100) / 50 is above N = 340; 16900 is the last metre let in.
  auto r = test_support::build_package_from(
      test_support::line_description(
          route, board(16900, "(A)") + board(16901, "(B)") + "montagna,   1000,  1550,  2\n"),
      test_support::train_document());
  EXPECT_EQ(r->code(), 15);
  EXPECT_EQ(r->position(), 16901);
  EXPECT_EQ(r->cell(339).kind, model::kind_text_board);
  EXPECT_EQ(r->sc.table[79].text, "");
  EXPECT_EQ(r->cell(20).b12, 0);
  EXPECT_EQ(r->sc.table[84].l4, 120);  // the train document was read
  EXPECT_EQ(r->disk.files.count(test_support::test_train_path), 0u);
}

}  // namespace

}  // namespace compiler
