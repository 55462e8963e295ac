// Gradient bytes of the track grid and the line plan bent by curve records.

#include "compiler/gradients_curves.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "compiler/compile.h"
#include "model/package_format.h"
#include "test_support/scenario_fixture.h"

namespace compiler {

namespace {

const char* const plan_file = "Borvasco_Lestrano_linea.dat";

// The plan as the compiler must compute it for at most one curve record,
// written out here metre by metre: straight up to `start`, turned by k
// radians a metre up to start + length (or the plan's last metre), then
// straight on to two metres before the plan's end.
struct reference_plan {
  std::vector<double> x, y;
  int32_t computed = 2;  // metres 0 .. computed - 1 hold a value

  reference_plan(int32_t last_metre, int32_t start, int32_t length, double k)
      : x(static_cast<size_t>(last_metre) + 1), y(static_cast<size_t>(last_metre) + 1) {
    y[1] = 1;
    int32_t curve_end = start + length > last_metre ? last_metre : start + length;
    int32_t m = 2;
    for (; m <= last_metre; ++m) {
      size_t i = static_cast<size_t>(m);
      double d0 = x[i - 1] - x[i - 2];
      double d1 = y[i - 1] - y[i - 2];
      if (m > start && m <= curve_end) {
        x[i] = x[i - 1] + (d0 + k * d1);
        y[i] = y[i - 1] + (d1 - k * d0);
      } else if (m <= last_metre - 2) {
        x[i] = x[i - 1] + d0;
        y[i] = y[i - 1] + d1;
      } else {
        break;
      }
    }
    computed = m;
  }
};

int16_t i16_at(const std::string& bytes, size_t offset) {
  int16_t v;
  std::memcpy(&v, bytes.data() + offset, 2);
  return v;
}

double f64_at(const std::string& bytes, size_t offset) {
  double v;
  std::memcpy(&v, bytes.data() + offset, 8);
  return v;
}

// The plan as the package file holds it: both rows read back element by
// element. Metres 0 .. computed - 1 hold a value in both rows, every later
// metre is empty.
struct plan_points {
  int32_t computed = 0;
  std::vector<double> row0, row1;
};

plan_points read_plan_file(const test_support::built_package& c, int32_t last_metre) {
  const std::string bytes = c.file(plan_file);
  plan_points p;
  size_t at = 0;
  int32_t computed[2] = {0, 0};
  for (int row = 0; row < 2; ++row) {
    std::vector<double>& values = row == 0 ? p.row0 : p.row1;
    bool empty_seen = false;
    for (int32_t m = 0; m <= last_metre; ++m) {
      if (at + 2 > bytes.size()) {
        ADD_FAILURE() << "the plan file ends at row " << row << ", metre " << m;
        return p;
      }
      int16_t tag = i16_at(bytes, at);
      at += 2;
      if (tag == model::plan_tag_empty) {
        empty_seen = true;
        continue;
      }
      EXPECT_FALSE(empty_seen) << "a value after an empty metre, row " << row << ", metre " << m;
      EXPECT_EQ(tag, m < 2 ? model::plan_tag_integer : model::plan_tag_double)
          << "row " << row << ", metre " << m;
      if (tag == model::plan_tag_integer) {
        values.push_back(i16_at(bytes, at));
        at += 2;
      } else {
        values.push_back(f64_at(bytes, at));
        at += 8;
      }
      computed[row] = m + 1;
    }
  }
  EXPECT_EQ(at, bytes.size()) << "bytes after the second row";
  EXPECT_EQ(computed[0], computed[1]);
  p.computed = computed[0];
  return p;
}

// Every metre of the written plan equals the reference, bit for bit.
void expect_plan_equals(const plan_points& plan, const reference_plan& want) {
  ASSERT_EQ(plan.computed, want.computed);
  for (size_t m = 0; m < static_cast<size_t>(want.computed); ++m) {
    if (plan.row0[m] != want.x[m] || plan.row1[m] != want.y[m]) {
      ADD_FAILURE() << "metre " << m << ": (" << plan.row0[m] << ", " << plan.row1[m]
                    << ") instead of (" << want.x[m] << ", " << want.y[m] << ")";
      return;
    }
  }
}

void expect_same_plan(const plan_points& a, const plan_points& b) {
  ASSERT_EQ(a.computed, b.computed);
  for (size_t m = 0; m < static_cast<size_t>(a.computed); ++m) {
    if (a.row0[m] != b.row0[m] || a.row1[m] != b.row1[m]) {
      ADD_FAILURE() << "the plans differ at metre " << m;
      return;
    }
  }
}

TEST(Gradients, EachRecordClosesTheStretchOfTheOneBefore) {
  // L = 1000: N = 160, the completion runs up to cell N - 3 = 157.
  struct {
    const char* name;
    const char* records;
    std::vector<test_support::cell_range> cells;
  } cases[] = {
      {"a first record at metre 0 writes nothing",
       "pendenza,  0,  2\npendenza,  300,  -4\n",
       {{0, 5, 102}, {6, 157, 96}, {158, 160, 0}}},
      {"cells before the first record are level",
       "pendenza,  100,  5\n",
       {{0, 1, 100}, {2, 157, 105}, {158, 160, 0}}},
      {"stretch cells round half to even (125 m is cell 2)",
       "pendenza,  0,  1\npendenza,  125,  2\n",
       {{0, 1, 101}, {2, 157, 102}}},
      {"two records in one cell: the second starts a cell later",
       "pendenza,  0,  1\npendenza,  500,  2\npendenza,  510,  3\n",
       {{0, 9, 101}, {10, 10, 102}, {11, 157, 103}}},
      {"-110 per mille keeps the low 8 bits of -10", "pendenza,  0,  -110\n", {{0, 157, 246}}},
      {"no gradient record: level up to N - 3", "", {{0, 157, 100}, {158, 160, 0}}},
      {"the completion writes the cursor's own cell at least once",
       "pendenza,  7900,  5\n",
       {{0, 157, 100}, {158, 158, 105}, {159, 160, 0}}},
      {"curve records between gradients leave the gradient cursor alone",
       "pendenza,  0,  1\ncurvad1,  0,  100\npendenza,  200,  2\n",
       {{0, 3, 101}, {4, 157, 102}}},
  };
  for (const auto& c : cases) {
    auto r = test_support::build_package_from(test_support::line_description(1000, c.records),
                                              test_support::train_document());
    EXPECT_EQ(r->code(), 0) << c.name;
    for (const auto& range : c.cells)
      for (int i = range.from; i <= range.to; ++i)
        EXPECT_EQ(r->cell(i).b14, range.value) << c.name << ", cell " << i;
  }
}

TEST(Curves, WithoutCurvesThePlanIsAStraightLine) {
  auto r = test_support::build_package_from(test_support::line_description(1000),
                                            test_support::train_document());
  ASSERT_EQ(r->code(), 0);
  ASSERT_EQ(r->sc.plan.last_metre, 8000);
  const plan_points plan = read_plan_file(*r, 8000);
  EXPECT_EQ(plan.computed, 7999);
  for (size_t m = 0; m <= 7998 && m < plan.row0.size(); ++m) {
    if (plan.row0[m] != 0 || plan.row1[m] != static_cast<double>(m)) {
      ADD_FAILURE() << "metre " << m << " is off the line";
      break;
    }
  }
  EXPECT_EQ(model::plan_tag(r->sc.plan, 0), model::plan_tag_integer);
  EXPECT_EQ(model::plan_tag(r->sc.plan, 1), model::plan_tag_integer);
  EXPECT_EQ(model::plan_tag(r->sc.plan, 2), model::plan_tag_double);
  EXPECT_EQ(model::plan_tag(r->sc.plan, 7998), model::plan_tag_double);
  EXPECT_EQ(model::plan_tag(r->sc.plan, 7999), model::plan_tag_empty);
  EXPECT_EQ(model::plan_tag(r->sc.plan, 8000), model::plan_tag_empty);
}

TEST(Curves, ThePlanFileHoldsTwoRowsWithTheLastTwoMetresEmpty) {
  auto r = test_support::build_package_from(test_support::line_description(1000),
                                            test_support::train_document());
  const std::string bytes = r->file(plan_file);
  // Each row: two 4-byte integers, 7997 10-byte doubles, two 2-byte empties.
  const size_t row = 10 * 8000 - 18;
  ASSERT_EQ(bytes.size(), 2 * row);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x02\x00\x00\x00\x02\x00\x00\x00", 8));
  EXPECT_EQ(i16_at(bytes, 8), model::plan_tag_double);  // row 0, metre 2
  EXPECT_EQ(f64_at(bytes, 10), 0.0);
  EXPECT_EQ(bytes.substr(row - 4, 4), std::string(4, '\0'));  // metres 7999 and 8000
  // Row 1: (0, 1) as integers, then metre 2 as the double 2.0.
  EXPECT_EQ(bytes.substr(row, 8), std::string("\x02\x00\x00\x00\x02\x00\x01\x00", 8));
  EXPECT_EQ(bytes.substr(row + 8, 10), std::string("\x05\x00\x00\x00\x00\x00\x00\x00\x00\x40", 10));
  EXPECT_EQ(f64_at(bytes, row + 8 + 7996 * 10 + 2), 7998.0);  // row 1, metre 7998
  EXPECT_EQ(bytes.substr(2 * row - 4, 4), std::string(4, '\0'));
}

TEST(Curves, OneCurveTurnsTheStepByItsCurvatureEveryMetre) {
  auto r = test_support::build_package_from(
      test_support::line_description(1000, "curvad4,  1000,  500\n"),
      test_support::train_document());
  ASSERT_EQ(r->code(), 0);
  const plan_points plan = read_plan_file(*r, 8000);
  expect_plan_equals(plan, reference_plan(8000, 1000, 500, 0.001));
  ASSERT_EQ(plan.computed, 7999);
  // Up to metre 1000 the line is straight; a "d" curve turns clockwise,
  // towards positive row 0 when row 1 points ahead.
  EXPECT_EQ(plan.row0[1000], 0.0);
  EXPECT_EQ(plan.row1[1000], 1000.0);
  EXPECT_GT(plan.row0[1001], 0.0);
  EXPECT_GT(plan.row0[1500], 100.0);
  // After the curve the step stays as the curve left it.
  double s0 = plan.row0[1501] - plan.row0[1500];
  EXPECT_NEAR(plan.row0[3000] - plan.row0[2999], s0, 1e-9);
  EXPECT_EQ(plan.computed, 7999);
}

TEST(Curves, TheClassAndTheSideComeFromTheKeyword) {
  // A curve from metre 0: the first computed point, metre 2, is (k, 2).
  struct {
    const char* keyword;
    double k;
  } cases[] = {
      {"curvad1", 0.0001},  {"curvad2", 0.0002},  {"curvad3", 0.0004},
      {"curvad4", 0.001},   {"curvad5", 0.002},   {"curvad6", 0.003},
      {"curvas2", -0.0002}, {"CURVAS2", -0.0002}, {"curvad21", 0.0001},  // "1" is tested first
      {"curvad9 6", 0.003},
  };
  for (const auto& c : cases) {
    std::string record = std::string(c.keyword) + ",  0,  100\n";
    auto r = test_support::build_package_from(test_support::line_description(1000, record),
                                              test_support::train_document());
    EXPECT_EQ(r->code(), 0) << c.keyword;
    const plan_points plan = read_plan_file(*r, 8000);
    ASSERT_EQ(plan.computed, 7999) << c.keyword;
    EXPECT_EQ(plan.row0[2], c.k) << c.keyword;
    EXPECT_EQ(plan.row1[2], 2.0) << c.keyword;
  }
}

TEST(Curves, ACurveFromBeforeThePlanCursorBendsOnlyFromTheCursorOn) {
  auto one = test_support::build_package_from(
      test_support::line_description(1000, "curvad4,  1000,  500\n"),
      test_support::train_document());
  const plan_points one_curve = read_plan_file(*one, 8000);
  // Ends before the cursor (1501): nothing changes.
  auto behind = test_support::build_package_from(
      test_support::line_description(1000, "curvad4,  1000,  500\ncurvas4,  1200,  100\n"),
      test_support::train_document());
  expect_same_plan(read_plan_file(*behind, 8000), one_curve);
  // Starts before the cursor and ends after it: bent from metre 1501 to 1700,
  // exactly as a curve starting at the cursor.
  auto overlapping = test_support::build_package_from(
      test_support::line_description(1000, "curvad4,  1000,  500\ncurvas4,  1400,  300\n"),
      test_support::train_document());
  auto at_cursor = test_support::build_package_from(
      test_support::line_description(1000, "curvad4,  1000,  500\ncurvas4,  1500,  200\n"),
      test_support::train_document());
  const plan_points bent = read_plan_file(*overlapping, 8000);
  expect_same_plan(bent, read_plan_file(*at_cursor, 8000));
  ASSERT_EQ(bent.computed, 7999);
  EXPECT_EQ(bent.row0[1500], one_curve.row0[1500]);
  EXPECT_LT(bent.row0[1501] - bent.row0[1500], one_curve.row0[1501] - one_curve.row0[1500]);
}

TEST(Curves, ACurvePastThePlansEndIsBentUpToItsLastMetre) {
  // L = 0: the plan ends at metre 7000; the start passes the range check.
  auto r = test_support::build_package_from(
      test_support::line_description(0, "curvad4,  6900,  500\n"), test_support::train_document());
  ASSERT_EQ(r->code(), 0);
  expect_plan_equals(read_plan_file(*r, 7000), reference_plan(7000, 6900, 500, 0.001));
  EXPECT_EQ(r->sc.plan.computed, 7001);
  EXPECT_EQ(model::plan_tag(r->sc.plan, 7000), model::plan_tag_double);
  // No empty element is left: 7001 elements a row, two of them integers.
  EXPECT_EQ(r->file(plan_file).size(), 2u * (2 * 7001 + 2 * 2 + 8 * 6999));
}

TEST(Curves, ThePlanStopsAtMetreOneMillion) {
  struct {
    const char* record;
    int32_t code;
  } cases[] = {
      {"curvad1,  999998,  1\n", 0},  // its last point is metre 999999
      {"curvad1,  999998,  2\n", 103},
      {"curvad1,  1000000,  0\n", 103},  // the straight run alone passes the limit
  };
  for (const auto& c : cases) {
    auto r = test_support::build_package_from(test_support::line_description(1000000, c.record),
                                              test_support::train_document());
    EXPECT_EQ(r->code(), c.code) << c.record;
    EXPECT_EQ(r->disk.files.count(test_support::test_line_path), 0u) << c.record;
    // After 103 the compile ends: the train document is not read.
    EXPECT_EQ(r->disk.files.count(test_support::test_train_path), c.code == 0 ? 0u : 1u)
        << c.record;
    EXPECT_EQ(r->result.outcome, run::package_outcome::written) << c.record;
    // The plan holds every metre up to 1000000; completed, up to L + 6998.
    EXPECT_EQ(r->sc.plan.computed, c.code == 0 ? 1006999 : 1000001) << c.record;
  }
}

TEST(Curves, FaultsOfCurveAndGradientRecords) {
  // L = 1000: a start passes the range check up to metre 7900.
  struct {
    const char* name;
    const char* records;
    int32_t code;
    int32_t position;
    bool train_read;  // the compile went on with the train document
  } cases[] = {
      {"gradient beyond the grid", "pendenza,  7901,  1\n", 15, 7901, true},
      {"curve beyond the grid", "curvad1,  7901,  100\n", 15, 7901, true},
      {"the range check comes before the class", "curvad7,  7901,  100\n", 15, 7901, true},
      {"no class digit", "curvad,  1000,  100\n", 103, 0, false},
      {"only the digit 7", "curvas7,  1000,  100\n", 103, 0, false},
  };
  for (const auto& c : cases) {
    auto r = test_support::build_package_from(test_support::line_description(1000, c.records),
                                              test_support::train_document());
    EXPECT_EQ(r->code(), c.code) << c.name;
    EXPECT_EQ(r->position(), c.position) << c.name;
    EXPECT_EQ(r->disk.files.count(test_support::test_line_path), 0u) << c.name;
    EXPECT_EQ(r->disk.files.count(test_support::test_train_path), c.train_read ? 0u : 1u) << c.name;
    EXPECT_EQ(r->sc.table[84].l4, c.train_read ? 120 : 0) << c.name;
    // After 15 the completion still runs; after 103 it does not.
    EXPECT_EQ(r->cell(0).b14, c.train_read ? 100 : 0) << c.name;
    EXPECT_EQ(r->sc.plan.computed, c.train_read ? 7999 : 2) << c.name;
  }
}

TEST(Gradients, AFailedRangeCheckEndsTheReadingButTheCompletionRuns) {
  auto r = test_support::build_package_from(
      test_support::line_description(
          1000, "pendenza,  0,  3\npendenza,  7901,  1\nmontagna,  1000,  1100,  2\n"),
      test_support::train_document());
  EXPECT_EQ(r->code(), 15);
  EXPECT_EQ(r->position(), 7901);
  for (int i = 0; i <= 157; ++i) EXPECT_EQ(r->cell(i).b14, 103) << i;
  EXPECT_EQ(r->cell(20).b12, 0);  // the mountain after it is never read
}

TEST(Curves, WithoutThePlanFlagCurveRecordsAreNotRead) {
  // Its numbers are then fields that match no record, so even a curve with
  // no class is no fault.
  auto r = test_support::build_package_from(
      test_support::line_description(1000, "curvad7,  1000,  100\npendenza,  0,  4\n"),
      test_support::train_document(), 0);
  EXPECT_EQ(r->code(), 0);
  EXPECT_FALSE(r->sc.plan.exists());
  EXPECT_EQ(r->cell(10).b14, 104);
  EXPECT_EQ(r->file(plan_file), "");
}

// The plan is final once the line description is read, so the compile hands
// it on then, for a caller that writes it while the train document is read:
// the plan the scenario ends with, and only when the line description was
// read whole with a plan.
TEST(Curves, ThePlanIsHandedOnOnceTheLineDescriptionIsReadWhole) {
  const std::string bent = test_support::line_description(9000, "curvad2,  1500,  300\n");
  const std::string train = test_support::train_document();
  const std::string clashing = test_support::train_document(
      "segnale,  3000, 1,2,0,0,0,0,0,0,0,0\nsegnale,  3000, 1,2,0,0,0,0,0,0,0,0\n");
  const struct {
    const char* what;
    std::string line, train;
    bool with_plan, handed_on, fault;
  } cases[] = {
      {"clean documents", bent, train, true, true, false},
      {"a fault in the train document", bent, clashing, true, true, true},
      {"a fault in the line description",
       test_support::line_description(9000, "curvad7,  1000,  100\n"), train, true, false, true},
      {"no plan asked for", bent, train, false, false, false},
  };
  for (const auto& c : cases) {
    compile_input input;
    input.line_description = c.line;
    input.train_document = c.train;
    input.line_name = "Borvasco_Lestrano";
    input.train_number = "40817";
    input.with_plan = c.with_plan;
    int calls = 0;
    model::line_plan handed;
    input.line_plan_done = [&](const model::line_plan& plan) {
      ++calls;
      handed = plan;
    };
    const compile_result r = compile_documents(input);
    EXPECT_EQ(r.fault.has_value(), c.fault) << c.what;
    ASSERT_EQ(calls, c.handed_on ? 1 : 0) << c.what;
    if (!c.handed_on) continue;
    const model::line_plan& plan = r.compiled.plan;
    EXPECT_EQ(handed.last_metre, plan.last_metre) << c.what;
    EXPECT_EQ(handed.computed, plan.computed) << c.what;
    EXPECT_EQ(handed.computed, plan.last_metre - 1) << c.what << ": the plan is not complete";
    ASSERT_EQ(handed.bends.size(), plan.bends.size()) << c.what;
    ASSERT_EQ(handed.bends.size(), 1u) << c.what;
    EXPECT_EQ(handed.bends[0].first, plan.bends[0].first) << c.what;
    EXPECT_EQ(handed.bends[0].last, plan.bends[0].last) << c.what;
    EXPECT_EQ(handed.bends[0].k, plan.bends[0].k) << c.what;
  }
}

}  // namespace

}  // namespace compiler
