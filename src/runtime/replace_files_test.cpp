#include "runtime/replace_files.h"

#include <gtest/gtest.h>

#include <functional>

#include "runtime/output_file.h"
#include "test_support/memory_disk.h"

namespace runtime {

namespace {

// A name in a directory as the program spells it: joined with the system's
// separator ("\\" on Windows), whatever separator the test gave.
std::string in_directory(const std::string& dir, const std::string& name) {
  return dir + path_separator + name;
}

// Three files of an earlier package, and the new content written under the
// temporary names.
struct package_on_disk : testing::Test {
  test_support::memory_disk d;
  std::vector<std::string> paths = {"/p/a.dat", "/p/b.sim", "/p/c.dat"};
  void SetUp() override {
    for (const std::string& p : paths) {
      d.files[p] = "old " + p;
      d.files[temporary_name(p)] = "new " + p;
    }
  }
  void expect_old() {
    for (const std::string& p : paths) EXPECT_EQ(d.files[p], "old " + p);
    EXPECT_EQ(d.files.size(), paths.size()) << "temporary or backup files left behind";
  }
};

TEST_F(package_on_disk, ReplacesTheWholeSet) {
  io_failure failure;
  ASSERT_TRUE(replace_together(d, paths, &failure));
  for (const std::string& p : paths) EXPECT_EQ(d.files[p], "new " + p);
  EXPECT_EQ(d.files.size(), paths.size());
}

TEST_F(package_on_disk, ARenameThatFailsHalfWayPutsTheEarlierFilesBack) {
  d.failures.push_back({"rename", "c.dat", "Input/output error"});
  io_failure failure;
  ASSERT_FALSE(replace_together(d, paths, &failure));
  EXPECT_EQ(failure.path, "/p/c.dat");
  EXPECT_EQ(failure.reason, "Input/output error");
  expect_old();
}

TEST_F(package_on_disk, ADirectoryInTheWayChangesNothing) {
  d.files.erase("/p/b.sim");
  d.directories.insert("/p/b.sim");
  io_failure failure;
  ASSERT_FALSE(replace_together(d, paths, &failure));
  EXPECT_EQ(failure.path, "/p/b.sim");
  EXPECT_EQ(failure.reason, "Is a directory");
  EXPECT_EQ(d.files["/p/a.dat"], "old /p/a.dat");
  EXPECT_EQ(d.files.count(temporary_name("/p/a.dat")), 0u);
}

TEST_F(package_on_disk, NewFilesWhereNoneWereBeforeAreRemovedOnFailure) {
  d.files.erase("/p/a.dat");
  d.failures.push_back({"rename", "b.sim", "Read-only file system"});
  io_failure failure;
  ASSERT_FALSE(replace_together(d, paths, &failure));
  EXPECT_EQ(d.files.count("/p/a.dat"), 0u);
  EXPECT_EQ(d.files["/p/b.sim"], "old /p/b.sim");
}

// All old or all new: the one thing a reader of the set may ever see.
enum class set_state { old_files, new_files, mixed };
set_state state_of(test_support::memory_disk& d, const std::vector<std::string>& paths) {
  size_t old_files = 0, new_files = 0;
  for (const std::string& p : paths) {
    old_files += d.files.count(p) && d.files[p] == "old " + p;
    new_files += d.files.count(p) && d.files[p] == "new " + p;
  }
  return old_files == paths.size()   ? set_state::old_files
         : new_files == paths.size() ? set_state::new_files
                                     : set_state::mixed;
}

// A process killed at each step of the replacement (of one that succeeds,
// and of one whose last rename fails and is undone), then the next run's
// recovery: the set ends whole with nothing else left. While the journal is
// there the set counts as interrupted; a journal that says "finish" is
// finished, one that says "undo" is undone.
TEST_F(package_on_disk, AReplacementKilledAtAnyStepIsFinishedByTheNextRun) {
  const std::string journal = journal_path("/p");
  for (const std::string failing_rename : {"", "c.dat"}) {
    bool finished = false;
    for (int64_t steps = 0; !finished; ++steps) {
      ASSERT_LT(steps, 100) << "the replacement never ends";
      test_support::memory_disk k = d;
      if (!failing_rename.empty()) k.failures.push_back({"rename", failing_rename, "I/O error"});
      k.changes_before_kill = steps;
      io_failure failure;
      try {
        replace_together(k, paths, &failure);
        finished = true;
      } catch (const test_support::memory_disk::killed&) {
        k.changes_before_kill = -1;
        k.dead = false;
      }
      k.failures.clear();  // the next run's disk works

      std::string message;
      const bool journal_left = k.exists(journal);
      EXPECT_EQ(find_interrupted_replacement(k, "/p", paths, &message), journal_left) << steps;
      set_state expected = state_of(k, paths);
      if (journal_left) {
        EXPECT_NE(message.find("a.dat, b.sim, c.dat"), std::string::npos) << message;
        expected = k.files[journal].find("\nundo\n") != std::string::npos ? set_state::old_files
                                                                          : set_state::new_files;
      } else {
        EXPECT_NE(expected, set_state::mixed) << "no journal, yet mixed after " << steps;
      }
      if (finished) {
        EXPECT_EQ(expected, failing_rename.empty() ? set_state::new_files : set_state::old_files);
      }

      // The recovery, killed in turn at each of its own steps and run again.
      bool recovered = false;
      for (int64_t again = 0; !recovered; ++again) {
        ASSERT_LT(again, 100) << "the recovery never ends";
        test_support::memory_disk r = k;
        r.changes_before_kill = again;
        try {
          recovered = recover_interrupted_replacement(r, "/p", paths, &failure);
          ASSERT_TRUE(recovered) << steps << ": " << describe(failure);
        } catch (const test_support::memory_disk::killed&) {
          r.changes_before_kill = -1;
          r.dead = false;
          ASSERT_TRUE(recover_interrupted_replacement(r, "/p", paths, &failure))
              << steps << ", " << again << ": " << describe(failure);
        }
        EXPECT_EQ(state_of(r, paths), expected) << "killed after " << steps << ", " << again;
        EXPECT_EQ(r.files.size(), paths.size()) << "left after " << steps << ", " << again;
        EXPECT_FALSE(find_interrupted_replacement(r, "/p", paths, &message)) << steps;
      }
    }
  }
}

TEST_F(package_on_disk, AnotherRunsTemporariesAreNeverTouchedButLeftoversAreRecovered) {
  const std::string other = "999-abcdef";
  for (const std::string& p : paths) d.files[temporary_name(p, other)] = "other run";
  d.files[backup_name(paths[0], other)] = "other run";
  io_failure failure;
  ASSERT_TRUE(replace_together(d, paths, &failure)) << describe(failure);
  for (const std::string& p : paths) EXPECT_EQ(d.files[temporary_name(p, other)], "other run");
  discard_temporaries(d, paths);
  EXPECT_EQ(d.files[backup_name(paths[0], other)], "other run");

  // Once that run is known to be gone (the directory is locked), what it
  // left goes; files that only look alike stay.
  const std::vector<std::string> alike = {"/p/a.dat.new", "/p/x-1.a.dat.new", "/p/12-ab.a.dat.bak",
                                          "/p/12-ab.b.dat.new", "/p/12-AB.a.dat.old"};
  for (const std::string& f : alike) d.files[f] = "keep";
  ASSERT_TRUE(recover_interrupted_replacement(d, "/p", paths, &failure)) << describe(failure);
  for (const std::string& p : paths) EXPECT_EQ(d.files[p], "new " + p);
  EXPECT_EQ(d.files.size(), paths.size() + alike.size());
}

// A leftover or a journal that cannot simply be removed stops the recovery
// with a message that names it; old-style names are not ours and block
// nothing.
TEST_F(package_on_disk, WhatCannotBeRecoveredIsNamed) {
  const std::string leftover = backup_name("/p/b.sim", "77-1");
  struct {
    std::string what;
    std::function<void(test_support::memory_disk&)> plant;
    std::string failure;
  } cases[] = {
      {"a directory left under a second name",
       [&](test_support::memory_disk& k) { k.directories.insert(leftover); },
       "cannot delete " + in_directory("/p", "77-1.b.sim.old") + ": Is a directory"},
      {"a damaged journal",
       [](test_support::memory_disk& k) { k.files["/p/.scenario.journal"] = "garbage"; },
       "cannot read " + in_directory("/p", ".scenario.journal") + ": not a replacement journal"},
      {"a journal that is a pipe",
       [](test_support::memory_disk& k) { k.specials.insert("/p/.scenario.journal"); },
       "cannot read " + in_directory("/p", ".scenario.journal") + ": not a regular file"},
      {"a listing that fails",
       [](test_support::memory_disk& k) {
         k.failures.push_back({"list", "/p", "Permission denied"});
       },
       "cannot read /p: Permission denied"},
  };
  for (const auto& c : cases) {
    test_support::memory_disk k = d;
    c.plant(k);
    io_failure failure;
    EXPECT_FALSE(recover_interrupted_replacement(k, "/p", paths, &failure)) << c.what;
    EXPECT_EQ(describe(failure).rfind(c.failure, 0), 0u) << c.what << ": " << describe(failure);
    for (const std::string& p : paths) EXPECT_EQ(k.files[p], "old " + p) << c.what;
  }

  for (const char* old_style : {"/p/b.sim.old", "/p/b.sim.new"}) {
    test_support::memory_disk k = d;
    k.specials.insert(old_style);
    k.links[std::string(old_style) + "2"] = "/etc/passwd";
    io_failure failure;
    EXPECT_TRUE(replace_together(k, paths, &failure)) << describe(failure);
    EXPECT_TRUE(k.specials.count(old_style));
    EXPECT_EQ(state_of(k, paths), set_state::new_files);
  }
}

TEST_F(package_on_disk, AJournalOfOtherFilesConcernsNotThisSet) {
  d.failures.push_back({"remove", ".journal", "Read-only file system"});
  io_failure failure;
  EXPECT_FALSE(replace_together(d, paths, &failure));
  EXPECT_EQ(describe(failure),
            "cannot delete " + in_directory("/p", ".scenario.journal") + ": Read-only file system");
  EXPECT_EQ(state_of(d, paths), set_state::new_files);
  std::string message;
  EXPECT_FALSE(find_interrupted_replacement(d, "/p", {"/p/other.dat"}, &message));
  EXPECT_TRUE(find_interrupted_replacement(d, "/p", {"/p/c.dat"}, &message));
  EXPECT_EQ(
      message,
      "the replacement of c.dat in /p was interrupted (" + in_directory("/p", ".scenario.journal") +
          " is left): they "
          "may mix old and new content until the program that wrote them runs there again and "
          "finishes the replacement");
}

TEST_F(package_on_disk, AFailureAtEveryStepLeavesTheOldSetAndNothingElse) {
  const char* steps[][2] = {{"link", "b.sim.old"},     {"create", ".journal.new"},
                            {"write", ".journal.new"}, {"close", ".journal.new"},
                            {"rename", ".journal"},    {"rename", "a.dat"},
                            {"rename", "b.sim"}};
  for (const auto& step : steps) {
    test_support::memory_disk k = d;
    k.failures.push_back({step[0], step[1], "Input/output error"});
    io_failure failure;
    EXPECT_FALSE(replace_together(k, paths, &failure)) << step[0] << " " << step[1];
    EXPECT_EQ(failure.reason, "Input/output error");
    for (const std::string& p : paths) EXPECT_EQ(k.files[p], "old " + p) << step[0] << step[1];
    EXPECT_EQ(k.files.size(), paths.size()) << step[0] << " " << step[1];
  }
}

TEST(TemporaryNames, AreUniqueToTheRunAndEndWithTheFinalName) {
  const std::string tag = run_tag();
  EXPECT_EQ(tag.rfind(std::to_string(process_number()) + "-", 0), 0u) << tag;
  EXPECT_EQ(temporary_name("/d/x.dat"), "/d/" + tag + ".x.dat.new");
  EXPECT_EQ(temporary_name("x.dat", "1-a"), "1-a.x.dat.new");
  EXPECT_EQ(backup_name("/d/x.dat", "1-a"), "/d/1-a.x.dat.old");
  EXPECT_EQ(journal_path("/d"), in_directory("/d", ".scenario.journal"));
}

// The memory disk behaves as the real one for what is not a regular file.
TEST(MemoryDisk, RefusesWhatIsNotARegularFileAndLocksOneRunAtATime) {
  test_support::memory_disk d;
  d.files["/d/f"] = "0123456789";
  d.links["/d/l"] = "f";
  d.links["/d/dangling"] = "/nowhere";
  d.specials.insert("/d/pipe");
  d.directories.insert("/d/sub");
  d.read_limit = 9;
  struct {
    const char* path;
    disk::entry entry, name;
    const char* reason;
  } cases[] = {
      {"/d/f", disk::entry::file, disk::entry::file, "too large: 10 bytes (at most 9 are read)"},
      {"/d/l", disk::entry::file, disk::entry::other, "a symbolic link, not a regular file"},
      {"/d/dangling", disk::entry::missing, disk::entry::other,
       "a symbolic link, not a regular file"},
      {"/d/pipe", disk::entry::other, disk::entry::other, "not a regular file (a named pipe)"},
      {"/d/sub", disk::entry::directory, disk::entry::directory,
       "not a regular file (a directory)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(d.stat(c.path), c.entry) << c.path;
    EXPECT_EQ(d.stat_no_follow(c.path), c.name) << c.path;
    std::string contents, err;
    EXPECT_FALSE(d.read_file(c.path, &contents, &err)) << c.path;
    EXPECT_EQ(err, c.reason) << c.path;
    int handle;
    EXPECT_FALSE(d.create_file(c.path, &handle, &err)) << c.path;
    EXPECT_EQ(err, "File exists") << c.path;
  }
  EXPECT_EQ(d.files.count("/nowhere"), 0u);
  EXPECT_EQ(d.files["/d/f"], "0123456789");

  std::string err;
  auto lock = d.lock_directory("/d", &err);
  ASSERT_TRUE(lock) << err;
  EXPECT_TRUE(d.exists("/d/.scenario.lock"));
  EXPECT_EQ(d.lock_directory("/d", &err), nullptr);
  EXPECT_EQ(err, "the directory is in use by another run");
  EXPECT_NE(d.lock_directory("/e", &err), nullptr) << "another directory is free";
  lock.reset();
  EXPECT_FALSE(d.exists("/d/.scenario.lock"));
  EXPECT_NE(d.lock_directory("/d", &err), nullptr) << err;

  d.links["/f/.scenario.lock"] = "/d/f";
  EXPECT_EQ(d.lock_directory("/f", &err), nullptr);
  EXPECT_EQ(err, in_directory("/f", ".scenario.lock") + ": a symbolic link, not a regular file");
}

TEST(OutputFile, WritesLittleEndianValuesAndReportsAFullDisk) {
  test_support::memory_disk d;
  output_file out(d, "/f");
  ASSERT_TRUE(out.open());
  out.put_u8(0x03);
  out.put_i16(60);
  out.put_i16(-2);
  out.put_i32(-1);
  out.put_f64(1.0);
  ASSERT_TRUE(out.finish());
  EXPECT_EQ(d.files["/f"], std::string("\x03\x3C\x00\xFE\xFF\xFF\xFF\xFF\xFF"
                                       "\x00\x00\x00\x00\x00\x00\xF0\x3F",
                                       17));

  d.space_left = 5;
  output_file full(d, "/g");
  ASSERT_TRUE(full.open());
  full.put("0123456789");
  EXPECT_FALSE(full.finish());
  EXPECT_EQ(full.error(), "No space left on device");
  EXPECT_EQ(d.open_files(), 0u);
}

// Buffered values and straight-through runs come out in order, whatever
// buffer the announced size leaves.
TEST(OutputFile, BufferedAndStraightThroughBytesKeepTheirOrder) {
  std::string text;
  for (int i = 0; i < 3000; ++i) text += static_cast<char>('a' + i % 26);
  for (int64_t announced : {-1, 0, 10, 100, 5000}) {
    test_support::memory_disk d;
    output_file out(d, "/f");
    ASSERT_TRUE(out.open());
    if (announced >= 0) out.reserve(announced);
    out.put_u8('<');
    out.put(text);
    out.put_through("|through|");
    out.put_i16(0x3E3E);  // ">>"
    out.put(text.substr(0, 70));
    ASSERT_TRUE(out.finish()) << announced;
    EXPECT_EQ(d.files["/f"], "<" + text + "|through|>>" + text.substr(0, 70)) << announced;
  }
}

}  // namespace

}  // namespace runtime
