// Every fault code the compiler records: a small pair of documents that
// reaches it, the position it records, which source documents are left on
// disk and whether the package is written.
//
// With SCENARIO_WRITE_SEEDS=DIR in the environment, each pair is also
// written to DIR as a seed for the fuzz target (line description, a NUL
// byte, train document).

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <set>
#include <string>

#include "compiler/compile.h"
#include "test_support/scenario_fixture.h"

namespace compiler {

namespace {

enum left_on_disk { none = 0, line_doc = 1, train_doc = 2, both = 3 };

struct fault_case {
  const char* name;
  std::string line;
  std::string train;
  int32_t code;
  int32_t position;
  left_on_disk left;
  bool package;
};

std::string repeat(int n, const std::function<std::string(int)>& record) {
  std::string text;
  for (int i = 0; i < n; ++i) text += record(i);
  return text;
}

std::string line9000(std::string_view records = "") {
  return test_support::line_description(9000, records);
}
std::string train(std::string_view records = "") {
  return test_support::train_document(records);
}
std::string header(std::string_view body) {
  return "[generale]\n" + std::string(body) + "[fine]\n";
}

// A restriction from 5000 m, 1000 m long, at 60 km/h: warning cell 77,
// start cell 101, end cell 121.
const std::string restriction = "rallentamento,  5000,  60,  1000,  0,  0,  0\n";
std::string signal_at(int metre) {
  return "segnale,  " + std::to_string(metre) + ",  1,  3,  0,  0,  0,  0,  0,  0,  0,  0\n";
}
std::string station(int metre, int type, int length) {
  return "stazione,  " + std::to_string(metre) + ",  " + std::to_string(type) + ",  " +
         std::to_string(length) + ",0,0,0,  0,  0,0,  0,  0,  0,0,  9,  0,  0, NAME\n";
}

std::vector<fault_case> cases() {
  const std::string text_boards_80 = repeat(80, [](int i) {
    return "cartello_indicatore,  " + std::to_string(100 * (i + 1)) + ",   (KM)\n";
  });
  return {
      {"route above 1000000 m", header("lunghezza percorso,    1000001\n"), train(), 1, 0,
       train_doc, false},
      {"range start not a multiple of 50",
       header("lunghezza percorso,    9000\nprogressiva chilometrica uno,    1225,  5000,  1\n"),
       train(), 2, 0, none, true},
      {"repetition start", header("lunghezza percorso, 9000\nripetizione segnali 4, 1025, 2000\n"),
       train(), 3, 0, train_doc, true},
      {"repetition end", header("lunghezza percorso, 9000\nripetizione segnali 4, 1000, 2010\n"),
       train(), 4, 0, train_doc, true},
      {"repetition codes", header("lunghezza percorso, 9000\nripetizione segnali, 1000, 2000\n"),
       train(), 5, 0, train_doc, true},
      {"text board on a taken cell",
       line9000("cartello_indicatore,  1000,   (A)\ncartello_indicatore,  1010,   (B)\n"), train(),
       6, 1010, train_doc, true},
      {"abbattimento on a taken cell", line9000(),
       train("abbattimento,  1000,  80\nabbattimento,  1000,  0\n"), 7, 1000, none, true},
      {"station position", line9000(), train(station(5025, 12, 200)), 8, 5025, none, true},
      {"station length", line9000(), train(station(5000, 12, 250)), 9, 5000, none, true},
      {"stations meet the boards", line9000(text_boards_80), train(station(5000, 25, 200)), 10, 0,
       none, true},
      {"no cell for the marker before a signal", line9000(),
       train(signal_at(3400) + signal_at(3450) + signal_at(3500) + restriction), 11, 3550, none,
       true},
      {"no cell for a marker before the start", line9000(),
       train(signal_at(4650) + signal_at(4700) + signal_at(4750) + restriction), 12, 5050, none,
       true},
      {"no cell for a marker inside the restriction", line9000(),
       train(signal_at(5350) + signal_at(5400) + signal_at(5450) + restriction), 13, 5450, none,
       true},
      {"beyond the grid", line9000("pendenza,  15950,  3\n"), train(), 15, 15950, none, true},
      {"signal on a taken cell", line9000(), train(signal_at(1000) + signal_at(1000)), 16, 1000,
       none, true},
      {"warning cell taken", line9000(), train(signal_at(3800) + restriction), 17, 5000, none,
       true},
      {"start cell taken", line9000(), train(signal_at(5000) + restriction), 18, 5000, none, true},
      {"end cell taken", line9000(), train(signal_at(6000) + restriction), 19, 5000, none, true},
      {"countdown cell taken", line9000(),
       train(signal_at(3700) + "rallentamento,  5000,  60,  1000,  0,  1,  0\n"), 20, 5000, none,
       true},
      {"speed board on a taken cell",
       line9000("indicatori_vmax,  1000,  60,  0,  0,  0,  0,  0,  0,  0\n"
                "indicatori_vmax,  1000,  80,  0,  0,  0,  0,  0,  0,  0\n"),
       train(), 21, 1000, train_doc, true},
      {"station zones too close", line9000(),
       train(station(1000, 12, 200) + station(1500, 12, 200)), 22, 1500, none, true},
      {"station cell at cell 1", line9000(), train(station(0, 12, 200)), 24, 0, none, true},
      {"values missing at the end", line9000(), "[generale]\nsegnale,  1000\n", 25, 0, none, true},
      {"no line description", "", train(), 101, 0, train_doc, false},
      {"no general header", "[curve]\n", train(), 102, 0, train_doc, false},
      {"curve of no class", line9000("curvad7,  1000,  100\n"), train(), 103, 0, train_doc, true},
      {"no route length", header("sfondo uno,    1\n[curve]\n"), train(), 104, 0, train_doc, false},
      {"negative route length", header("lunghezza percorso,    -100\n"), train(), 105, 0, train_doc,
       false},
      {"81 mountains",
       line9000(repeat(81,
                       [](int i) {
                         return "montagna,   " + std::to_string(100 * i) + ",  " +
                                std::to_string(100 * i + 50) + ",  2\n";
                       })),
       train(), 106, 8000, train_doc, true},
      {"82 text boards",
       line9000(text_boards_80 + "cartello_indicatore,  8100,   (A)\n"
                                 "cartello_indicatore,  8200,   (B)\n"),
       train(), 107, 8200, train_doc, true},
      {"speed word beyond 16 bits",
       line9000("indicatori_vmax,  1000,  2000,  0,  0,  0,  0,  0,  0,  0\n"), train(), 108, 1000,
       train_doc, true},
      {"negative signal position", line9000(), train(signal_at(-100)), 109, -100, none, true},
      {"restriction end beyond the grid", line9000(),
       train("rallentamento,  5000,  60,  100000,  0,  0,  0\n"), 110, 5000, none, true},
  };
}

TEST(FaultTable, EveryCodeWithItsPositionDocumentsAndPackage) {
  const char* seeds = std::getenv("SCENARIO_WRITE_SEEDS");
  for (const fault_case& c : cases()) {
    auto r = test_support::build_package_from(c.line, c.train);
    if (c.code == 101) {
      auto prepared = std::make_unique<test_support::built_package>();
      prepared->disk
          .files[std::string(test_support::test_directory) + "/Borvasco_Lestrano_40817-.txt"] =
          c.train;
      r = test_support::build_package_on(std::move(prepared));
    }
    EXPECT_EQ(r->code(), c.code) << c.name;
    EXPECT_EQ(r->position(), c.position) << c.name;
    // The fault records a position of its own exactly when its code does.
    ASSERT_TRUE(r->build.compile.fault) << c.name;
    EXPECT_EQ(r->build.compile.fault->has_position,
              fault_has_position(r->build.compile.fault->code))
        << c.name;
    bool line_left = !r->file("Borvasco_Lestrano_linea.txt").empty();
    bool train_left = !r->file("Borvasco_Lestrano_40817-.txt").empty();
    EXPECT_EQ(line_left, (c.left & line_doc) != 0) << c.name;
    EXPECT_EQ(train_left, (c.left & train_doc) != 0) << c.name;
    EXPECT_EQ(!r->file("Borvasco_Lestrano_40817.dat").empty(), c.package) << c.name;
    EXPECT_EQ(!r->file("Borvasco_Lestrano_40817.sim").empty(), c.package) << c.name;
    EXPECT_EQ(!r->file("Borvasco_Lestrano_linea.dat").empty(), c.package) << c.name;
    if (seeds) {
      std::string name = c.name;
      for (char& ch : name)
        if (ch == ' ') ch = '_';
      std::ofstream(std::string(seeds) + "/fault_" + std::to_string(c.code) + "_" + name,
                    std::ios::binary)
          << c.line << '\0' << c.train;
    }
  }
}

}  // namespace

namespace {

// Every code of the list has a case above: a code added to the list without
// a case fails here.
TEST(FaultTable, EveryFaultCodeHasACase) {
  std::set<int32_t> covered;
  for (const fault_case& c : cases()) covered.insert(c.code);
  for (fault_code code : all_fault_codes())
    EXPECT_TRUE(covered.count(fault_number(code)))
        << "no case reaches code " << fault_number(code) << ": " << fault_meaning(code);
}

// Arithmetic that overflows 32 bits is a run-time fault (25), caught at the
// step where it happens: what earlier steps stored stays.
TEST(FaultTable, OverflowsAreRunTimeFaultsWhereTheyHappen) {
  const std::string line1000 = header("lunghezza percorso, 1000\n[curve]\n");
  // The straight run up to the curve's start is computed before its end
  // overflows.
  auto curve = test_support::build_package_from(header("lunghezza percorso, 1000\n[curve]\n"
                                                       "curvad4, 1000, 2147483647\n"),
                                                train());
  EXPECT_EQ(curve->code(), 25);
  EXPECT_EQ(curve->sc.plan.computed, 1001);

  auto long_restriction = test_support::build_package_from(
      line1000, train("rallentamento, 2000, 60, 2147483647, 0, 0, 0\n"));
  EXPECT_EQ(long_restriction->code(), 25);

  auto mountains = test_support::build_package_from(
      header("lunghezza percorso, 1000\n[curve]\nmontagna, 0, 2147483647, 2\n"
             "montagna, -2147483648, 100, 2\n"),
      train());
  EXPECT_EQ(mountains->code(), 25);
  EXPECT_EQ(mountains->cell(0).b14, 0) << "no completion after the fault";

  const std::string station_a = "stazione, 1000, 25, 200, 0,0,0, 0,0, 0, 0,0,0, 0, 0,0,0, A\n";
  auto spacing = test_support::build_package_from(
      line1000,
      train(station_a + "stazione, 300, 5, 2147483600, 0,0,0, 0,0, 0, 0,0,0, 0, 0,0,0, B\n"));
  EXPECT_EQ(spacing->code(), 25);

  // Type 7: the zone start is stored, then the zone end overflows.
  auto zone = test_support::build_package_from(
      line1000,
      train(station_a + "stazione, 2400, 7, 2147483600, 0,0,1, 0,0, 0, 0,0,0, 0, 0,0,0, B\n"));
  EXPECT_EQ(zone->code(), 25);
  EXPECT_EQ(zone->sc.table[2].l4, 2400 - 2147483600);
  EXPECT_EQ(zone->sc.table[2].b36, 1);
}

// A refused route length is stored in entry 84 like every header value
// read; the grid of the earlier route length is written.
TEST(FaultTable, ARefusedRouteLengthStaysInEntry84) {
  for (int32_t refused : {1000001, -5}) {
    auto c =
        test_support::build_package_from(header("lunghezza percorso, 1000\nlunghezza percorso, " +
                                                std::to_string(refused) + "\n[curve]\n"),
                                         train());
    EXPECT_EQ(c->code(), refused > 0 ? 1 : 105);
    EXPECT_EQ(c->sc.table[84].l8, refused);
    EXPECT_EQ(c->sc.grid.size(), 161u);
    EXPECT_EQ(c->result.outcome, run::package_outcome::written);
  }
}

}  // namespace

namespace {

// A fault of one value is marked on that value: its line and column.
TEST(FaultPlace, AValueFaultIsMarkedOnTheValue) {
  const std::string header = "[generale]\r\nlunghezza percorso,    9000\r\n";
  const struct {
    const char* name;
    std::string line, train;
    int32_t code;
    int line_number, column;
  } cases[] = {
      {"route too long", "[generale]\r\nlunghezza percorso,  1000001\r\n[curve]\r\n", "", 1, 2, 22},
      {"negative route", "[generale]\r\nlunghezza percorso,  -5\r\n[curve]\r\n", "", 105, 2, 22},
      {"repetition start", header + "ripetizione segnali 4 codici,  1025,  2000\r\n[curve]\r\n", "",
       3, 3, 32},
      {"repetition end", header + "ripetizione segnali 4 codici,  1000,  2025\r\n[curve]\r\n", "",
       4, 3, 39},
      {"not a whole number", header + "[curve]\r\npendenza,  0,  2x\r\n[fine]\r\n", "", 25, 4, 16},
      {"beyond the grid", header + "[curve]\r\npendenza,  90000,  2\r\n[fine]\r\n", "", 15, 4, 12},
      {"station off the raster", header + "[curve]\r\n[fine]\r\n",
       "[generale]\r\nstazione,  1025, 12, 200, 0,0,0, 0,0,0, 0,0,0, 0, 9,0,0, UNO\r\n[fine]\r\n",
       8, 2, 12},
      {"station length", header + "[curve]\r\n[fine]\r\n",
       "[generale]\r\nstazione,  1000, 12, 250, 0,0,0, 0,0,0, 0,0,0, 0, 9,0,0, UNO\r\n[fine]\r\n",
       9, 2, 22},
      {"negative position", header + "[curve]\r\n[fine]\r\n",
       "[generale]\r\nsegnale,  -50, 1,2,0,0,0,0,0,0,0,0\r\n[fine]\r\n", 109, 2, 11},
      // A fault of the record's place stays on its keyword.
      {"cell taken", header + "[curve]\r\n[fine]\r\n",
       "[generale]\r\nsegnale,  3000, 1,2,0,0,0,0,0,0,0,0\r\nsegnale,  3000, "
       "1,2,0,0,0,0,0,0,0,0\r\n[fine]\r\n",
       16, 3, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string train = c.train.empty() ? "[generale]\r\n[fine]\r\n" : c.train;
    compile_input in;
    in.line_description = c.line;
    in.train_document = train;
    in.line_name = "L";
    in.train_number = "1";
    const compile_result r = compile_documents(in);
    ASSERT_TRUE(r.fault);
    EXPECT_EQ(fault_number(r.fault->code), c.code) << r.fault->detail;
    EXPECT_EQ(r.fault->line, c.line_number);
    EXPECT_EQ(r.fault->column, c.column);
  }
}

}  // namespace

}  // namespace compiler
