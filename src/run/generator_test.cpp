// The generator's whole run, on a disk held in memory and on the real one.

#include "run/generator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "model/file_names.h"
#include "run/exit_status.h"
#include "runtime/replace_files.h"
#include "test_support/scenario_fixture.h"
#include "test_support/sha256.h"

namespace run {

namespace {

const std::vector<std::string> package_names = {
    "Borvasco_Lestrano_linea.dat", "Borvasco_Lestrano_40817.sim", "Borvasco_Lestrano_40817.dat"};
const std::vector<std::string> form_names = {"Borvasco_Lestrano_40817_note.txt",
                                             "Borvasco_Lestrano_40817_rallentamenti.txt",
                                             "Borvasco_Lestrano_40817_scheda_treno.txt"};

struct generator_run {
  test_support::memory_disk disk;
  std::ostringstream out, err;
  int status = -1;

  void run() {
    out.str("");
    err.str("");
    status = run_generator(disk, test_support::test_directory, out, err);
  }
  std::string file(const std::string& name) {
    auto it = disk.files.find(model::path_in(test_support::test_directory, name));
    return it == disk.files.end() ? "<missing>" : it->second;
  }
};

TEST(Generator, ACleanRunLeavesTheFormsAndThePackage) {
  generator_run g;
  g.run();
  EXPECT_EQ(g.status, exit_clean) << g.err.str();
  EXPECT_EQ(g.out.str(), "Attendere\n");
  EXPECT_EQ(g.err.str(), "");
  std::set<std::string> names;
  for (const auto& [path, bytes] : g.disk.files) names.insert(path);
  std::set<std::string> expected;
  for (const auto& n : package_names)
    expected.insert(model::path_in(test_support::test_directory, n));
  for (const auto& n : form_names) expected.insert(model::path_in(test_support::test_directory, n));
  EXPECT_EQ(names, expected);
  EXPECT_EQ(g.disk.open_files(), 0u);
}

TEST(Generator, TwoRunsGiveTheSameBytes) {
  generator_run a, b;
  a.run();
  b.disk.files[std::string(test_support::test_directory) + "/Borvasco_Lestrano_40817.dat"] =
      std::string(100000, 'x');  // an older, larger file is replaced whole
  b.run();
  b.run();
  EXPECT_EQ(a.disk.files, b.disk.files);
}

// The three binary files of the built-in scenario, byte for byte: any change
// to a byte of the package fails here (the digests are those `sha256sum`
// prints for the files a run writes).
TEST(Generator, TheBuiltInPackageHasItsGoldenDigests) {
  EXPECT_EQ(test_support::sha256_hex("abc"),
            "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
  generator_run g;
  g.run();
  const struct {
    const char* name;
    const char* digest;
  } golden[] = {
      {"Borvasco_Lestrano_linea.dat",
       "991dae141361d32d00a5867bcb9029bfc6af60b4d331463f834c13d8bd2e19b7"},
      {"Borvasco_Lestrano_40817.sim",
       "582d413b8664a677b5edfd463d8f7d1deb6c0e51b18d5cdaf943008fa1c34442"},
      {"Borvasco_Lestrano_40817.dat",
       "a4c2b735769863f6ef92342494b359b46047dfe7ca1fb7c0f9b56f0ffffb3a25"},
  };
  for (const auto& file : golden)
    EXPECT_EQ(test_support::sha256_hex(g.file(file.name)), file.digest) << file.name;
}

TEST(Generator, TheStampsAndCheckCodesOfTheBuiltInScenario) {
  generator_run g;
  g.run();
  std::string dat = g.file("Borvasco_Lestrano_40817.dat");
  ASSERT_GT(dat.size(), 30u);
  // Cell 1: w2 = 5121 and w4 = the plain check code of "40817borvasco_lestranoaab".
  EXPECT_EQ(dat.substr(16, 4), std::string("\x01\x14\x4E\x09", 4));  // 5121, 2382
  std::string sim = g.file("Borvasco_Lestrano_40817.sim");
  // Entry 85 is the one before the last; the last holds "40817".
  size_t entry86 = sim.size() - (34 + 5);
  size_t entry85 = entry86 - (34 + 17);
  EXPECT_EQ(sim.substr(entry85 + 16, 17), "Borvasco_Lestrano");
  EXPECT_EQ(sim.substr(entry85 + 33, 2), std::string("\x62\x02", 2));  // w24 = 610
  int32_t l40 = 0;
  for (int i = 3; i >= 0; --i)
    l40 = (l40 << 8) | static_cast<unsigned char>(sim[entry85 + 47 + static_cast<size_t>(i)]);
  EXPECT_EQ(l40, 33468);
}

// A line description whose first board is laid in cell 1 takes a reserved
// slot: the run stops with the numbered message and writes no package.
TEST(Generator, AReservedSlotInUseStopsTheRunBeforeAnyPackageFile) {
  struct {
    const char* board;
    int errore_code;
  } cases[] = {
      {"indicatori_vmax,  0,  100,  0,  0,  0,  0,  0,  0,  0\n", 1250},
      {"indicatori_vmax,  0,  0,  100,  0,  0,  0,  0,  0,  0\n", 1251},
  };
  for (const auto& c : cases) {
    auto r = test_support::build_package_from(test_support::line_description(9000, c.board),
                                              test_support::train_document());
    EXPECT_EQ(r->result.outcome, package_outcome::reserved_slot);
    EXPECT_EQ(model::reserved_slot_error_number(r->result.stamp), c.errore_code);
    for (const auto& n : package_names) EXPECT_EQ(r->file(n), "") << n;
    std::ostringstream err;
    EXPECT_EQ(report_package_step(err, "scenario-gen", r->build.compile, r->result, nullptr),
              exit_reserved_slot);
    EXPECT_EQ(err.str(), " Errore n. " + std::to_string(c.errore_code) + "\n");
  }
}

TEST(Generator, ACompileFaultStillWritesThePackageAndIsReported) {
  auto r = test_support::build_package_from(
      test_support::line_description(9000, "pendenza,  15950,  3\n"),
      test_support::train_document());
  EXPECT_EQ(r->result.outcome, package_outcome::written);
  EXPECT_EQ(r->code(), 15);
  EXPECT_EQ(r->position(), 15950);
  EXPECT_EQ(r->file("Borvasco_Lestrano_40817.dat").size(), 15u * 321);
  std::ostringstream err;
  EXPECT_EQ(report_package_step(err, "scenario-gen", r->build.compile, r->result, nullptr),
            exit_compile_fault);
  EXPECT_EQ(err.str(),
            "scenario-gen: error 15 at 15950 m: a positioned record lies beyond the track grid\n");
}

TEST(Generator, ACompileThatStopsBeforeTheGridWritesNothing) {
  auto r = test_support::build_package_from("[curve]\n", test_support::train_document());
  EXPECT_EQ(r->result.outcome, package_outcome::no_grid);
  std::ostringstream err;
  EXPECT_EQ(report_package_step(err, "scenario-gen", r->build.compile, r->result, nullptr),
            exit_no_package);
  EXPECT_EQ(err.str(),
            "scenario-gen: error 102 at 0 m: the line description has no \"[generale]\" section\n"
            "scenario-gen: no package written\n");
}

TEST(Generator, WithoutThePlanFlagThePlanFileIsLeftAlone) {
  auto c = std::make_unique<test_support::built_package>();
  c->disk.files[test_support::test_line_path] =
      test_support::line_description(9000, "curvad4,  1000,  500\n");
  c->disk.files[test_support::test_train_path] = test_support::train_document();
  c->disk.files[std::string(test_support::test_directory) + "/Borvasco_Lestrano_linea.dat"] =
      "old plan";
  c = test_support::build_package_on(std::move(c), false);
  EXPECT_EQ(c->code(), 0);
  EXPECT_FALSE(c->sc.plan.exists());
  EXPECT_EQ(c->file("Borvasco_Lestrano_linea.dat"), "old plan");
  EXPECT_NE(c->file("Borvasco_Lestrano_40817.sim"), "");
}

// A disk that fails at any step of the run: the earlier package stays whole,
// no document is left cut short, no temporary file is left, one line names
// the file, and the status says so.
TEST(Generator, AFailingDiskNeverLosesTheEarlierPackage) {
  generator_run first;
  first.run();
  ASSERT_EQ(first.status, exit_clean);
  const auto earlier = first.disk.files;

  size_t total = 0;
  for (const auto& [path, bytes] : earlier) total += bytes.size();
  std::vector<size_t> limits = {0, 1, 1000, total / 3, total - 1};
  for (size_t limit : limits) {
    generator_run g;
    g.disk.files = earlier;
    g.disk.space_left = limit;
    g.run();
    EXPECT_EQ(g.status, exit_io_failure) << limit;
    const std::string message = g.err.str();
    EXPECT_NE(message.find("No space left on device"), std::string::npos) << message;
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    for (const auto& n : package_names)
      EXPECT_EQ(g.file(n), earlier.at(model::path_in(test_support::test_directory, n))) << n;
    // The source documents live only while a run lasts.
    EXPECT_EQ(g.file("Borvasco_Lestrano_linea.txt"), "<missing>") << limit;
    EXPECT_EQ(g.file("Borvasco_Lestrano_40817-.txt"), "<missing>") << limit;
    for (const auto& [path, bytes] : g.disk.files) {
      EXPECT_EQ(path.find(".new"), std::string::npos) << path;
      EXPECT_EQ(path.find(".old"), std::string::npos) << path;
    }
  }

  const char* ops[][2] = {{"create", "_linea.txt.new"},
                          {"write", "-.txt.new"},
                          {"close", "note.txt.new"},
                          {"rename", "rallentamenti.txt"},
                          {"create", "scheda_treno.txt.new"},
                          {"remove", "_linea.txt"},
                          {"read", "-.txt"},
                          {"create", ".sim.new"},
                          {"rename", "40817.dat"},
                          {"link", ".sim.old"}};
  for (const auto& op : ops) {
    generator_run g;
    g.disk.files = earlier;
    g.disk.failures.push_back({op[0], op[1], "Input/output error"});
    g.run();
    EXPECT_EQ(g.status, exit_io_failure) << op[0] << " " << op[1];
    EXPECT_NE(g.err.str().find("Input/output error"), std::string::npos) << g.err.str();
    for (const auto& n : package_names)
      EXPECT_EQ(g.file(n), earlier.at(model::path_in(test_support::test_directory, n))) << n;
  }
}

// A form whose name a directory has taken ends the run before the compile:
// the source documents it wrote go too.
TEST(Generator, AFormTakenByADirectoryLeavesNoSourceDocument) {
  generator_run g;
  g.disk.directories.insert(std::string(test_support::test_directory) +
                            "/Borvasco_Lestrano_40817_note.txt");
  g.run();
  EXPECT_EQ(g.status, exit_io_failure);
  EXPECT_EQ(g.err.str(),
            "scenario-gen: cannot write " +
                model::path_in(test_support::test_directory, "Borvasco_Lestrano_40817_note.txt") +
                ": Is a directory\n");
  EXPECT_EQ(g.file("Borvasco_Lestrano_linea.txt"), "<missing>");
  EXPECT_EQ(g.file("Borvasco_Lestrano_40817-.txt"), "<missing>");
}

TEST(Generator, ADirectoryWhereTheGridFileShouldGo) {
  generator_run g;
  g.disk.directories.insert(std::string(test_support::test_directory) +
                            "/Borvasco_Lestrano_40817.dat");
  g.run();
  EXPECT_EQ(g.status, exit_io_failure);
  EXPECT_EQ(g.err.str(),
            "scenario-gen: cannot write " +
                model::path_in(test_support::test_directory, "Borvasco_Lestrano_40817.dat") +
                ": Is a directory\n");
  EXPECT_EQ(g.file("Borvasco_Lestrano_40817.sim"), "<missing>");
  EXPECT_EQ(g.file("Borvasco_Lestrano_linea.dat"), "<missing>");
}

TEST(Generator, RunsOnTheRealDisk) {
  // A folder of this process's own under the system's temporary folder.
  const std::filesystem::path dir =
      std::filesystem::temp_directory_path() /
      ("scenario-gen-test-" + std::to_string(runtime::process_number()) + "-" + runtime::run_tag());
  ASSERT_TRUE(std::filesystem::create_directory(dir));
  std::ostringstream out, err;
  EXPECT_EQ(run_generator(runtime::real_disk(), dir.string(), out, err), exit_clean) << err.str();
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir))
    names.insert(e.path().filename().string());
  std::set<std::string> expected(package_names.begin(), package_names.end());
  expected.insert(form_names.begin(), form_names.end());
  EXPECT_EQ(names, expected);

