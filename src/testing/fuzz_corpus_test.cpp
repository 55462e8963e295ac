// Replays the fuzz target's seed corpus and every past finding.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "testing/fuzz_input.h"

namespace {

TEST(FuzzCorpus, EverySeedAndPastFindingRunsCleanly) {
  int inputs = 0;
  for (const char* folder : {"corpus", "regressions"}) {
    std::filesystem::path dir = std::filesystem::path(SCENARIO_FUZZ_DIR) / folder;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.') continue;
      std::ifstream f(entry.path(), std::ios::binary);
      std::stringstream bytes;
      bytes << f.rdbuf();
      EXPECT_TRUE(run_fuzz_input(bytes.str())) << entry.path();
      ++inputs;
    }
  }
  EXPECT_GT(inputs, 30);
}

}  // namespace
