// The compiled records and their byte layouts.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "model/line_plan.h"
#include "model/package_format.h"
#include "model/rounding.h"
#include "model/scenario.h"
#include "model/scenario_table.h"
#include "model/track_grid.h"
#include "runtime/output_file.h"
#include "test_support/memory_disk.h"

namespace model {

namespace {

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
  struct {
    double x, rounded;
  } cases[] = {{0.5, 0},   {1.5, 2},  {2.5, 2},     {3.5, 4},     {-0.5, 0},    {-1.5, -2},
               {-2.5, -2}, {1.98, 2}, {140.1, 140}, {140.5, 140}, {141.5, 142}, {2.4999, 2}};
  for (const auto& c : cases) EXPECT_EQ(round_half_even(c.x), c.rounded) << c.x;

  int16_t w;
  EXPECT_TRUE(round_to_i16(32767.4, &w));
  EXPECT_EQ(w, 32767);
  EXPECT_FALSE(round_to_i16(32767.5, &w));
  uint8_t b;
  EXPECT_TRUE(round_to_u8(255.4, &b));
  EXPECT_FALSE(round_to_u8(255.6, &b));
  EXPECT_FALSE(round_to_u8(-0.6, &b));
  EXPECT_TRUE(round_to_u8(-0.5, &b));  // rounds to 0
}

TEST(Cells, PointAndStretchCells) {
  struct {
    int32_t metre, point, stretch;
  } cases[] = {{0, 1, 0},   {49, 2, 1},     {25, 2, 0},       {75, 2, 2},
               {125, 4, 2}, {1000, 21, 20}, {10025, 202, 200}};
  for (const auto& c : cases) {
    EXPECT_EQ(point_cell(c.metre), c.point) << c.metre;
    EXPECT_EQ(stretch_cell(c.metre), c.stretch) << c.metre;
  }
  EXPECT_EQ(last_cell_index(1000), 160);
  EXPECT_EQ(last_cell_index(5), 140);
  EXPECT_EQ(last_cell_index(25), 140);  // 140.5 rounds to the even 140
  EXPECT_EQ(last_cell_index(60000), 1340);
  EXPECT_EQ(last_cell_index(1000000), 20140);
}

TEST(Cells, FreeCellsHoldNothingOrAMountainMarker) {
  track_cell c;
  for (int kind = 0; kind < 16; ++kind) {
    c.kind = static_cast<uint8_t>(kind);
    EXPECT_EQ(is_free_cell(c), kind == 0 || kind == 11) << kind;
  }
}

std::string bytes_of(void (*put)(runtime::output_file&)) {
  test_support::memory_disk d;
  runtime::output_file out(d, "/f");
  EXPECT_TRUE(out.open());
  put(out);
  EXPECT_TRUE(out.finish());
  return d.files["/f"];
}

TEST(Layouts, ACellIsFifteenBytes) {
  std::string bytes = bytes_of([](runtime::output_file& out) {
    track_cell c;
    c.kind = 3;
    c.w2 = 60;
    c.w6 = 2;
    c.b13 = 24;
    c.b14 = 100;
    c.b15 = 7;
    put_track_cell(out, c);
  });
  EXPECT_EQ(bytes, std::string("\x03\x3C\x00\x00\x00\x02\x00\x00\x00\x00\x00\x00\x18\x64\x07", 15));

  // Every slot at its own offset.
  bytes = bytes_of([](runtime::output_file& out) {
    track_cell c{1, 0x0302, 0x0504, 0x0706, 0x0908, 10, 11, 12, 13, 14, 15};
    put_track_cell(out, c);
  });
  EXPECT_EQ(bytes, std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x09\x0A\x0B\x0C\x0D\x0E\x0F", 15));
}

TEST(Layouts, AnEntryIs34BytesAndItsText) {
  std::string bytes = bytes_of([](runtime::output_file& out) {
    scenario_entry e;
    e.b0 = 12;
    e.l4 = -1;
    e.l8 = 0x01020304;
    e.l12 = 10000;
    e.b16 = 1;
    e.text = "Ab\xE8";
    e.w24 = 1;
    e.w32 = -2;
    e.b37 = 9;
    e.l40 = 35100;
    put_scenario_entry(out, e);
  });
  ASSERT_EQ(bytes.size(), 37u);
  EXPECT_EQ(bytes.substr(0, 14),
            std::string("\x0C\xFF\xFF\xFF\xFF\x04\x03\x02\x01\x10\x27\x00\x00\x01", 14));
  EXPECT_EQ(bytes.substr(14, 5), std::string("\x03\x00"
                                             "Ab\xE8",
                                             5));
  EXPECT_EQ(bytes.substr(19, 10), std::string("\x01\x00\x00\x00\x00\x00\x00\x00\xFE\xFF", 10));
  EXPECT_EQ(bytes.substr(29, 4), std::string("\x00\x00\x00\x09", 4));
  EXPECT_EQ(bytes.substr(33, 4), std::string("\x1C\x89\x00\x00", 4));

  bytes = bytes_of([](runtime::output_file& out) { put_scenario_entry(out, scenario_entry{}); });
  EXPECT_EQ(bytes, std::string(34, '\0'));
}

TEST(Layouts, ThePlanIsTaggedElementsRowAfterRow) {
  line_plan plan;
  create_line_plan(plan, 4);  // metres 0..4
  EXPECT_EQ(plan_row_bytes(plan), 10);
  start_line_plan(plan);
  extend_line_plan(plan, 2, 0);  // metre 2 straight on: (0, 2)
  EXPECT_EQ(plan_tag(plan, 1), plan_tag_integer);
  EXPECT_EQ(plan_tag(plan, 2), plan_tag_double);
  EXPECT_EQ(plan_tag(plan, 3), plan_tag_empty);
  test_support::memory_disk d;
  runtime::output_file out(d, "/f");
  ASSERT_TRUE(out.open());
  put_line_plan(out, plan);
  ASSERT_TRUE(out.finish());
  const std::string row0 = std::string(
                               "\x02\x00\x00\x00"
                               "\x02\x00\x00\x00",
                               8) +
                           std::string("\x05\x00", 2) + std::string(8, '\0') +
                           std::string("\x00\x00\x00\x00", 4);
  const std::string row1 = std::string(
                               "\x02\x00\x00\x00"
                               "\x02\x00\x01\x00",
                               8) +
                           std::string("\x05\x00\x00\x00\x00\x00\x00\x00\x00\x40", 10) +
                           std::string("\x00\x00\x00\x00", 4);
  EXPECT_EQ(d.files["/f"], row0 + row1);
  EXPECT_EQ(plan_row_bytes(plan), 22);
  // A double 1.0 is written as 05 00 00 00 00 00 00 00 F0 3F.
  test_support::memory_disk one;
  runtime::output_file o(one, "/g");
  ASSERT_TRUE(o.open());
  o.put_i16(plan_tag_double);
  o.put_f64(1.0);
  ASSERT_TRUE(o.finish());
  EXPECT_EQ(one.files["/g"], std::string("\x05\x00\x00\x00\x00\x00\x00\x00\xF0\x3F", 10));
}

TEST(LinePlan, WalkingTheBendsGivesThePointsStepByStep) {
  line_plan plan;
  create_line_plan(plan, 100);
  start_line_plan(plan);
  extend_line_plan(plan, 10, 0);
  extend_line_plan(plan, 20, 0.001);
  extend_line_plan(plan, 30, 0.001);  // joins the bend before
  extend_line_plan(plan, 40, -0.002);
  extend_line_plan(plan, 35, 0.5);  // before the cursor: nothing
  extend_line_plan(plan, 98, 0);
  EXPECT_EQ(plan.computed, 99);
  ASSERT_EQ(plan.bends.size(), 2u);
  EXPECT_EQ(plan.bends[0].first, 11);
  EXPECT_EQ(plan.bends[0].last, 30);

  // The same points computed one by one, in the same order of operations.
  std::vector<double> x = {0, 0}, y = {0, 1};
  for (int m = 2; m <= 98; ++m) {
    double k = m >= 11 && m <= 30 ? 0.001 : m >= 31 && m <= 40 ? -0.002 : 0;
    double d0 = x[m - 1] - x[m - 2], d1 = y[m - 1] - y[m - 2];
    x.push_back(k == 0 ? x[m - 1] + d0 : x[m - 1] + (d0 + k * d1));
    y.push_back(k == 0 ? y[m - 1] + d1 : y[m - 1] + (d1 - k * d0));
  }
  std::vector<double> row0, row1;
  line_plan_rows(plan, &row0, &row1);
  EXPECT_EQ(row0, x);
  EXPECT_EQ(row1, y);
}

// Plans of random bends, gentle and sharp, and straight runs that cross
// powers of two and zero on the way: every point the walk gives is the step
// rule's, one metre after the other, to the bit (the walk takes a shortcut
// on straight runs where it can show that nothing rounds).
TEST(LinePlan, EveryPointIsTheStepRulesToTheBit) {
  std::mt19937 random(20261211);
  auto pick = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  const double curvatures[] = {1e-6, 3e-5, 4e-4, 2e-3, 1e-2, 0.3, 1.5707963267948966};
  for (int round = 0; round < 60; ++round) {
    SCOPED_TRACE(round);
    line_plan plan;
    create_line_plan(plan, 40000);
    start_line_plan(plan);
    while (plan.computed < 39000) {
      const bool straight = pick(0, 1) == 0;
      const double k = straight ? 0 : curvatures[pick(0, 6)] * (pick(0, 1) ? 1 : -1);
      // Sharp bends short, so that the step (never renormalised) stays finite.
      const int length = straight ? pick(1, 6000) : std::abs(k) > 0.05 ? pick(1, 6) : pick(1, 800);
      extend_line_plan(plan, std::min(plan.computed - 1 + length, 39000), k);
    }
    std::vector<double> x = {0, 0}, y = {0, 1};
    size_t bend = 0;
    for (int32_t m = 2; m < plan.computed; ++m) {
      while (bend < plan.bends.size() && plan.bends[bend].last < m) ++bend;
      const double k =
          bend < plan.bends.size() && plan.bends[bend].first <= m ? plan.bends[bend].k : 0;
      const double d0 = x[m - 1] - x[m - 2], d1 = y[m - 1] - y[m - 2];
      x.push_back(k == 0 ? x[m - 1] + d0 : x[m - 1] + (d0 + k * d1));
      y.push_back(k == 0 ? y[m - 1] + d1 : y[m - 1] + (d1 - k * d0));
    }
    int32_t differing = 0;
    walk_line_plan(plan, [&](int32_t m, double px, double py) {
      const size_t i = static_cast<size_t>(m);
      if (std::bit_cast<uint64_t>(px) != std::bit_cast<uint64_t>(x[i]) ||
          std::bit_cast<uint64_t>(py) != std::bit_cast<uint64_t>(y[i]))
        if (differing++ == 0) ADD_FAILURE() << "metre " << m << ": " << px << ", " << py;
    });
    EXPECT_EQ(differing, 0);
  }
}

// Where the shortcut on a straight run holds: points that are whole numbers
// below 2^53 in units of their lowest bit, up to the last that stays so.
TEST(LinePlan, AStraightRunIsTakenByItsStepOnlyWhereNothingRounds) {
  const double two53 = 9007199254740992.0;  // 2^53
  const double tiny = std::numeric_limits<double>::denorm_min();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    const char* what;
    double x2, x1;
    int32_t metres;
  } cases[] = {
      {"whole metres, far from 2^53", 1, 2, 1000},
      {"odd points two steps below 2^53", two53 - 7, two53 - 5, 2},
      {"odd points one step below 2^53", two53 - 5, two53 - 3, 1},
      {"the last odd point below 2^53: the next would round", two53 - 3, two53 - 1, 0},
      {"even points go on past 2^53", two53 - 4, two53 - 2, 1000},
      {"downwards across zero", 3.5, 2.5, 1000},
      {"tenths below 2^20", 1e6, 1e6 + 0.1, 1000},
      {"a step with bits finer than the point's last", 1 + 0x1p-52, 0x1p20, 0},
      {"points of far apart sizes", 1e-300, 1e300, 0},
      {"a point that is 0", 0, 1, 0},
      {"both points +0: the run stays on +0", 0, 0, 1000},
      {"both points -0", -0.0, -0.0, 0},
      {"a subnormal point", tiny, 2 * tiny, 0},
      {"a point that is not finite", 1, inf, 0},
  };
  for (const auto& c : cases) {
    // y runs on unchanged at whole metres, so that x alone decides.
    EXPECT_EQ(exact_straight_metres(c.x2, c.x1, 5, 5, 1000), c.metres) << c.what;
    EXPECT_EQ(exact_straight_metres(5, 5, c.x2, c.x1, 1000), c.metres) << c.what << " (as y)";
  }
}

// A plan walked in stretches of any length gives the points of one walk.
TEST(LinePlan, WalkingInStretchesGivesTheSamePoints) {
  line_plan plan;
  create_line_plan(plan, 3000);
  start_line_plan(plan);
  for (int32_t at = 100; at < 2900; at += 100) extend_line_plan(plan, at, at % 300 ? 0.0004 : 0);
  extend_line_plan(plan, 2950, 0);
  std::vector<double> row0, row1;
  line_plan_rows(plan, &row0, &row1);

  for (int32_t stretch : {1, 2, 7, 99, 100, 101, 2947, 5000}) {
    SCOPED_TRACE(stretch);
    line_plan_walker walker(plan);
    std::vector<double> x = {0, 0}, y = {0, 1};
    int32_t next = 2;
    while (walker.left() > 0) {
      const int32_t n = walker.left() < stretch ? walker.left() : stretch;
      walker.walk(n, [&](int32_t m, double px, double py) {
        EXPECT_EQ(m, next++);
        x.push_back(px);
        y.push_back(py);
      });
    }
    EXPECT_EQ(x, row0);
    EXPECT_EQ(y, row1);
  }
}

// A plan longer than the writer's stretches: written while it is computed,
// it holds the bytes of the points one by one, and a disk that fails or dies
// part-way ends the writing cleanly.
struct long_plan {
  line_plan plan;
  std::string bytes;  // the file, element after element, from the points

