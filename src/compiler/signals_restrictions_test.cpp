// Signals, speed restrictions and "abbattimento" cells of the train document.

#include "compiler/signals_restrictions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/cell_words.h"
#include "test_support/scenario_fixture.h"

namespace compiler {

namespace {

// L = 10000: N = 340.
constexpr int route = 10000;

struct signal_values {
  int32_t posizione, sx, s1, s2, s3, rapp, dx, d1, d2, d3, tempo;
};

std::string segnale(const signal_values& v) {
  std::string s = "segnale,  " + std::to_string(v.posizione);
  for (int32_t x : {v.sx, v.s1, v.s2, v.s3, v.rapp, v.dx, v.d1, v.d2, v.d3, v.tempo})
    s += ",  " + std::to_string(x);
  return s + "\n";
}

// A plain signal at metre p.
std::string segnale_at(int32_t p) {
  return segnale({p, 1, 3, 0, 0, 0, 1, 0, 0, 0, 0});
}

std::string rallentamento(int32_t x, int32_t v, int32_t l, int32_t f_tt, int32_t f_ta,
                          int32_t d_v) {
  return "rallentamento,  " + std::to_string(x) + ",  " + std::to_string(v) + ",  " +
         std::to_string(l) + ",  " + std::to_string(f_tt) + ",  " + std::to_string(f_ta) + ",  " +
         std::to_string(d_v) + "\n";
}

std::string abbattimento(int32_t p, int32_t w) {
  return "abbattimento,  " + std::to_string(p) + ",  " + std::to_string(w) + "\n";
}

std::unique_ptr<test_support::built_package> compile_train(const std::string& records,
                                                           const std::string& line_records = "") {
  return test_support::build_package_from(test_support::line_description(route, line_records),
                                          test_support::train_document(records));
}

int count_kind(const test_support::built_package& c, uint8_t kind) {
  int n = 0;
  for (const model::track_cell& cell : c.sc.grid) n += cell.kind == kind;
  return n;
}

// A scenario with an empty grid of cells 0 .. last, for laying objects
// directly.
model::scenario grid_of(int32_t last) {
  model::scenario st;
  st.grid.assign(static_cast<size_t>(last) + 1, model::track_cell{});
  return st;
}

TEST(Signals, PackingOfTheFourWordsAndTheApproachMarks) {
  struct {
    const char* name;
    signal_values v;
    int16_t w2, w4, w6, w8;
    uint8_t b10;
    uint8_t first_mark;  // b11 of the cell 2 before; the next three follow on
  } cases[] = {
      {"sx 2, dx 0", {5000, 2, 4, 1, 0, 0, 0, 2, 1, 1, 0}, 42, 11, 1, 6, 0, 61},
      {"sx 1, dx 1", {5000, 1, 3, 0, 1, 0, 1, 0, 0, 0, 190}, 30, 0, 10, 4, 0, 41},
      {"sx 2, dx 2", {5000, 2, 5, 6, 1, 0, 2, 3, 1, 0, 50}, 53, 61, 10, 8, 101, 81},
      {"words keep their low 16 bits",
       {5000, 2, 4000, 0, 0, 3300, 0, 0, 0, 0, 300},
       -25536,
       0,
       0,
       -32530,
       44,
       61},
      {"marks keep their low 8 bits", {5000, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0}, 0, 0, 0, 30, 0, 45},
  };
  for (const auto& c : cases) {
    auto r = compile_train(segnale(c.v));
    ASSERT_EQ(r->code(), 0) << c.name;
    const model::track_cell& s = r->cell(101);
    EXPECT_EQ(s.kind, model::kind_signal) << c.name;
    EXPECT_EQ(s.w2, c.w2) << c.name;
    EXPECT_EQ(s.w4, c.w4) << c.name;
    EXPECT_EQ(s.w6, c.w6) << c.name;
    EXPECT_EQ(s.w8, c.w8) << c.name;
    EXPECT_EQ(s.b10, c.b10) << c.name;
    EXPECT_EQ(s.b11, 0) << c.name;
    for (int k = 1; k <= 4; ++k) {
      EXPECT_EQ(r->cell(101 - 2 * k).b11, c.first_mark + k - 1) << c.name << ", mark " << k;
      EXPECT_EQ(r->cell(101 - 2 * k + 1).b11, 0) << c.name << ", between marks " << k;
    }
    EXPECT_EQ(r->cell(91).b11, 0) << c.name;
  }
}

TEST(Signals, TheTimeValueIsKeptOnlyForSx2AndRaisedAbove100) {
  struct {
    int32_t sx, tempo;
    uint8_t b10;
  } cases[] = {{2, 50, 101},  {2, 1, 101},  {2, 100, 101}, {2, 101, 101}, {2, 0, 0},
               {2, 215, 215}, {2, 300, 44}, {2, -5, 251},  {1, 190, 0},   {1, 50, 0}};
  for (const auto& c : cases) {
    auto r = compile_train(segnale({5000, c.sx, 3, 0, 0, 0, 0, 0, 0, 0, c.tempo}));
    EXPECT_EQ(r->cell(101).b10, c.b10) << c.sx << " " << c.tempo;
  }
  // The raised value is the one laid.
  model::scenario st = grid_of(340);
  ASSERT_FALSE(lay_signal(st.grid, {5000, 2, {3, 0, 0}, 0, 0, {0, 0, 0}, 50}));
  EXPECT_EQ(model::signal_time(50), 101);
  EXPECT_EQ(st.grid[101].b10, 101);
}

TEST(Signals, MarksAreWrittenWhateverTheCellHoldsAndNotBeforeCell0) {
  // A text board 100 m before the signal keeps its kind and gets the mark.
  auto r = compile_train(segnale_at(5000), "cartello_indicatore,  4900,   (A)\n");
  ASSERT_EQ(r->code(), 0);
  EXPECT_EQ(r->cell(99).kind, model::kind_text_board);
  EXPECT_EQ(r->cell(99).b11, 41);

  // A signal at 300 m (cell 7): marks in cells 5, 3 and 1; the fourth would
  // fall before cell 0.
  r = compile_train(segnale_at(300));
  ASSERT_EQ(r->code(), 0);
  EXPECT_EQ(r->cell(5).b11, 41);
  EXPECT_EQ(r->cell(3).b11, 42);
  EXPECT_EQ(r->cell(1).b11, 43);
  EXPECT_EQ(r->cell(0).b11, 0);
}

TEST(Signals, ASignalTakesAMountainMarker) {
  // Cells 96 .. 107 of type 12: a marker in cell 99.
  auto r = compile_train(segnale_at(4900), "montagna,   4800,  5400,  12\n");
  ASSERT_EQ(r->code(), 0);
  EXPECT_EQ(r->cell(99).kind, model::kind_signal);
  EXPECT_EQ(r->cell(99).b12, 2);
}

TEST(Restrictions, WarningStartEndAndCountdownCells) {
  // x = 5000, 1000 m long: warning c(3800) = 77, start c(5000) = 101, end
  // c(6000) = 121, countdown r(3800) = 76 and the three cells before it.
  auto r = compile_train(rallentamento(5000, 60, 1000, 2, 1, 5));
  ASSERT_EQ(r->code(), 0);
  const model::track_cell& warning = r->cell(77);
  EXPECT_EQ(warning.kind, model::kind_restriction_warning);
  EXPECT_EQ(warning.w2, 60);
  EXPECT_EQ(warning.w4, 5);
  EXPECT_EQ(warning.w6, 0);
  for (int cell : {101, 121}) {
    const model::track_cell& t = r->cell(cell);
    EXPECT_EQ(t.kind, cell == 101 ? model::kind_restriction_start : model::kind_restriction_end)
        << cell;
    EXPECT_EQ(t.w2, 60) << cell;
    EXPECT_EQ(t.w4, 5) << cell;
    EXPECT_EQ(t.w6, 2) << cell;
  }
  for (int k = 0; k < 4; ++k) {
    const model::track_cell& countdown = r->cell(76 - k);
    EXPECT_EQ(countdown.kind, model::kind_countdown) << k;
    EXPECT_EQ(countdown.w2, k + 1) << k;
    EXPECT_EQ(countdown.w4, k + 1) << k;
  }
  EXPECT_EQ(r->cell(72).kind, model::kind_empty);
  EXPECT_EQ(r->cell(78).kind, model::kind_empty);

  // Without a speed difference every w4 stays 0; without f_ta no countdown.
  r = compile_train(rallentamento(5000, 60, 1000, 2, 0, 0));
  for (int cell : {77, 101, 121}) EXPECT_EQ(r->cell(cell).w4, 0) << cell;
  for (int cell = 73; cell <= 76; ++cell) EXPECT_EQ(r->cell(cell).kind, model::kind_empty) << cell;
}

TEST(Restrictions, AWarningBoardOnlyBeyond1500Metres) {
  // At 1500: start and end cells only, f_ta ignored.
  auto r = compile_train(rallentamento(1500, 60, 1000, 0, 1, 0));
  ASSERT_EQ(r->code(), 0);
  EXPECT_EQ(r->cell(31).kind, model::kind_restriction_start);
  EXPECT_EQ(r->cell(51).kind, model::kind_restriction_end);
  EXPECT_EQ(count_kind(*r, model::kind_restriction_warning), 0);
  EXPECT_EQ(count_kind(*r, model::kind_countdown), 0);

  // At 1550: the warning cell is c(350) = 8, the countdown cells 7 to 4.
  r = compile_train(rallentamento(1550, 60, 1000, 0, 1, 0));
  ASSERT_EQ(r->code(), 0);
  EXPECT_EQ(r->cell(8).kind, model::kind_restriction_warning);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(r->cell(7 - k).kind, model::kind_countdown) << k;
    EXPECT_EQ(r->cell(7 - k).w2, k + 1) << k;
    EXPECT_EQ(r->cell(7 - k).w4, 0) << k;
  }
}

TEST(Restrictions, CountdownCellsCountFromTheStretchCellOfTheWarningMetre) {
  // x = 5025: the warning board at c(3825) = round(77.5) = 78, the countdown
  // from r(3825) = round(76.5) = 76; cell 77 stays empty between them.
  auto r = compile_train(rallentamento(5025, 60, 1000, 0, 1, 0));
  ASSERT_EQ(r->code(), 0);
  EXPECT_EQ(r->cell(102).kind, model::kind_restriction_start);
  EXPECT_EQ(r->cell(78).kind, model::kind_restriction_warning);
  EXPECT_EQ(r->cell(77).kind, model::kind_empty);
  for (int k = 0; k < 4; ++k) {
    EXPECT_EQ(r->cell(76 - k).kind, model::kind_countdown) << k;
    EXPECT_EQ(r->cell(76 - k).w2, k + 1) << k;
  }
}

TEST(Restrictions, AnEndCellThatIsTheStartCellEndsAsTheStart) {
  for (int32_t length : {0, 20}) {
    auto r = compile_train(rallentamento(5000, 60, length, 3, 0, 5));
    ASSERT_EQ(r->code(), 0) << length;
    const model::track_cell& s = r->cell(101);
    EXPECT_EQ(s.kind, model::kind_restriction_start) << length;
    EXPECT_EQ(s.w2, 60) << length;
    EXPECT_EQ(s.w4, 5) << length;
    EXPECT_EQ(s.w6, 3) << length;
    EXPECT_EQ(r->cell(102).kind, model::kind_empty) << length;
  }
}

TEST(Restrictions, ASpeedDifferenceOf0LeavesW4AsItWas) {
  for (int32_t d_v : {0, 5}) {
    model::scenario st = grid_of(340);
    for (auto& cell : st.grid) cell.w4 = 77;
    ASSERT_FALSE(lay_restriction(st.grid, {5000, 60, 1000, 2, 1, d_v}));
    const int16_t kept = d_v == 0 ? 77 : 5;
    EXPECT_EQ(st.grid[77].w4, kept) << d_v;
    EXPECT_EQ(st.grid[101].w4, kept) << d_v;
    EXPECT_EQ(st.grid[121].w4, kept) << d_v;
    for (int k = 0; k < 4; ++k)
      EXPECT_EQ(st.grid[static_cast<size_t>(76 - k)].w4, d_v == 0 ? 77 : k + 1) << d_v;
    // Values keep their low 16 bits.
    EXPECT_EQ(st.grid[101].w2, 60);
  }
  model::scenario st = grid_of(340);
  ASSERT_FALSE(lay_restriction(st.grid, {5000, 70000, 1000, -1, 0, 65541}));
  EXPECT_EQ(st.grid[101].w2, 4464);
  EXPECT_EQ(st.grid[101].w4, 5);
  EXPECT_EQ(st.grid[101].w6, -1);
}

TEST(Abbattimento, AMarkerWithAValueOrAPlainMarker) {
  struct {
    int32_t w;
    uint8_t kind;
    int16_t w2;
  } cases[] = {{80, model::kind_approach_marker, 80},
               {200, model::kind_approach_marker, 200},
               {0, model::kind_plain_marker, 0},
               {-5, model::kind_plain_marker, 0}};
  for (const auto& c : cases) {
    // r(1000) = 20, the cell before the signal's c(1000) = 21.
    auto r = compile_train(abbattimento(1000, c.w));
    ASSERT_EQ(r->code(), 0) << c.w;
    EXPECT_EQ(r->cell(20).kind, c.kind) << c.w;
    EXPECT_EQ(r->cell(20).w2, c.w2) << c.w;
    EXPECT_EQ(r->cell(21).kind, model::kind_empty) << c.w;
  }
  // On a mountain marker it replaces the kind and the mountain byte stays.
  auto r = compile_train(abbattimento(1150, 80), "montagna,   1000,  1550,  12\n");
  ASSERT_EQ(r->code(), 0);
  EXPECT_EQ(r->cell(23).kind, model::kind_approach_marker);
  EXPECT_EQ(r->cell(23).b12, 2);
}

TEST(PointObjects, FaultsEndTheCompileAtTheRecord) {
  struct {
    const char* name;
    std::string line;
    std::string records;
    int32_t code, position;
  } cases[] = {
      {"a signal on a signal", "", segnale_at(5000) + segnale_at(5010), 16, 5010},
      {"a signal on a text board", "cartello_indicatore,  5000,   (A)\n", segnale_at(5000), 16,
       5000},
      {"a signal on a restriction's start", "",
       rallentamento(5000, 60, 500, 0, 0, 0) + segnale_at(5000), 16, 5000},
      {"a warning cell taken", "", segnale_at(3800) + rallentamento(5000, 60, 500, 0, 0, 0), 17,
       5000},
      {"a start cell taken", "", segnale_at(5000) + rallentamento(5000, 60, 500, 0, 0, 0), 18,
       5000},
      {"a start cell taken below 1500 m", "",
       segnale_at(1000) + rallentamento(1000, 60, 500, 0, 0, 0), 18, 1000},
      {"an end cell taken", "", segnale_at(6000) + rallentamento(5000, 60, 1000, 0, 0, 0), 19,
       5000},
      {"a countdown cell taken", "", segnale_at(3650) + rallentamento(5000, 60, 1000, 0, 1, 0), 20,
       5000},
      {"an end cell past the grid", "", rallentamento(5000, 60, 20000, 0, 0, 0), 110, 5000},
      {"an end cell before the grid", "", rallentamento(5000, 60, -6000, 0, 0, 0), 110, 5000},
      {"an abbattimento on a signal", "", segnale_at(5000) + abbattimento(5050, 80), 7, 5050},
      {"an abbattimento on an abbattimento", "", abbattimento(5000, 0) + abbattimento(5010, 80), 7,
       5010},
      {"a signal at a negative position", "", segnale_at(-25), 109, -25},
      {"a restriction at a negative position", "", rallentamento(-100, 60, 500, 0, 0, 0), 109,
       -100},
      {"an abbattimento at a negative position", "", abbattimento(-10, 80), 109, -10},
  };
  for (const auto& c : cases) {
    auto r = compile_train("velocita,  0,  100\n" + c.records + "sabbia,  7\n", c.line);
    EXPECT_EQ(r->code(), c.code) << c.name;
    EXPECT_EQ(r->position(), c.position) << c.name;
    EXPECT_EQ(r->disk.files.count(test_support::test_train_path), 0u) << c.name;
    EXPECT_EQ(r->disk.files.count(test_support::test_line_path), 0u) << c.name;
    // The reading ended at the record: no later record, no tail.
    EXPECT_EQ(r->sc.table[86].w24, 1) << c.name;
    EXPECT_EQ(r->cell(10).b13, 0) << c.name;
    EXPECT_EQ(r->cell(0).kind, model::kind_empty) << c.name;
    EXPECT_EQ(r->result.outcome, run::package_outcome::written) << c.name;
  }
}

TEST(Restrictions, AFailedRestrictionWritesNothingBeforeTheCountdownCheck) {
  // Taken end cell: neither the warning nor the start cell is laid.
  auto r = compile_train(segnale_at(6000) + rallentamento(5000, 60, 1000, 0, 0, 0));
  EXPECT_EQ(r->code(), 19);
  EXPECT_EQ(r->cell(77).kind, model::kind_empty);
  EXPECT_EQ(r->cell(101).kind, model::kind_empty);
  // Taken countdown cell: warning, start and end cells stay written, no
  // countdown cell is laid.
  r = compile_train(segnale_at(3650) + rallentamento(5000, 60, 1000, 0, 1, 0));
  EXPECT_EQ(r->code(), 20);
  EXPECT_EQ(r->cell(77).kind, model::kind_restriction_warning);
  EXPECT_EQ(r->cell(101).kind, model::kind_restriction_start);
  EXPECT_EQ(r->cell(121).kind, model::kind_restriction_end);
  EXPECT_EQ(r->cell(74).kind, model::kind_signal);
  EXPECT_EQ(count_kind(*r, model::kind_countdown), 0);
  // The same signal is no obstacle when there are no countdown boards.
  r = compile_train(segnale_at(3650) + rallentamento(5000, 60, 1000, 0, 0, 0));
  EXPECT_EQ(r->code(), 0);
}

TEST(PointObjects, ARecordBeyondTheGridEndsTheReadingOnly) {
  // (16900 + 100) / 50 = 340 = N is let in; one metre more is not.
  for (const std::string& failing :
       {segnale_at(16901), rallentamento(16901, 60, 0, 0, 0, 0), abbattimento(16901, 80)}) {
    auto r = compile_train("velocita,  0,  100\n" + segnale_at(16900) + failing + "sabbia,  7\n");
    EXPECT_EQ(r->code(), 15) << failing;
    EXPECT_EQ(r->position(), 16901) << failing;
    EXPECT_EQ(r->cell(339).kind, model::kind_signal) << failing;
    EXPECT_EQ(r->sc.table[86].w24, 1) << failing;
    EXPECT_EQ(r->cell(10).b13, 20) << failing;  // the tails ran
  }
}

}  // namespace

}  // namespace compiler
