// The real disk in a temporary directory: links are never followed, special
// files never opened in a way that blocks, one run at a time holds a
// directory, and a killed replacement is finished.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "runtime/disk.h"
#include "runtime/output_file.h"
#include "runtime/replace_files.h"

namespace runtime {

namespace {

namespace fs = std::filesystem;

struct real_directory : testing::Test {
  disk& d = real_disk();
  std::string dir;

  void SetUp() override {
    char pattern[] = "/tmp/scenario-disk-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
  }
  void TearDown() override { fs::remove_all(dir); }

  std::string at(const std::string& name) const { return dir + "/" + name; }
  void put(const std::string& name, const std::string& bytes) const {
    std::ofstream(at(name), std::ios::binary) << bytes;
  }
  std::string get(const std::string& name) const {
    std::ifstream f(at(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const auto& e : fs::directory_iterator(dir)) out.push_back(e.path().filename().string());
    std::sort(out.begin(), out.end());
    return out;
  }
};

TEST_F(real_directory, ReadsOnlyRegularFilesWithinTheBound) {
  put("plain", "content");
  put("target", "secret");
  ASSERT_EQ(mkfifo(at("pipe").c_str(), 0600), 0);
  fs::create_symlink(at("target"), at("link"));
  fs::create_directory(at("sub"));
  put("huge", "");
  fs::resize_file(at("huge"), static_cast<uintmax_t>(max_read_bytes) + 1);  // sparse

  std::string contents, err;
  ASSERT_TRUE(d.read_file(at("plain"), &contents, &err)) << err;
  EXPECT_EQ(contents, "content");
  struct {
    std::string path;
    std::string reason;
  } refused[] = {
      {at("pipe"), "not a regular file (a named pipe)"},  // no writer: would block
      {"/dev/zero", "not a regular file (a character device)"},
      {at("link"), "a symbolic link, not a regular file"},
      {at("sub"), "not a regular file (a directory)"},
      {at("huge"), "too large: 268435457 bytes (at most 268435456 are read)"},
      {at("missing"), "No such file or directory"},
  };
  for (const auto& r : refused) {
    contents = "unchanged";
    EXPECT_FALSE(d.read_file(r.path, &contents, &err)) << r.path;
    EXPECT_EQ(err, r.reason) << r.path;
  }
  EXPECT_EQ(d.stat(at("link")), disk::entry::file);
  EXPECT_EQ(d.stat_no_follow(at("link")), disk::entry::other);
  EXPECT_EQ(d.stat_no_follow(at("pipe")), disk::entry::other);
}

// Whatever stands at a temporary name (a link to a file, a link to nowhere,
// a pipe, a file) makes the write fail: nothing is followed, truncated,
// created elsewhere or waited for.
TEST_F(real_directory, NothingAtATemporaryNameIsEverOpened) {
  put("target", "precious");
  const std::string final_path = at("out.dat");
  const std::string temporary = temporary_name(final_path);
  struct {
    const char* what;
    std::function<void()> plant;
  } cases[] = {
      {"a link to a file", [&] { fs::create_symlink(at("target"), temporary); }},
      {"a link to nowhere", [&] { fs::create_symlink(at("created"), temporary); }},
      {"a pipe", [&] { ASSERT_EQ(mkfifo(temporary.c_str(), 0600), 0); }},
      {"a file", [&] { put(fs::path(temporary).filename().string(), "someone's"); }},
  };
  for (const auto& c : cases) {
    c.plant();
    output_file out(d, temporary);
    EXPECT_FALSE(out.open()) << c.what;
    EXPECT_EQ(out.error(), "File exists") << c.what;
    EXPECT_EQ(get("target"), "precious") << c.what;
    EXPECT_FALSE(fs::exists(fs::symlink_status(at("created")))) << c.what;
    discard_temporaries(d, {final_path});
    EXPECT_FALSE(fs::exists(fs::symlink_status(temporary))) << c.what;
  }
}

TEST_F(real_directory, ReplacesASetAndLeavesOnlyTheSet) {
  const std::vector<std::string> paths = {at("a.dat"), at("b.sim")};
  put("a.dat", "old a");
  fs::create_symlink(at("elsewhere"), at("b.sim"));  // a link in place of a file is replaced
  put("elsewhere", "kept");
  for (const std::string& p : paths) {
    output_file out(d, temporary_name(p));
    ASSERT_TRUE(out.open()) << out.error();
    out.put("new " + fs::path(p).filename().string());
    ASSERT_TRUE(out.finish());
  }
  io_failure failure;
  ASSERT_TRUE(replace_together(d, paths, &failure)) << describe(failure);
  EXPECT_EQ(get("a.dat"), "new a.dat");
  EXPECT_EQ(get("b.sim"), "new b.sim");
  EXPECT_EQ(get("elsewhere"), "kept");
  EXPECT_EQ(names(), (std::vector<std::string>{"a.dat", "b.sim", "elsewhere"}));
}

// The state a run killed between two renames leaves: the journal, one file
// renamed, one still under its temporary name, the second names.
TEST_F(real_directory, AKilledReplacementIsFoundAndFinished) {
  const std::string tag = "12-dead";
  const std::vector<std::string> paths = {at("a.dat"), at("b.sim")};
  put("a.dat", "new a");
  put("12-dead.a.dat.old", "old a");
  put("b.sim", "old b");
  ASSERT_EQ(::link(at("b.sim").c_str(), backup_name(at("b.sim"), tag).c_str()), 0);
  put("12-dead.b.sim.new", "new b");
  put(".scenario.journal",
      "scenario replacement journal 1\nfinish\n"
      "file old\n5 a.dat\n17 12-dead.a.dat.new\n17 12-dead.a.dat.old\n"
      "file old\n5 b.sim\n17 12-dead.b.sim.new\n17 12-dead.b.sim.old\nend\n");
  put("77-1.a.dat.new", "cut sh");  // an earlier run's temporary

  std::string message;
  EXPECT_TRUE(find_interrupted_replacement(d, dir, {at("b.sim")}, &message));
  EXPECT_NE(message.find(".scenario.journal"), std::string::npos) << message;
  io_failure failure;
  ASSERT_TRUE(recover_interrupted_replacement(d, dir, paths, &failure)) << describe(failure);
  EXPECT_EQ(get("a.dat"), "new a");
  EXPECT_EQ(get("b.sim"), "new b");
  EXPECT_EQ(names(), (std::vector<std::string>{"a.dat", "b.sim"}));
  EXPECT_FALSE(find_interrupted_replacement(d, dir, paths, &message));

  // A leftover that cannot go is named.
  fs::create_directory(at("3-f.b.sim.old"));
  EXPECT_FALSE(recover_interrupted_replacement(d, dir, paths, &failure));
  EXPECT_EQ(describe(failure), "cannot delete " + at("3-f.b.sim.old") + ": Is a directory");
}

TEST_F(real_directory, OneRunAtATimeHoldsTheDirectory) {
  std::string err;
  auto first = d.lock_directory(dir, &err);
  ASSERT_NE(first, nullptr) << err;
  EXPECT_EQ(names(), std::vector<std::string>{".scenario.lock"});
  // A second open of the lock file conflicts as another process would.
  EXPECT_EQ(d.lock_directory(dir, &err, 0), nullptr);
  EXPECT_EQ(err, "the directory is in use by another run");
  first.reset();
  EXPECT_TRUE(names().empty()) << "the lock file is removed with the lock";
  auto again = d.lock_directory(dir, &err, 0);
  EXPECT_NE(again, nullptr) << err;
  again.reset();

  // A link or a pipe at the lock file's name is refused and named.
  put("target", "precious");
  fs::create_symlink(at("target"), at(".scenario.lock"));
  EXPECT_EQ(d.lock_directory(dir, &err, 0), nullptr);
  EXPECT_EQ(err, at(".scenario.lock") + ": a symbolic link, not a regular file");
  EXPECT_EQ(get("target"), "precious");
  fs::remove(at(".scenario.lock"));
  ASSERT_EQ(mkfifo(at(".scenario.lock").c_str(), 0600), 0);
  EXPECT_EQ(d.lock_directory(dir, &err, 0), nullptr);
  EXPECT_EQ(err, at(".scenario.lock") + ": not a regular file (a named pipe)");

  EXPECT_EQ(d.lock_directory(at("missing"), &err, 0), nullptr);
  EXPECT_EQ(err, at("missing") + "/.scenario.lock: No such file or directory");
}

TEST_F(real_directory, ListsADirectory) {
  put("a", "");
  fs::create_directory(at("b"));
  std::vector<std::string> listed;
  std::string err;
  ASSERT_TRUE(d.list_directory(dir, &listed, &err)) << err;
  std::sort(listed.begin(), listed.end());
  EXPECT_EQ(listed, (std::vector<std::string>{"a", "b"}));
  EXPECT_FALSE(d.list_directory(at("a"), &listed, &err));
  EXPECT_EQ(err, "Not a directory");
}

}  // namespace

}  // namespace runtime
