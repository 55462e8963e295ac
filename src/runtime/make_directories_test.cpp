// Making an output directory and its parents, as "mkdir -p" does.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

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

// A candidate is given up once its distance is known to be too great: the
// choice is the same as measuring every candidate whole, for every word of
// up to five letters of "abc".
TEST(NearestWord, ChoosesAsIfEveryCandidateWereMeasuredWhole) {
  const std::vector<std::string> known = {"abc", "cab", "aabbcc", "bca", "ccc", "abcabc", "ba"};
  auto measured_whole = [&](const std::string& word) -> std::optional<std::string> {
    std::optional<std::string> best;
    size_t best_distance = SIZE_MAX;
    for (const std::string& c : known) {
      const size_t d = edit_distance(word, c);
      if (d < best_distance && d <= std::max<size_t>(1, c.size() / 3)) {
        best_distance = d;
        best = c;
      }
    }
    return best;
  };
  std::vector<std::string> words = {""};
  for (size_t n = 0; n < words.size(); ++n)
    if (words[n].size() < 5)
      for (char c : std::string("abc")) words.push_back(words[n] + c);
  for (const std::string& w : words) {
    if (w.empty()) continue;
    EXPECT_EQ(nearest_word(w, known), measured_whole(w)) << w;
  }
}

}  // namespace

}  // namespace runtime
