// The approach-marker pass over hand-built grids, and once after a compile.

#include "compiler/approach_markers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <vector>

#include "test_support/scenario_fixture.h"

namespace compiler {

namespace {

// A grid and the fault the pass left on it.
struct marked_grid {
  model::track_grid grid;
  int32_t error_code = 0;
  int32_t error_position = 0;
};

// An empty grid of cells 0 .. last.
marked_grid grid_of(int32_t last) {
  marked_grid st;
  st.grid.assign(static_cast<size_t>(last) + 1, model::track_cell{});
  return st;
}

// Runs the pass; a fault replaces the one the grid had.
void approach_marker_pass(marked_grid& st) {
  if (std::optional<grid_fault> f = lay_approach_markers(st.grid)) {
    st.error_code = fault_number(f->code);
    st.error_position = f->position;
  }
}

void put(marked_grid& st, int cell, uint8_t kind, int16_t w2 = 0) {
  st.grid[static_cast<size_t>(cell)].kind = kind;
  st.grid[static_cast<size_t>(cell)].w2 = w2;
}

// A restriction: start cell with speed v, end cell.
void restriction(marked_grid& st, int start, int16_t v, int end) {
  put(st, start, model::kind_restriction_start, v);
  if (end >= 0) put(st, end, model::kind_restriction_end, v);
}

std::vector<int> markers(const model::track_grid& grid) {
  std::vector<int> cells;
  for (size_t i = 0; i < grid.size(); ++i)
    if (grid[i].kind == model::kind_approach_marker) cells.push_back(static_cast<int>(i));
  return cells;
}

const model::track_cell& at(const marked_grid& st, int cell) {
  return st.grid[static_cast<size_t>(cell)];
}

TEST(ApproachMarkers, AGridWithoutRestrictionsIsLeftAsItIs) {
  marked_grid st = grid_of(200);
  put(st, 50, model::kind_signal, 42);
  put(st, 60, model::kind_restriction_end, 60);
  put(st, 70, model::kind_approach_marker, 300);
  put(st, 80, model::kind_mountain_marker);
  put(st, 90, model::kind_countdown, 1);
  const model::track_grid before = st.grid;
  approach_marker_pass(st);
  ASSERT_EQ(st.grid.size(), before.size());
  for (size_t i = 0; i < before.size(); ++i) EXPECT_TRUE(st.grid[i] == before[i]) << i;
  EXPECT_EQ(st.error_code, 0);
}

TEST(ApproachMarkers, AroundASlowRestriction) {
  // Start at 100 with 60 km/h, end at 130, a signal at 135.
  marked_grid st = grid_of(200);
  restriction(st, 100, 60, 130);
  put(st, 135, model::kind_signal);
  approach_marker_pass(st);
  EXPECT_EQ(markers(st.grid), (std::vector<int>{82, 89, 95, 108, 116, 124, 134}));
  for (int cell : markers(st.grid)) EXPECT_EQ(at(st, cell).w2, 180) << cell;
  EXPECT_EQ(st.error_code, 0);
}

TEST(ApproachMarkers, TheMarkerRunOnlyBelow110) {
  struct {
    int16_t v;
    std::vector<int> cells;
  } cases[] = {
      {60, {82, 89, 95, 108, 116, 124, 134}},
      {109, {82, 89, 95, 108, 116, 124, 134}},
      {-1, {82, 89, 95, 108, 116, 124, 134}},  // the speed is a signed word
      // No marker run and, with no end cell found, no marker before the
      // signal after the end either.
      {110, {82, 89, 95}},
      {200, {82, 89, 95}},
  };
  for (const auto& c : cases) {
    marked_grid st = grid_of(200);
    restriction(st, 100, c.v, 130);
    put(st, 135, model::kind_signal);
    approach_marker_pass(st);
    EXPECT_EQ(markers(st.grid), c.cells) << c.v;
  }
}

TEST(ApproachMarkers, BeforeTheStartEachGroupTakesItsFirstFreeCandidate) {
  struct {
    const char* name;
    std::vector<int> taken;  // signals
    std::vector<int> cells;
    int32_t code, position;
  } cases[] = {
      {"all free", {}, {82, 89, 95}, 0, 0},
      {"95 taken", {95}, {82, 89, 94}, 0, 0},
      {"95 and 94 taken", {95, 94}, {82, 89, 93}, 0, 0},
      {"95, 94 and 93 taken: the other groups still lay theirs", {95, 94, 93}, {82, 89}, 12, 5000},
      {"89 to 87 and 82 taken", {89, 88, 87, 82}, {81, 95}, 12, 5000},
      {"82 to 80 taken", {82, 81, 80}, {89, 95}, 12, 5000},
  };
  for (const auto& c : cases) {
    marked_grid st = grid_of(200);
    restriction(st, 100, 110, 130);
    for (int cell : c.taken) put(st, cell, model::kind_signal);
    approach_marker_pass(st);
    EXPECT_EQ(markers(st.grid), c.cells) << c.name;
    EXPECT_EQ(st.error_code, c.code) << c.name;
    EXPECT_EQ(st.error_position, c.position) << c.name;
  }
}

TEST(ApproachMarkers, GroupsOnlyWhereTheStartLeavesRoom) {
  struct {
    int start;
    std::vector<int> cells;
  } cases[] = {
      {7, {}},       // group 1 needs a start above 7
      {8, {3}},      // candidates 3, 2, 1
      {14, {3, 9}},  // group 2 from 14 on
      {20, {9, 15}}, {21, {3, 10, 16}},
  };
  for (const auto& c : cases) {
    marked_grid st = grid_of(200);
    restriction(st, c.start, 110, c.start + 5);
    approach_marker_pass(st);
    EXPECT_EQ(markers(st.grid), c.cells) << c.start;
    EXPECT_EQ(st.error_code, 0) << c.start;
  }
}

TEST(ApproachMarkers, AMarkerReplacesAMountainMarkerAndKeepsTheOtherSlots) {
  marked_grid st = grid_of(200);
  restriction(st, 100, 110, 130);
  model::track_cell& c = st.grid[95];
  c.kind = model::kind_mountain_marker;
  c.w4 = 7;
  c.w8 = 9;
  c.b11 = 61;
  c.b12 = 2;
  c.b13 = 20;
  c.b14 = 103;
  c.b15 = 5;
  approach_marker_pass(st);
  const model::track_cell& m = at(st, 95);
  EXPECT_EQ(m.kind, model::kind_approach_marker);
  EXPECT_EQ(m.w2, 180);
  EXPECT_EQ(m.w4, 7);
  EXPECT_EQ(m.w8, 9);
  EXPECT_EQ(m.b11, 61);
  EXPECT_EQ(m.b12, 2);
  EXPECT_EQ(m.b13, 20);
  EXPECT_EQ(m.b14, 103);
  EXPECT_EQ(m.b15, 5);
}

TEST(ApproachMarkers, SignalsBeforeAWarningCell) {
  // Warning cell at 200, a signal at 190.
  struct {
    const char* name;
    uint8_t kind189;
    int16_t w2_189;
    uint8_t kind188;
    int16_t w2_188;
    std::vector<int> cells;
    int16_t after189, after188;
    int32_t code;
  } cases[] = {
      {"189 free", 0, 0, 0, 0, {189}, 180, 0, 0},
      {"189 a mountain marker", model::kind_mountain_marker, 0, 0, 0, {189}, 180, 0, 0},
      {"189 taken, 188 free", model::kind_text_board, 0, 0, 0, {188}, 0, 180, 0},
      {"a marker of 200 in 189, 188 taken: capped",
       model::kind_approach_marker,
       200,
       model::kind_text_board,
       0,
       {189},
       180,
       0,
       0},
      {"a marker of 200 in 189, 188 free: a new marker in 188",
       model::kind_approach_marker,
       200,
       0,
       0,
       {188, 189},
       200,
       180,
       0},
      {"a marker of 50 in 189 stays 50",
       model::kind_approach_marker,
       50,
       model::kind_text_board,
       0,
       {189},
       50,
       0,
       0},
      {"189 taken, a marker of 300 in 188: capped",
       model::kind_text_board,
       0,
       model::kind_approach_marker,
       300,
       {188},
       0,
       180,
       0},
      {"both taken", model::kind_text_board, 0, model::kind_countdown, 0, {}, 0, 0, 11},
  };
  for (const auto& c : cases) {
    marked_grid st = grid_of(300);
    put(st, 200, model::kind_restriction_warning, 60);
    put(st, 190, model::kind_signal);
    put(st, 189, c.kind189, c.w2_189);
    put(st, 188, c.kind188, c.w2_188);
    approach_marker_pass(st);
    EXPECT_EQ(markers(st.grid), c.cells) << c.name;
    EXPECT_EQ(at(st, 189).w2, c.after189) << c.name;
    EXPECT_EQ(at(st, 188).w2, c.after188) << c.name;
    EXPECT_EQ(st.error_code, c.code) << c.name;
    EXPECT_EQ(st.error_position, c.code == 0 ? 0 : 9500) << c.name;
  }
}

TEST(ApproachMarkers, EverySignalWithinTwentyCellsOfTheWarningCell) {
  // Signals at 199 and 180 (the nearest and the farthest looked at), one at
  // 190 that fails, and one at 179, too far.
  marked_grid st = grid_of(300);
  put(st, 200, model::kind_restriction_warning, 60);
  for (int cell : {199, 190, 180, 179}) put(st, cell, model::kind_signal);
  put(st, 189, model::kind_text_board);
  put(st, 188, model::kind_text_board);
  approach_marker_pass(st);
  EXPECT_EQ(markers(st.grid), (std::vector<int>{178, 198}));
  EXPECT_EQ(st.error_code, 11);
  EXPECT_EQ(st.error_position, 9500);
}

TEST(ApproachMarkers, ASignalBeforeCell3IsNotExamined) {
  // Warning cell at 5: a signal at 2 is not looked at; one at 3 is.
  marked_grid st = grid_of(100);
  put(st, 5, model::kind_restriction_warning, 60);
  put(st, 2, model::kind_signal);
  approach_marker_pass(st);
  EXPECT_TRUE(markers(st.grid).empty());

  st = grid_of(100);
  put(st, 5, model::kind_restriction_warning, 60);
  put(st, 3, model::kind_signal);
  approach_marker_pass(st);
  EXPECT_EQ(markers(st.grid), (std::vector<int>{2}));
}

TEST(ApproachMarkers, TheMarkerRunStepsAroundTakenCells) {
  // Start at 100 with 60 km/h, end at 138; groups before the start at 95,
  // 89 and 82.
  struct {
    const char* name;
    std::vector<int> taken;
    std::vector<int> run;  // markers after the start
    int32_t code, position;
  } cases[] = {
      {"all free", {}, {108, 116, 124, 132}, 0, 0},
      {"108 taken: 107, then 8 cells on", {108}, {107, 115, 123, 131}, 0, 0},
      {"108 and 107 taken: 109, then 8 cells on", {108, 107}, {109, 117, 125, 133}, 0, 0},
      {"108, 107 and 109 taken: no more markers in this run", {107, 108, 109}, {}, 13, 5400},
  };
  for (const auto& c : cases) {
    marked_grid st = grid_of(200);
    restriction(st, 100, 60, 138);
    for (int cell : c.taken) put(st, cell, model::kind_signal);
    approach_marker_pass(st);
    std::vector<int> want = {82, 89, 95};
    want.insert(want.end(), c.run.begin(), c.run.end());
    EXPECT_EQ(markers(st.grid), want) << c.name;
    EXPECT_EQ(st.error_code, c.code) << c.name;
    EXPECT_EQ(st.error_position, c.position) << c.name;
  }
}

TEST(ApproachMarkers, AMarkerCanFallOneCellPastTheEndCell) {
  // The 8th cell is the end cell and the cell before it is taken.
  marked_grid st = grid_of(200);
  restriction(st, 100, 60, 108);
  put(st, 107, model::kind_signal);
  approach_marker_pass(st);
  EXPECT_EQ(markers(st.grid), (std::vector<int>{82, 89, 95, 109}));
  EXPECT_EQ(st.error_code, 0);
}

TEST(ApproachMarkers, TheFirstSignalWithinTwelveCellsAfterTheEnd) {
  struct {
    const char* name;
    std::vector<int> signals;
    std::vector<int> taken;  // text boards
    std::vector<int> after;  // markers after the end cell at 130 (or just before it)
    int32_t code;
  } cases[] = {
      {"a signal at the end + 12", {142}, {}, {141}, 0},
      {"a signal at the end + 13 is too far", {143}, {}, {}, 0},
      {"only the first signal", {135, 140}, {}, {134}, 0},
      {"the cell before the signal is the end cell", {131}, {}, {129}, 0},
      {"the cell before the signal taken", {135}, {134}, {133}, 0},
      {"both cells before the signal taken", {135}, {134, 133}, {}, 13},
  };
  for (const auto& c : cases) {
    marked_grid st = grid_of(200);
    restriction(st, 100, 60, 130);
    for (int cell : c.signals) put(st, cell, model::kind_signal);
    for (int cell : c.taken) put(st, cell, model::kind_text_board);
    approach_marker_pass(st);
    std::vector<int> want = {82, 89, 95, 108, 116, 124};
    want.insert(want.end(), c.after.begin(), c.after.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(markers(st.grid), want) << c.name;
    EXPECT_EQ(st.error_code, c.code) << c.name;
    EXPECT_EQ(st.error_position, c.code == 0 ? 0 : 6500) << c.name;
  }
}

TEST(ApproachMarkers, ARunWithoutAnEndCellStopsAtTheGridsLastCell) {
  // No end cell: markers up to the last cell, no fault, and no search for a
  // signal after the end.
  marked_grid st = grid_of(160);
  restriction(st, 100, 60, -1);
  put(st, 158, model::kind_signal);
  approach_marker_pass(st);
  EXPECT_EQ(markers(st.grid), (std::vector<int>{82, 89, 95, 108, 116, 124, 132, 140, 148, 156}));
  EXPECT_EQ(st.error_code, 0);

  // The 8th cell is the last cell: taken together with the one before it,
  // the cell past the grid counts as taken too.
  st = grid_of(164);
  restriction(st, 100, 60, -1);
  put(st, 164, model::kind_signal);
  put(st, 163, model::kind_signal);
  approach_marker_pass(st);
  EXPECT_EQ(markers(st.grid), (std::vector<int>{82, 89, 95, 108, 116, 124, 132, 140, 148, 156}));
  EXPECT_EQ(st.error_code, 13);
  EXPECT_EQ(st.error_position, 8200);
}

TEST(ApproachMarkers, TheScanCoversCells1ToNMinus2) {
  // A start cell at N - 1 is not looked at; one at N - 2 is.
  marked_grid st = grid_of(200);
  put(st, 199, model::kind_restriction_start, 110);
  approach_marker_pass(st);
  EXPECT_TRUE(markers(st.grid).empty());

  st = grid_of(200);
  put(st, 198, model::kind_restriction_start, 110);
  approach_marker_pass(st);
  EXPECT_EQ(markers(st.grid), (std::vector<int>{180, 187, 193}));
}

TEST(ApproachMarkers, MarkersLaidEarlierInTheScanAreTaken) {
  // The start at 100 lays 95; the start at 106 then finds its group-2
  // candidate 95 taken and goes to 94.
  marked_grid st = grid_of(200);
  restriction(st, 100, 110, -1);
  restriction(st, 106, 110, -1);
  approach_marker_pass(st);
  EXPECT_EQ(markers(st.grid), (std::vector<int>{82, 88, 89, 94, 95, 101}));
}

TEST(ApproachMarkers, ALaterFailureOverwritesAnEarlierOne) {
  // A fault left by the compile, then 12 at the first start and 11 at a
  // later warning cell.
  marked_grid st = grid_of(300);
  st.error_code = 15;
  st.error_position = 777;
  restriction(st, 100, 110, -1);
  for (int cell : {95, 94, 93}) put(st, cell, model::kind_signal);
  put(st, 200, model::kind_restriction_warning, 60);
  put(st, 190, model::kind_signal);
  put(st, 189, model::kind_text_board);
  put(st, 188, model::kind_text_board);
  approach_marker_pass(st);
  EXPECT_EQ(st.error_code, 11);
  EXPECT_EQ(st.error_position, 9500);

  // A pass without failure leaves the compile's fault as it was.
  st = grid_of(300);
  st.error_code = 15;
  st.error_position = 777;
  restriction(st, 100, 110, -1);
  approach_marker_pass(st);
  EXPECT_EQ(st.error_code, 15);
  EXPECT_EQ(st.error_position, 777);

  // The compile's fault is overwritten by the pass's.
  st = grid_of(300);
  st.error_code = 15;
  st.error_position = 777;
  restriction(st, 100, 110, -1);
  for (int cell : {95, 94, 93}) put(st, cell, model::kind_signal);
  approach_marker_pass(st);
  EXPECT_EQ(st.error_code, 12);
  EXPECT_EQ(st.error_position, 5000);
}

TEST(ApproachMarkers, AfterACompileWithARestriction) {
  // x = 5000 m, 1000 m long: warning cell 77, countdown 76 .. 73, start 101,
  // end 121. A signal at 3000 m (cell 61) lies before the warning cell, one
  // at 6200 m (cell 125) after the end.
  auto r = test_support::build_package_from(
      test_support::line_description(10000),
      test_support::train_document("segnale,  3000,  1,  3,  0,  0,  0,  1,  0,  0,  0,  0\n"
                                   "rallentamento,  5000,  60,  1000,  2,  1,  0\n"
                                   "segnale,  6200,  1,  3,  0,  0,  0,  1,  0,  0,  0,  0\n"));
  ASSERT_EQ(r->code(), 0);
  EXPECT_EQ(markers(r->sc.grid), (std::vector<int>{60, 83, 90, 96, 109, 117, 124}));
  // The grid file carries them: kind 12 and 180 in cell 96.
  const std::string dat = r->file("Borvasco_Lestrano_40817.dat");
  ASSERT_EQ(dat.size(), 15u * 341);
  EXPECT_EQ(dat.substr(15 * 96, 3), std::string("\x0C\xB4\x00", 3));
}

}  // namespace

}  // namespace compiler