  generator_run in_memory;
  in_memory.run();
  for (const auto& n : package_names) {
    std::ifstream f(dir / n, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes, in_memory.file(n)) << n;
  }
  std::filesystem::remove_all(dir);
}

}  // namespace

namespace {

// A second run while another holds the directory ends at once, touching
// nothing; the run that holds it is not disturbed.
TEST(Generator, ADirectoryInUseByAnotherRunIsLeftAlone) {
  generator_run first;
  first.run();
  ASSERT_EQ(first.status, exit_clean);
  generator_run g;
  g.disk.files = first.disk.files;
  std::string reason;
  auto held = g.disk.lock_directory(test_support::test_directory, &reason);
  ASSERT_TRUE(held) << reason;
  g.run();
  EXPECT_EQ(g.status, exit_io_failure);
  EXPECT_EQ(g.err.str(), "scenario-gen: cannot lock /scenario: " +
                             std::string(runtime::directory_in_use) + "\n");
  held.reset();
  EXPECT_TRUE(g.disk.files == first.disk.files);
  g.run();
  EXPECT_EQ(g.status, exit_clean) << g.err.str();
  EXPECT_FALSE(g.disk.locked(test_support::test_directory));
}

// A run killed at any step leaves the earlier package or the new one, never a
// mix: the next run finishes or undoes what was left, and ends with the same
// files as a clean run, and nothing else.
TEST(Generator, ARunKilledAtAnyStepIsFinishedByTheNext) {
  generator_run clean;
  clean.run();
  ASSERT_EQ(clean.status, exit_clean);
  // An earlier package that differs from the new one in every file.
  test_support::memory_disk::path_map earlier = clean.disk.files;
  for (auto& [path, bytes] : earlier) bytes = "earlier " + path;

  int64_t changes = 0;
  {
    constexpr int64_t plenty = 1000000;
    generator_run counting;
    counting.disk.files = earlier;
    counting.disk.changes_before_kill = plenty;
    counting.run();
    ASSERT_EQ(counting.status, exit_clean);
    changes = plenty - counting.disk.changes_before_kill;
  }
  ASSERT_GT(changes, 20);
  for (int64_t kill_at = 0; kill_at < changes; ++kill_at) {
    generator_run g;
    g.disk.files = earlier;
    g.disk.changes_before_kill = kill_at;
    EXPECT_THROW(g.run(), test_support::memory_disk::killed) << kill_at;
    // The package as the kill left it is whole: all old or all new.
    const std::string names[] = {"Borvasco_Lestrano_linea.dat", "Borvasco_Lestrano_40817.sim",
                                 "Borvasco_Lestrano_40817.dat"};
    std::string journal;
    const bool interrupted = runtime::find_interrupted_replacement(
        g.disk, test_support::test_directory,
        model::package_paths(test_support::test_identity(), test_support::test_directory),
        &journal);
    if (!interrupted) {
      int fresh = 0;
      for (const std::string& n : names) fresh += g.file(n) == clean.file(n);
      EXPECT_TRUE(fresh == 0 || fresh == 3) << kill_at;
    }
    g.disk.changes_before_kill = -1;
    g.disk.dead = false;
    g.run();
    EXPECT_EQ(g.status, exit_clean) << kill_at << ": " << g.err.str();
    std::set<std::string> left, expected;
    for (const auto& [path, bytes] : g.disk.files) left.insert(path);
    for (const auto& [path, bytes] : clean.disk.files) expected.insert(path);
    EXPECT_EQ(left, expected) << kill_at;
    EXPECT_TRUE(g.disk.files == clean.disk.files) << kill_at;
  }
}

}  // namespace

TEST(Generator, APersonIsShownTheTakenSlotOrTheFileThatFailedInABox) {
  struct box_case {
    int status;
    std::string errors, shown;
  } cases[] = {
      {exit_reserved_slot, " Errore n. 1250\n", " Errore n. 1250"},
      {exit_reserved_slot, " Errore n. 1251\n", " Errore n. 1251"},
      {exit_io_failure, "scenario-gen: cannot write C:\\Sim\\x.sim: in use by another program\n",
       "cannot write C:\\Sim\\x.sim: in use by another program"},
      {exit_io_failure,
       "scenario-gen: cannot lock C:\\Sim: the directory is in use by another run\n",
       "cannot lock C:\\Sim: the directory is in use by another run"},
      // A compile fault of the built-in documents is not the user's to see.
      {exit_compile_fault, "scenario-gen: error 16 at 1850 m: a signal's cell is not free\n", ""},
      {exit_clean, "", ""},
  };
  for (const box_case& c : cases) EXPECT_EQ(message_box_text(c.status, c.errors), c.shown);
}

}  // namespace run
