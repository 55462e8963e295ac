// The line description's general header, its faults and the ordering of the
// kilometric ranges.

#include "compiler/line_reader.h"

#include <gtest/gtest.h>

#include "compiler/kilometric_ranges.h"
#include "test_support/scenario_fixture.h"

namespace compiler {

namespace {

std::string header(std::string_view body) {
  return "[generale]\n" + std::string(body) + "[fine]\n";
}

TEST(LineHeader, SizesTheGridAndThePlanFromTheRouteLength) {
  auto c = test_support::build_package_from(test_support::line_description(60000),
                                            test_support::train_document());
  EXPECT_EQ(c->code(), 0);
  EXPECT_EQ(c->sc.table[84].l8, 60000);
  EXPECT_EQ(c->sc.last_cell(), 1340);
  EXPECT_EQ(c->sc.grid.size(), 1341u);
  EXPECT_EQ(c->sc.plan.last_metre, 67000);
  EXPECT_EQ(c->file("Borvasco_Lestrano_40817.dat").size(), 15u * 1341);
  EXPECT_EQ(c->file("Borvasco_Lestrano_linea.dat").size(), 20u * 67000 - 36);
  // Both documents are gone once read.
  EXPECT_EQ(c->disk.files.count(test_support::test_line_path), 0u);
  EXPECT_EQ(c->disk.files.count(test_support::test_train_path), 0u);
}

TEST(LineHeader, StoresRangesBackgroundsAndSignalRepetition) {
  auto c = test_support::build_package_from(
      header("lunghezza percorso,    20000\n"
             "progressiva chilometrica uno,    0,    50000,    1\n"
             "progressiva chilometrica due,    42000,    61000,    1\n"
             "progressiva chilometrica tre,    0,    0,    0\n"
             "sfondo uno,    1\n"
             "sfondo due,    2\n"
             "sfondo tre,    3\n"
             "ripetizione segnali 9 codici,    1000,    2000\n"
             "[curve]\n"),
      test_support::train_document());
  const model::scenario_table& t = c->sc.table;
  EXPECT_EQ(c->code(), 0);
  EXPECT_EQ(t[81].l4, 42000);
  EXPECT_EQ(t[81].l8, 61100);
  EXPECT_EQ(t[81].l12, 1);
  EXPECT_EQ(t[82].l4, 0);
  EXPECT_EQ(t[82].l8, 50100);
  EXPECT_EQ(t[83].l8, 0);
  // "uno" in l4, "tre" in l8, "due" in l12.
  EXPECT_EQ(t[85].l4, 1);
  EXPECT_EQ(t[85].l8, 3);
  EXPECT_EQ(t[85].l12, 2);
  EXPECT_EQ(t[86].l4, 1000);
  EXPECT_EQ(t[86].l8, 2000);
  EXPECT_EQ(t[86].l12, 9);
  EXPECT_EQ(t[85].text, "Borvasco_Lestrano");
  EXPECT_EQ(t[86].text, "40817");
}

TEST(LineHeader, FaultsAndTheirEffects) {
  struct {
    const char* name;
    std::string line;
    int32_t code;
    bool grid;            // the package is written
    bool train_doc_kept;  // the train document is still on disk
  } cases[] = {
      {"route too long", header("lunghezza percorso,    1000001\n[curve]\n"), 1, false, true},
      {"longest route", header("lunghezza percorso,    1000000\n[curve]\n"), 0, true, false},
      {"negative route", header("lunghezza percorso,    -50\n[curve]\n"), 105, false, true},
      {"no route length", header("sfondo uno,    1\n[curve]\n"), 104, false, true},
      {"repetition start",
       header("lunghezza percorso,    9000\n"
              "ripetizione segnali 4 codici,    1025,    2000\n"),
       3, true, true},
      {"repetition end",
       header("lunghezza percorso,    9000\n"
              "ripetizione segnali 4 codici,    1000,    2025\n"),
       4, true, true},
      {"repetition codes",
       header("lunghezza percorso,    9000\n"
              "ripetizione segnali codici,    1000,    2000\n"),
       5, true, true},
      {"no header", "[curve]\n[generale]\n", 102, false, true},
      {"header in the last field", "x\n[generale]", 102, false, true},
      {"empty document", "", 25, false, false},
      {"values missing", "[generale]\nripetizione segnali 4 codici,    50\n", 25, false, false},
      {"value too wide", header("lunghezza percorso,    99999999999\n"), 25, false, false},
  };
  for (const auto& c : cases) {
    auto r = test_support::build_package_from(c.line, test_support::train_document());
    EXPECT_EQ(r->code(), c.code) << c.name;
    EXPECT_EQ(r->sc.has_grid(), c.grid) << c.name;
    EXPECT_EQ(r->result.outcome == run::package_outcome::written, c.grid) << c.name;
    EXPECT_EQ(r->disk.files.count(test_support::test_line_path), 0u) << c.name;
    EXPECT_EQ(r->disk.files.count(test_support::test_train_path), c.train_doc_kept ? 1u : 0u)
        << c.name;
  }
}

TEST(LineHeader, MissingDocumentIsFault101AndDeletesNothing) {
  auto prepared = std::make_unique<test_support::built_package>();
  prepared->disk.files[test_support::test_train_path] = test_support::train_document();
  auto r = test_support::build_package_on(std::move(prepared));
  EXPECT_EQ(r->code(), 101);
  EXPECT_EQ(r->result.outcome, run::package_outcome::no_grid);
  EXPECT_EQ(r->disk.files.size(), 1u);
}

TEST(LineHeader, KeywordMatching) {
  struct {
    const char* name;
    const char* body;
    int32_t route;  // entry 84 l8
    int32_t codes;  // entry 86 l12
  } cases[] = {
      {"upper case length", "LUNGHEZZA PERCORSO,    9000\n", 9000, 0},
      {"capital P is no range",
       "lunghezza percorso,    9000\n"
       "Progressiva chilometrica uno,    5,    5,    1\n",
       9000, 0},
      {"dashes are skipped", "---\nlunghezza percorso,    9000\n", 9000, 0},
      {"ten dash fields skipped", "-,-,-,-,-,-,-,-,-,-\nlunghezza percorso,    9000\n", 9000, 0},
      {"the header ends at the second section header",
       "lunghezza percorso,    9000\n[x]\nripetizione segnali 4 codici,    50,    100\n", 9000, 0},
      {"a header field beginning with a dash does not end it",
       "lunghezza percorso,    9000\n-,-,-,-,-,-,-,-,-,-,- [x]\n"
       "ripetizione segnali 4 codici,    50,    100\n",
       9000, 4},
      {"repetition end 0 gives no codes",
       "lunghezza percorso,    9000\nripetizione segnali 4 codici,    1000,    0\n", 9000, 0},
  };
  for (const auto& c : cases) {
    auto r = test_support::build_package_from(header(c.body), test_support::train_document());
    EXPECT_EQ(r->code(), 0) << c.name;
    EXPECT_EQ(r->sc.table[84].l8, c.route) << c.name;
    EXPECT_EQ(r->sc.table[86].l12, c.codes) << c.name;
    EXPECT_EQ(r->sc.table[83].l4, 0) << c.name;
  }
  // Ten fields with a dash in a row are passed over; an eleventh is examined
  // (here it ends the header before the route length is read).
  auto skipped = test_support::build_package_from(
      header("-,-,-,-,-,-,-,-,-,x-[y]\nlunghezza percorso,    9000\n"),
      test_support::train_document());
  EXPECT_EQ(skipped->code(), 0);
  auto examined = test_support::build_package_from(
      header("-,-,-,-,-,-,-,-,-,-,x-[y]\nlunghezza percorso,    9000\n"),
      test_support::train_document());
  EXPECT_EQ(examined->code(), 104);
}

TEST(LineHeader, ARecordInTheLastFieldIsNeverProcessed) {
  // Processed, the gradient record would read past the end of the document.
  auto r = test_support::build_package_from(
      "[generale]\nlunghezza percorso,    9000\n[curve]\npendenza", test_support::train_document());
  EXPECT_EQ(r->code(), 0);
  r = test_support::build_package_from("[generale]\n[x]\nlunghezza percorso,    9000",
                                       test_support::train_document());
  EXPECT_EQ(r->code(), 104);
}

TEST(ProgressiveOrdina, PutsTheRangesInRouteOrder) {
  struct range {
    int32_t start, reference, flag;
  };
  struct {
    range uno, due, tre;
    range e81, e82, e83;
  } cases[] = {
      // The greatest start first; "uno" before "due" before "tre" on a tie.
      {{0, 50000, 1}, {42000, 61000, 1}, {0, 0, 0}, {42000, 61100, 1}, {0, 50100, 1}, {0, 0, 0}},
      {{100, 1, 1}, {300, 2, 1}, {200, 3, 1}, {300, 102, 1}, {200, 103, 1}, {100, 101, 1}},
      {{0, 7, 0}, {0, 8, 0}, {500, 9, 0}, {500, 9, 0}, {0, 7, 0}, {0, 8, 0}},
      // No strictly greatest start: everything is cleared.
      {{5000, 1, 1}, {5000, 2, 1}, {0, 3, 1}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
      // Starts adding up to 0: by the first positive reference.
      {{0, 30000, 1}, {0, 0, 0}, {0, 0, 0}, {0, 30100, 1}, {0, 0, 0}, {0, 0, 0}},
      {{0, 0, 0}, {0, 5, 1}, {0, 6, 1}, {0, 105, 1}, {0, 106, 1}, {0, 0, 0}},
      {{0, 0, 1}, {0, -5, 1}, {0, 6, 0}, {0, 6, 0}, {0, 95, 1}, {0, 100, 1}},
      {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
  };
  for (const auto& c : cases) {
    model::scenario_table table;
    auto set = [&](int e, range r) {
      table[e].l4 = r.start;
      table[e].l8 = r.reference;
      table[e].l12 = r.flag;
    };
    set(83, c.uno);
    set(82, c.due);
    set(81, c.tre);
    ASSERT_TRUE(sort_kilometric_ranges(table));
    auto expect = [&](int e, range r) {
      EXPECT_EQ(table[e].l4, r.start) << e;
      EXPECT_EQ(table[e].l8, r.reference) << e;
      EXPECT_EQ(table[e].l12, r.flag) << e;
    };
    expect(81, c.e81);
    expect(82, c.e82);
    expect(83, c.e83);
  }
}

}  // namespace

}  // namespace compiler