  long_plan() {
    create_line_plan(plan, 607000);
    start_line_plan(plan);
    for (int32_t at = 500; at < 600000; at += 1700) extend_line_plan(plan, at, at % 3 ? 1e-4 : 0);
    extend_line_plan(plan, 605000, 0);
    std::vector<double> row0, row1;
    line_plan_rows(plan, &row0, &row1);
    for (const std::vector<double>* row : {&row0, &row1}) {
      for (int32_t m = 0; m <= plan.last_metre; ++m) {
        char element[10];
        int16_t tag = plan_tag(plan, m);
        runtime::encode_le(element, static_cast<uint16_t>(tag));
        size_t size = 2;
        if (tag == plan_tag_integer) {
          runtime::encode_le(element + 2, static_cast<uint16_t>((*row)[static_cast<size_t>(m)]));
          size = 4;
        } else if (tag == plan_tag_double) {
          runtime::encode_le(element + 2, std::bit_cast<uint64_t>((*row)[static_cast<size_t>(m)]));
          size = 10;
        }
        bytes.append(element, size);
      }
    }
  }
};

TEST(Layouts, ALongPlanIsWrittenWhileItIsComputed) {
  long_plan p;
  ASSERT_EQ(static_cast<int64_t>(p.bytes.size()), 2 * plan_row_bytes(p.plan));
  ASSERT_GT(p.bytes.size(), size_t{10} << 20);  // many stretches of the writer
  test_support::memory_disk d;
  runtime::output_file out(d, "/plan");
  ASSERT_TRUE(out.open());
  put_line_plan(out, p.plan);
  ASSERT_TRUE(out.finish()) << out.error();
  EXPECT_TRUE(d.files["/plan"] == p.bytes);

  // A full disk part-way: the first failure is kept and the writing ends.
  for (size_t room : {size_t{0}, size_t{100}, p.bytes.size() / 3, p.bytes.size() - 1}) {
    test_support::memory_disk full;
    full.space_left = room;
    runtime::output_file o(full, "/plan");
    ASSERT_TRUE(o.open());
    put_line_plan(o, p.plan);
    EXPECT_FALSE(o.finish()) << room;
    EXPECT_EQ(o.error(), "No space left on device") << room;
    EXPECT_EQ(full.open_files(), 0u);
  }

  // A process that dies part-way (the disk throws where it would have died):
  // nothing is written after it, and the computing stops with it.
  for (int64_t changes : {1, 2, 5, 12}) {
    test_support::memory_disk dying;
    dying.changes_before_kill = changes;
    runtime::output_file o(dying, "/plan");
    ASSERT_TRUE(o.open());
    EXPECT_THROW(put_line_plan(o, p.plan), test_support::memory_disk::killed) << changes;
    EXPECT_LT(dying.files["/plan"].size(), p.bytes.size());
  }
}

TEST(Layouts, ACompletePlanRowHasItsLastTwoMetresEmpty) {
  line_plan plan;
  create_line_plan(plan, 1000 + 7000);
  start_line_plan(plan);
  plan.computed = 1000 + 6999;  // metres 2 .. L + 6998 computed
  EXPECT_EQ(2 * plan_row_bytes(plan), 159964);
}

TEST(ScenarioTable, ANewScenarioHasEveryEntryEmpty) {
  scenario sc;
  for (const scenario_entry& e : sc.table) {
    EXPECT_FALSE(entry_in_use(e));
    EXPECT_TRUE(e.text.empty());
    EXPECT_EQ(e.l40, 0);
    EXPECT_EQ(e.w28, 0);
  }
  EXPECT_FALSE(sc.has_grid());
  EXPECT_EQ(sc.last_cell(), -1);
  EXPECT_FALSE(sc.plan.exists());
}

}  // namespace

}  // namespace model
