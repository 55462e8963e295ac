// The train document: general values, speed-limit and adhesion bytes, the
// record loop, the closing check of the kilometric ranges and the faults.

#include "compiler/train_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/file_names.h"
#include "test_support/scenario_fixture.h"

namespace compiler {

namespace {

// L = 1000: N = 160, the tails run up to cell N - 3 = 157.
constexpr int route = 1000;

void expect_cells(const test_support::built_package& c, uint8_t model::track_cell::*slot,
                  const std::vector<test_support::cell_range>& ranges, const std::string& name) {
  for (const auto& range : ranges)
    for (int i = range.from; i <= range.to; ++i)
      EXPECT_EQ(c.cell(i).*slot, range.value) << name << ", cell " << i;
}

// A line description whose kilometric range "uno" is (start, reference, 1).
std::string line_with_range(int start, int reference) {
  return "[generale]\n"
         "lunghezza percorso,    1000\n"
         "progressiva chilometrica uno,    " +
         std::to_string(start) + ",    " + std::to_string(reference) +
         ",    1\n"
         "progressiva chilometrica due,    0,    0,    0\n"
         "progressiva chilometrica tre,    0,    0,    0\n"
         "[curve]\n[fine]\n";
}

TEST(TrainReader, GeneralValuesGoToEntries84And86) {
  auto r = test_support::build_package_from(
      test_support::line_description(route),
      "numero vetture,    9\n"  // before the header: passed over
      "[generale]\n"
      "numero vetture,    6\n"
      "percentuale massa frenata,    95\n"
      "sabbia,    3\n"
      "orologio,    10               5            59 \n"
      "numero vetture,    7\n"  // a record read twice: the last one counts
      "[fine]\n");
  ASSERT_EQ(r->code(), 0);
  const model::scenario_table& t = r->sc.table;
  EXPECT_EQ(t[84].l4, 95);
  EXPECT_EQ(t[84].l8, route);
  EXPECT_EQ(t[84].l12, 7);
  EXPECT_EQ(t[86].w24, 3);
  EXPECT_EQ(t[86].w28, 10);
  EXPECT_EQ(t[86].w30, 5);
  EXPECT_EQ(t[86].w32, 59);
  EXPECT_EQ(r->disk.files.count(test_support::test_train_path), 0u);
}

TEST(TrainReader, SpeedAndAdhesionFillEveryCellUpToNMinus3) {
  uint8_t model::track_cell::*const speed = &model::track_cell::b13;
  uint8_t model::track_cell::*const adhesion = &model::track_cell::b15;
  struct {
    const char* name;
    const char* records;
    uint8_t model::track_cell::*slot;
    std::vector<test_support::cell_range> cells;
  } cases[] = {
      {"each record's speed runs to the next record's cell",
       "velocita,  0,  100\nvelocita,  1000,  60\n",
       speed,
       {{0, 19, 20}, {20, 157, 12}, {158, 160, 0}}},
      {"cells before the first record have speed 0",
       "velocita,  100,  100\n",
       speed,
       {{0, 1, 0}, {2, 157, 20}}},
      {"two records in one cell: the second starts a cell later",
       "velocita,  0,  100\nvelocita,  500,  80\nvelocita,  510,  60\n",
       speed,
       {{0, 9, 20}, {10, 10, 16}, {11, 157, 12}}},
      {"75 km/h", "velocita,  0,  75\n", speed, {{0, 157, 15}}},
      {"130 km/h", "velocita,  0,  130\n", speed, {{0, 157, 26}}},
      {"12 km/h rounds down", "velocita,  0,  12\n", speed, {{0, 157, 2}}},
      {"13 km/h rounds up", "velocita,  0,  13\n", speed, {{0, 157, 3}}},
      {"1277 km/h is the fastest", "velocita,  0,  1277\n", speed, {{0, 157, 255}}},
      {"-2 km/h rounds to 0", "velocita,  0,  -2\n", speed, {{0, 157, 0}}},
      {"the tail writes the cursor's own cell at least once",
       "velocita,  0,  100\nvelocita,  7900,  50\n",
       speed,
       {{0, 157, 20}, {158, 158, 10}, {159, 160, 0}}},
      {"adhesion keeps its low 8 bits",
       "aderenza,  0,  300\n",
       adhesion,
       {{0, 157, 44}, {158, 160, 0}}},
      {"a negative adhesion", "aderenza,  0,  -1\n", adhesion, {{0, 157, 255}}},
      {"cells before the first adhesion record hold 0",
       "aderenza,  100,  7\naderenza,  1000,  9\n",
       adhesion,
       {{0, 1, 0}, {2, 19, 7}, {20, 157, 9}}},
  };
  for (const auto& c : cases) {
    auto r = test_support::build_package_from(test_support::line_description(route),
                                              test_support::train_document(c.records));
    EXPECT_EQ(r->code(), 0) << c.name;
    expect_cells(*r, c.slot, c.cells, c.name);
  }
}

TEST(TrainReader, TheSpeedFillStopsAtTheLastCell) {
  // Records that all fall in cell 1 write one cell each; the 161st finds
  // the cursor at N and writes nothing.
  std::string records;
  for (int i = 0; i < 161; ++i) records += "velocita,  50,  100\n";
  auto r = test_support::build_package_from(test_support::line_description(route),
                                            test_support::train_document(records));
  EXPECT_EQ(r->code(), 0);
  expect_cells(*r, &model::track_cell::b13, {{0, 0, 0}, {1, 160, 20}}, "speed");

  // The adhesion fill has no such stop: a cell past the grid is a run-time
  // fault.
  std::string adhesion;
  for (int i = 0; i < 161; ++i) adhesion += "aderenza,  50,  7\n";
  r = test_support::build_package_from(test_support::line_description(route),
                                       test_support::train_document(adhesion));
  EXPECT_EQ(r->code(), 25);
}

TEST(TrainReader, ARecordBeyondTheGridEndsTheReadingButTheTailsRun) {
  struct {
    const char* failing;
  } cases[] = {{"velocita,  7901,  50\n"}, {"aderenza,  7901,  50\n"}};
  for (const auto& c : cases) {
    auto r = test_support::build_package_from(
        test_support::line_description(route),
        test_support::train_document(std::string("velocita,  0,  100\naderenza,  0,  5\n") +
                                     c.failing + "sabbia,  7\n"));
    EXPECT_EQ(r->code(), 15) << c.failing;
    EXPECT_EQ(r->position(), 7901) << c.failing;
    expect_cells(*r, &model::track_cell::b13, {{0, 157, 20}, {158, 160, 0}}, c.failing);
    expect_cells(*r, &model::track_cell::b15, {{0, 157, 5}, {158, 160, 0}}, c.failing);
    EXPECT_EQ(r->sc.table[86].w24, 1) << c.failing;  // the record after it is not read
    EXPECT_EQ(r->disk.files.count(test_support::test_train_path), 0u) << c.failing;
    EXPECT_EQ(r->result.outcome, run::package_outcome::written) << c.failing;
  }
}

TEST(TrainReader, FieldsWithADashBeforeAKeywordAreSkippedTwiceAtMost) {
  struct {
    const char* records;
    int16_t sand;  // entry 86, w24; the general section sets 1
  } cases[] = {
      {"-----\nsabbia,  7\n", 7},
      {"-,-,sabbia-x,  7\n", 7},    // the third field is examined, dash or not
      {"-,-,-,sabbia-x,  7\n", 1},  // the third dash is examined; "sabbia-x" is then skipped
      {"--- sabbia,  7\n", 1},      // a keyword field holding a dash is skipped itself
  };
  for (const auto& c : cases) {
    auto r = test_support::build_package_from(test_support::line_description(route),
                                              test_support::train_document(c.records));
    EXPECT_EQ(r->code(), 0) << c.records;
    EXPECT_EQ(r->sc.table[86].w24, c.sand) << c.records;
  }
}

TEST(TrainReader, AKeywordInTheLastFieldIsNotExamined) {
  // Examined, the record would read past the end of the document.
  auto r = test_support::build_package_from(test_support::line_description(route),
                                            "[generale]\nsabbia\n");
  EXPECT_EQ(r->code(), 0);
  // Without a general header the document yields no record and no fault;
  // the tails still run.
  r = test_support::build_package_from(test_support::line_description(route),
                                       "sabbia,  7\nvelocita,  0,  100\n[fine]\n");
  EXPECT_EQ(r->code(), 0);
  EXPECT_EQ(r->sc.table[86].w24, 0);
  EXPECT_EQ(r->cell(0).b13, 0);
  EXPECT_EQ(r->disk.files.count(test_support::test_train_path), 0u);
}

TEST(TrainReader, TheClosingCheckWantsRangesOnMultiplesOf50) {
  struct {
    const char* name;
    int start, reference;
    const char* records;
    int32_t code, position;
  } cases[] = {
      {"a start off the 50 m steps", 1225, 50000, "", 2, 0},
      {"a reference off the 50 m steps", 1200, 50025, "", 2, 0},
      {"both on the steps", 1200, 50000, "", 0, 0},
      {"replaces an error 15, keeping its position", 1225, 50000, "velocita,  7901,  50\n", 2,
       7901},
  };
  for (const auto& c : cases) {
    auto r = test_support::build_package_from(
        line_with_range(c.start, c.reference),
        test_support::train_document(std::string(c.records) + "sabbia,  7\n"));
    EXPECT_EQ(r->code(), c.code) << c.name;
    EXPECT_EQ(r->position(), c.position) << c.name;
    if (c.position == 0) {
      EXPECT_EQ(r->sc.table[86].w24, 7) << c.name;  // the whole document was read first
    }
  }
}

TEST(TrainReader, RunTimeFaultsAreFault25AndBothDocumentsGo) {
  struct {
    const char* name;
    std::string document;
  } cases[] = {
      {"values missing at the end", "[generale]\nsegnale,  1000,  1,  2\n"},
      {"a 16-bit value too wide", test_support::train_document("sabbia,  40000\n")},
      {"a clock value too wide", test_support::train_document("orologio,    9   30   40000\n")},
      {"a 32-bit value too wide", test_support::train_document("numero vetture,  3000000000\n")},
      {"a number that is not whole",
       test_support::train_document("percentuale massa frenata,  1.5\n")},
      {"a speed whose fifth rounds to 256", test_support::train_document("velocita,  0,  1278\n")},
      {"a speed whose fifth rounds to -1", test_support::train_document("velocita,  0,  -3\n")},
  };
  for (const auto& c : cases) {
    auto r = test_support::build_package_from(test_support::line_description(route), c.document);
    EXPECT_EQ(r->code(), 25) << c.name;
    EXPECT_EQ(r->position(), 0) << c.name;
    EXPECT_EQ(r->disk.files.count(test_support::test_line_path), 0u) << c.name;
    EXPECT_EQ(r->disk.files.count(test_support::test_train_path), 0u) << c.name;
    EXPECT_EQ(r->result.outcome, run::package_outcome::written) << c.name;
  }
}

TEST(TrainReader, AFault25LeavesThePositionOfAnEarlierFault) {
  auto r = test_support::build_package_from(
      test_support::line_description(route, "pendenza,  9999,  1\n"),
      test_support::train_document("sabbia,  40000\n"));
  EXPECT_EQ(r->code(), 25);
  EXPECT_EQ(r->position(), 9999);
}

TEST(TrainReader, AMissingTrainDocumentIsFault25) {
  auto prepared = std::make_unique<test_support::built_package>();
  prepared->disk.files[test_support::test_line_path] = test_support::line_description(route);
  auto r = test_support::build_package_on(std::move(prepared));
  EXPECT_EQ(r->code(), 25);
  EXPECT_EQ(r->result.outcome, run::package_outcome::written);
  EXPECT_EQ(r->disk.files.count(test_support::test_line_path), 0u);
}

TEST(TrainReader, AFaultOfTheLineDescriptionStopsTheReadingAtTheFirstSignal) {
  const char* records =
      "velocita,  0,  100\n"
      "segnale,  2000,  1,  3,  0,  0,  0,  1,  0,  0,  0,  0\n"
      "sabbia,  7\n";
  // The kilometric range would fail the closing check, which does not run.
  std::string line = line_with_range(1225, 50000);
  line.insert(line.find("[fine]"), "pendenza,  7901,  1\n");
  auto r = test_support::build_package_from(line, test_support::train_document(records));
  EXPECT_EQ(r->code(), 15);
  EXPECT_EQ(r->position(), 2000);
  EXPECT_EQ(r->cell(41).kind, model::kind_signal);  // the signal itself is laid
  EXPECT_EQ(r->sc.table[86].w24, 1);
  EXPECT_EQ(r->cell(10).b13, 0);  // no tail
  EXPECT_EQ(r->disk.files.count(test_support::test_train_path), 0u);

  // A restriction record fires the same test; other records do not.
  auto restriction = test_support::build_package_from(
      test_support::line_description(route, "pendenza,  7901,  1\n"),
      test_support::train_document("velocita,  0,  100\n"
                                   "abbattimento,  1000,  80\n"
                                   "rallentamento,  2000,  60,  500,  0,  0,  0\n"
                                   "sabbia,  7\n"));
  EXPECT_EQ(restriction->code(), 15);
  EXPECT_EQ(restriction->position(), 2000);
  EXPECT_EQ(restriction->cell(20).kind, model::kind_approach_marker);
  EXPECT_EQ(restriction->sc.table[86].w24, 1);
  EXPECT_EQ(restriction->cell(10).b13, 0);

  // Without a signal or restriction the reading goes to its end.
  auto none = test_support::build_package_from(
      test_support::line_description(route, "pendenza,  7901,  1\n"),
      test_support::train_document("velocita,  0,  100\nsabbia,  7\n"));
  EXPECT_EQ(none->code(), 15);
  EXPECT_EQ(none->position(), 7901);
  EXPECT_EQ(none->sc.table[86].w24, 7);
  EXPECT_EQ(none->cell(10).b13, 20);
}

}  // namespace

}  // namespace compiler
