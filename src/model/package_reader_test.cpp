// Reading a package back: a round trip against the run that wrote it, and
// files cut short or full of garbage, which must give a clear error and never
// a read outside the bytes.

#include "model/package_reader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <sstream>
#include <tuple>

#include "documents/writers.h"
#include "model/file_names.h"
#include "run/exit_status.h"
#include "run/generator.h"
#include "test_support/scenario_fixture.h"

namespace model {

namespace {

constexpr const char* plan_name = "Borvasco_Lestrano_linea.dat";
constexpr const char* table_name = "Borvasco_Lestrano_40817.sim";
constexpr const char* grid_name = "Borvasco_Lestrano_40817.dat";

// A small scenario that uses every record the compiler knows.
std::unique_ptr<test_support::built_package> rich_scenario() {
  const std::string line =
      "pendenza,  0,  3\n"
      "pendenza,  2000,  -6\n"
      "curvad4,  1000,  500\n"
      "curvas2,  3000,  800\n"
      "montagna,  2500,  3100,  12\n"
      "indicatori_vmax,  1500,  60,  70,  75,  1,  30,  30,  30,  1\n"
      "cartello_indicatore,  2600,   (1\xB0 VIADOTTO)(ARSINO)\n";
  const std::string train =
      "velocita,  0,  60\n"
      "velocita,  3000,  90\n"
      "aderenza,  0,  8\n"
      "stazione,  500, 12,  400,  1, 0, 0,  3,1,0,  2,0,1,   30,   9, 5, 0, BORVASCO\n"
      "segnale,  1850,  2, 4, 1, 0, 0, 1, 2, 0, 0, 125\n"
      "rallentamento,  5000, 60, 1000, 2, 1, 5\n"
      "abbattimento,  7000,  80\n"
      "abbattimento,  7500,  0\n"
      "stazione,  8000,  6,  400,  1, 0, 0,  4,1,0,  3,1,0,    1,  10,48, 0, LESTRANO\n";
  return test_support::build_package_from(test_support::line_description(9000, line),
                                          test_support::train_document(train));
}

bool read_from(test_support::memory_disk& d, package* p, package_error* error) {
  return read_package(d, test_support::test_directory, test_support::test_identity(), p, error);
}

bool same_bits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every decoded value agrees with the run's own records.
void expect_same_as_run(const package& p, const scenario& st) {
  ASSERT_EQ(p.grid.size(), st.grid.size());
  for (size_t i = 0; i < st.grid.size(); ++i) ASSERT_TRUE(p.grid[i] == st.grid[i]) << "cell " << i;
  for (size_t i = 0; i < st.table.size(); ++i)
    ASSERT_TRUE(p.table[i] == st.table[i]) << "entry " << i;

  std::vector<double> row0, row1;
  line_plan_rows(st.plan, &row0, &row1);
  ASSERT_EQ(p.plan.row0.size(), static_cast<size_t>(st.plan.last_metre) + 1);
  ASSERT_EQ(p.plan.row1.size(), p.plan.row0.size());
  for (int32_t m = 0; m <= st.plan.last_metre; ++m) {
    const size_t i = static_cast<size_t>(m);
    ASSERT_EQ(p.plan.row0[i].tag, plan_tag(st.plan, m)) << m;
    ASSERT_EQ(p.plan.row1[i].tag, plan_tag(st.plan, m)) << m;
    if (m < st.plan.computed) {
      ASSERT_TRUE(same_bits(p.plan.row0[i].value, row0[i])) << m;
      ASSERT_TRUE(same_bits(p.plan.row1[i].value, row1[i])) << m;
    }
  }
}

TEST(PackageReader, ReadsBackWhatACompileWrote) {
  auto c = rich_scenario();
  ASSERT_EQ(c->code(), 0);
  ASSERT_EQ(c->result.outcome, run::package_outcome::written);
  package p;
  package_error error;
  ASSERT_TRUE(read_from(c->disk, &p, &error)) << error.message;
  expect_same_as_run(p, c->sc);
  EXPECT_EQ(p.plan_file, plan_name);
  EXPECT_EQ(p.table_bytes, c->file(table_name).size());
  EXPECT_EQ(p.table[80].text, "(1\xB0 VIADOTTO)(ARSINO)");
}

TEST(PackageReader, ReadsBackTheBuiltInScenario) {
  test_support::memory_disk d;
  std::ostringstream out, err;
  ASSERT_EQ(run::run_generator(d, test_support::test_directory, out, err), run::exit_clean)
      << err.str();
  package p;
  package_error error;
  ASSERT_TRUE(read_from(d, &p, &error)) << error.message;
  // The same documents compiled on their own.
  auto same = std::make_unique<test_support::built_package>();
  runtime::io_failure failure;
  ASSERT_TRUE(documents::write_builtin_documents(same->disk, test_support::test_directory,
                                                 test_support::test_identity(), &failure));
  same = test_support::build_package_on(std::move(same));
  expect_same_as_run(p, same->sc);
  EXPECT_EQ(p.grid.size(), 1931u);
  EXPECT_EQ(p.table[entry_route].l8, 89500);
}

// The error of a file, given the bytes of the other two as written.
std::string error_of(const test_support::built_package& c, const std::string& name,
                     const std::string& bytes) {
  test_support::memory_disk d;
  d.files = c.disk.files;
  d.files[path_in(test_support::test_directory, name)] = bytes;
  package p;
  package_error error;
  if (read_from(d, &p, &error)) return "<read>";
  EXPECT_EQ(error.problem, package_problem::damaged) << error.message;
  return error.message;
}

TEST(PackageReader, DamagedFilesAreNamedWithTheByteAndWhatWasExpected) {
  auto c = rich_scenario();
  const std::string sim = c->file(table_name), dat = c->file(grid_name), plan = c->file(plan_name);
  // Where each entry starts in the .sim file. Entry 80 holds the board text
  // of 21 characters.
  std::vector<size_t> start(1, 0);
  for (const scenario_entry& e : c->sc.table) start.push_back(start.back() + 34 + e.text.size());
  const std::string at80 = std::to_string(start[80]);
  std::string bad_kind = dat;
  bad_kind[15 * 7] = 9;
  std::string bad_station = dat;
  for (size_t i = 0; i + 15 <= dat.size(); i += 15)
    if (dat[i] == kind_station) bad_station[i + 1] = 90;
  std::string bad_tag = plan;
  bad_tag[4] = 7;
  std::string not_finite = plan;
  // Metre 2 of row 0 is the first double, after two 4-byte integers.
  for (int i = 0; i < 8; ++i) not_finite[10 + i] = static_cast<char>(0xFF);
  std::string longer_route = sim;
  longer_route[start[84] + 5] = static_cast<char>(9100 & 0xFF);  // entry 84, l8: 9000 -> 9100
  longer_route[start[84] + 6] = static_cast<char>(9100 >> 8);

  struct {
    const char* name;
    std::string bytes;
    std::string message;
  } cases[] = {
      {table_name, sim.substr(0, start[80] + 40),
       "Borvasco_Lestrano_40817.sim: entry 80 (text of 21 characters) ends at byte " +
           std::to_string(start[81]) + " but the file has " + std::to_string(start[80] + 40) +
           " bytes"},
      {table_name, sim.substr(0, start[80] + 10),
       "Borvasco_Lestrano_40817.sim: entry 80 starts at byte " + at80 +
           " but the file ends after 10 bytes of its 16-byte head"},
      {table_name, sim.substr(0, start[80]),
       "Borvasco_Lestrano_40817.sim: the file ends after entry 79, at byte " + at80 +
           "; a scenario table has 87 entries"},
      {table_name, "",
       "Borvasco_Lestrano_40817.sim: the file is empty; a scenario table has 87 entries"},
      {table_name, sim + "xy",
       "Borvasco_Lestrano_40817.sim: 2 bytes follow entry 86 at byte " +
           std::to_string(sim.size()) + "; a scenario table has 87 entries"},
      {table_name, longer_route,
       "Borvasco_Lestrano_40817.dat: the file has 321 cells but the route length of 9100 m needs "
       "323 (4845 bytes)"},
      {grid_name, dat.substr(0, dat.size() - 1),
       "Borvasco_Lestrano_40817.dat: 4814 bytes is not a whole number of 15-byte cells (320 cells "
       "and 14 bytes over)"},
      {grid_name, dat.substr(0, dat.size() - 15),
       "Borvasco_Lestrano_40817.dat: the file has 320 cells but the route length of 9000 m needs "
       "321 (4815 bytes)"},
      {grid_name, bad_kind,
       "Borvasco_Lestrano_40817.dat: cell 7 at byte 105 has kind 9, which no object uses (0-6, "
       "10-14)"},
      {plan_name, plan.substr(0, plan.size() - 1),
       "Borvasco_Lestrano_linea.dat: the element at byte 319962 is cut short: its 2-byte tag has 1 "
       "byte"},
      {plan_name, plan.substr(0, 15),
       "Borvasco_Lestrano_linea.dat: the element at byte 8 holds a double and ends at byte 18 but "
       "the file has 15 bytes"},
      {plan_name, plan.substr(0, plan.size() - 2),
       "Borvasco_Lestrano_linea.dat: the file holds 32001 elements, which cannot be two rows of "
       "equal length"},
      {plan_name, plan.substr(0, plan.size() - 4),
       "Borvasco_Lestrano_linea.dat: the file holds two rows of 16000 elements but the route "
       "length "
       "of 9000 m needs 16001 (metres 0 to 16000)"},
      {plan_name, plan + std::string(2, '\0'),
       "Borvasco_Lestrano_linea.dat: the plan's 32002 elements (two rows of metres 0 to 16000 for "
       "a route of 9000 m) end at byte 319964 but the file has 319966 bytes"},
      {plan_name, bad_tag,
       "Borvasco_Lestrano_linea.dat: the element at byte 4 has tag 7; plan elements are tagged 0 "
       "(empty), 2 (integer) or 5 (double)"},
      {plan_name, not_finite,
       "Borvasco_Lestrano_linea.dat: the element at byte 8 is a double that is not a finite "
       "number"},
  };
  for (const auto& k : cases)
    EXPECT_EQ(error_of(*c, k.name, k.bytes), k.message) << k.name << " " << k.bytes.size();

  const std::string station_message = error_of(*c, grid_name, bad_station);
  EXPECT_NE(station_message.find("is a station cell naming entry 90; stations are entries 1 to 79"),
            std::string::npos)
      << station_message;
}

// A pseudo-random byte source that gives the same garbage on every run.
std::string garbage(size_t n, uint32_t seed) {
  std::string s(n, '\0');
  for (char& c : s) {
    seed = seed * 1664525u + 1013904223u;
    c = static_cast<char>(seed >> 24);
  }
  return s;
}

// Every length of each file cut short, and garbage of many sizes: the
// decoders refuse them all and name the file. Runs under AddressSanitizer
// in CI, which catches any read outside the bytes.
TEST(PackageReader, EveryTruncationAndGarbageIsAnErrorNeverACrash) {
  auto c = test_support::build_package_from(
      test_support::line_description(0, "curvad4,  100,  300\n"),
      test_support::train_document("velocita,  0,  60\nsegnale,  1850,  2, 4, 1, 0, 0, "
                                   "1, 2, 0, 0, 125\n"));
  ASSERT_EQ(c->code(), 0);
  const std::string sim = c->file(table_name), dat = c->file(grid_name), plan = c->file(plan_name);
  const int32_t route = 0;
  std::string error;

  scenario_table table;
  for (size_t n = 0; n < sim.size(); ++n) {
    error.clear();
    ASSERT_FALSE(
        decode_scenario_table(std::string_view(sim).substr(0, n), table_name, &table, &error))
        << n;
    ASSERT_EQ(error.rfind(std::string(table_name) + ": ", 0), 0u) << error;
  }
  track_grid grid;
  for (size_t n = 0; n < dat.size(); ++n) {
    error.clear();
    ASSERT_FALSE(
        decode_track_grid(std::string_view(dat).substr(0, n), grid_name, route, &grid, &error))
        << n;
    ASSERT_EQ(error.rfind(std::string(grid_name) + ": ", 0), 0u) << error;
  }
  // The plan is 140 000 bytes: its first and last thousand lengths and
  // every 97th in between.
  plan_rows rows;
  for (size_t n = 0; n < plan.size(); n += (n < 1000 || n + 1000 > plan.size()) ? 1 : 97) {
    error.clear();
    ASSERT_FALSE(
        decode_line_plan(std::string_view(plan).substr(0, n), plan_name, route, &rows, &error))
        << n;
    ASSERT_EQ(error.rfind(std::string(plan_name) + ": ", 0), 0u) << error;
  }
  ASSERT_TRUE(decode_line_plan(plan, plan_name, route, &rows, &error)) << error;

  for (uint32_t seed = 1; seed <= 40; ++seed) {
    for (size_t n : {size_t{1}, size_t{33}, size_t{2115}, sim.size(), size_t{5000}}) {
      const std::string bytes = garbage(n, seed);
      EXPECT_FALSE(decode_scenario_table(bytes, table_name, &table, &error)) << seed << " " << n;
      EXPECT_FALSE(decode_track_grid(bytes, grid_name, route, &grid, &error)) << seed << " " << n;
      EXPECT_FALSE(decode_line_plan(bytes, plan_name, route, &rows, &error)) << seed << " " << n;
    }
  }
  // A head whose text claims more bytes than there are.
  EXPECT_FALSE(decode_scenario_table(std::string(16, '\xFF'), table_name, &table, &error));
  EXPECT_EQ(error, std::string(table_name) +
                       ": entry 0 (text of 65535 characters) ends at byte 65569 but the file has "
                       "16 bytes");
}

// A route length refused after an earlier one had sized the grid stays in
// entry 84; the files' own sizes then give the grid and the plan.
TEST(PackageReader, ARefusedRouteLengthInTheTableIsNotDamage) {
  auto c = test_support::build_package_from(
      "[generale]\nlunghezza percorso,    1000\nlunghezza percorso,    1000001\n[fine]\n",
      test_support::train_document());
  ASSERT_EQ(c->code(), 1);
  ASSERT_EQ(c->sc.table[84].l8, 1000001);
  package p;
  package_error error;
  ASSERT_TRUE(read_package(c->disk, test_support::test_directory, test_support::test_identity(), &p,
                           &error))
      << error.message;
  EXPECT_EQ(p.grid.size(), 161u);
  EXPECT_EQ(p.plan.row0.size(), 8001u);
  EXPECT_EQ(p.plan.row1.size(), 8001u);
  // The rows split from the file's elements once they are all read.
  expect_same_as_run(p, c->sc);
}

TEST(PackageReader, AFileThatCannotBeReadIsNamedWithTheSystemsReason) {
  auto c = rich_scenario();
  struct {
    const char* name;
    bool as_directory;
    std::string message;
  } cases[] = {
      {plan_name, false,
       "cannot read " + path_in(test_support::test_directory, "Borvasco_Lestrano_linea.dat") +
           ": No such file or directory"},
      {table_name, true,
       "cannot read " + path_in(test_support::test_directory, "Borvasco_Lestrano_40817.sim") +
           ": Is a directory"},
      {grid_name, false,
       "cannot read " + path_in(test_support::test_directory, "Borvasco_Lestrano_40817.dat") +
           ": No such file or directory"},
  };
  for (const auto& k : cases) {
    test_support::memory_disk d;
    d.files = c->disk.files;
    const std::string path = path_in(test_support::test_directory, k.name);
    d.files.erase(path);
    if (k.as_directory) d.directories.insert(path);
    package p;
    package_error error;
    EXPECT_FALSE(read_from(d, &p, &error));
    EXPECT_EQ(error.problem, package_problem::unreadable);
    EXPECT_EQ(error.message, k.message);
  }
}

}  // namespace

}  // namespace model
