// Making an output directory and its parents, as "mkdir -p" does.

#include <gtest/gtest.h>

#include "runtime/disk.h"
#include "runtime/nearest_word.h"
#include "test_support/memory_disk.h"

namespace runtime {

namespace {

TEST(MakeDirectories, MakesEveryMissingParentAndKeepsWhatIsThere) {
  test_support::memory_disk d;
  d.directories = {"/", "/work"};
  std::string err;
  ASSERT_TRUE(make_directories(d, "/work/out/a/b", &err)) << err;
  EXPECT_TRUE(d.directories.count("/work/out"));
  EXPECT_TRUE(d.directories.count("/work/out/a/b"));
  ASSERT_TRUE(make_directories(d, "/work/out/a/b/", &err)) << err;
  ASSERT_TRUE(make_directories(d, "/work", &err)) << err;
}

TEST(MakeDirectories, AFileInTheWayOrAFailureIsNamed) {
  test_support::memory_disk d;
  d.directories = {"/", "/work"};
  d.files["/work/plan"] = "x";
  std::string err;
  EXPECT_FALSE(make_directories(d, "/work/plan/out", &err));
  EXPECT_EQ(err, "/work/plan: not a directory");
  d.failures.push_back({"mkdir", "/work/ro", "Permission denied"});
  EXPECT_FALSE(make_directories(d, "/work/ro/out", &err));
  EXPECT_EQ(err, "/work/ro: Permission denied");
  EXPECT_FALSE(d.directories.count("/work/ro/out"));
}

TEST(NearestWord, OffersTheNearKnownWordOnly) {
  const std::vector<std::string> known = {"compile", "check", "inspect", "--json"};
  EXPECT_EQ(nearest_word("complie", known), "compile");
  EXPECT_EQ(nearest_word("CHEK", known), "check");
  EXPECT_EQ(nearest_word("--jsno", known), "--json");
  EXPECT_EQ(nearest_word("render", known), std::nullopt);
  EXPECT_EQ(nearest_word("", known), std::nullopt);
  // Candidates of every length in turn, measured one after another.
  const std::vector<std::string> keywords = {"progressiva chilometrica uno", "stazione", "segnale",
                                             "velocita", "rallentamento"};
  EXPECT_EQ(nearest_word("SEGNLAE", keywords), "segnale");
  EXPECT_EQ(nearest_word("ralentamento", keywords), "rallentamento");
  EXPECT_EQ(nearest_word("progressiva chilometrica unp", keywords), "progressiva chilometrica uno");
  EXPECT_EQ(edit_distance("Segnale", "sgenale"), 1u);
  EXPECT_EQ(edit_distance("", "abc"), 3u);
}

}  // namespace

}  // namespace runtime
