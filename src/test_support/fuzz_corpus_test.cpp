// Replays the fuzz target's seed corpus and every past finding.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "model/package_reader.h"
#include "test_support/fuzz_input.h"
#include "test_support/lsp_fuzz_input.h"
#include "test_support/package_fuzz_input.h"
#include "test_support/scenario_fixture.h"

namespace test_support {

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
      // As the fuzz target runs it, and with the whole plan written.
      EXPECT_TRUE(run_fuzz_input(bytes.str(), fuzz_plan_metres)) << entry.path();
      EXPECT_TRUE(run_fuzz_input(bytes.str())) << entry.path();
      ++inputs;
    }
  }
  EXPECT_GT(inputs, 30);
}

std::string file_bytes(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream bytes;
  bytes << f.rdbuf();
  return bytes.str();
}

// The package reader's target: its seeds are packages the compile wrote
// (written anew with SCENARIO_WRITE_PACKAGE_SEEDS=DIR in the environment),
// and its past findings.
TEST(FuzzCorpus, EveryPackageSeedAndPastFindingRunsCleanly) {
  struct seed {
    const char* name;
    std::string line;
    int32_t valued_metres;  // of the plan, the rest made empty; -1: as compiled
  } seeds[] = {
      // A route of 0 m, whose plan has 7001 metres: valued over its first
      // 1000 (past the curve), it takes 49 KB rather than 145.
      {"small_route",
       line_description(0,
                        "pendenza,  0,  4\ncurvad3,  100,  500\n"
                        "cartello_indicatore,  500,   (A)(B)\n"),
       1000},
      // A refused route length: the files' own sizes give the grid and the
      // plan, so the fuzzer may change them freely.
      {"refused_route_length",
       "[generale]\nlunghezza percorso,    0\nlunghezza percorso,    1000001\n[fine]\n", -1},
  };
  const char* write_to = std::getenv("SCENARIO_WRITE_PACKAGE_SEEDS");
  for (const seed& s : seeds) {
    auto c = build_package_from(s.line, train_document("stazione,  500, 12,  400,  1, 0, 0,  "
                                                       "3,1,0,  2,0,1,   30,   9, 5, 0, A\n"));
    ASSERT_EQ(c->result.outcome, run::package_outcome::written) << s.name;
    const std::string plan = s.valued_metres < 0 ? c->file("Borvasco_Lestrano_linea.dat")
                                                 : plan_file_valued_to(c->sc.plan, s.valued_metres);
    const std::string input = package_fuzz_input(c->file("Borvasco_Lestrano_40817.sim"),
                                                 c->file("Borvasco_Lestrano_40817.dat"), plan);
    EXPECT_TRUE(run_package_fuzz_input(input)) << s.name;
    // Each seed is a package the reader takes, its plan valued as asked.
    memory_disk d;
    d.directories.insert(test_directory);
    for (const char* name : {"Borvasco_Lestrano_40817.sim", "Borvasco_Lestrano_40817.dat"})
      d.files[model::path_in(test_directory, name)] = c->file(name);
    d.files[model::path_in(test_directory, "Borvasco_Lestrano_linea.dat")] = plan;
    model::package p;
    model::package_error error;
    ASSERT_TRUE(model::read_package(d, test_directory, test_identity(), &p, &error))
        << s.name << ": " << error.message;
    size_t valued = 0;
    while (valued < p.plan.row0.size() && p.plan.row0[valued].tag != model::plan_tag_empty)
      ++valued;
    if (s.valued_metres >= 0) {
      EXPECT_EQ(valued, static_cast<size_t>(s.valued_metres)) << s.name;
    }
    if (write_to) std::ofstream(std::string(write_to) + "/" + s.name, std::ios::binary) << input;
  }

  int inputs = 0;
  for (const char* folder : {"package_corpus", "package_regressions"}) {
    std::filesystem::path dir = std::filesystem::path(SCENARIO_FUZZ_DIR) / folder;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.') continue;
      EXPECT_TRUE(run_package_fuzz_input(file_bytes(entry.path()))) << entry.path();
      ++inputs;
    }
  }
  EXPECT_GE(inputs, 2);
  // Cut short and empty inputs are refused cleanly.
  for (std::string_view cut : {"", "\x01", "\xff\xff\xff\xff\xff\xff\xff\xff"})
    EXPECT_TRUE(run_package_fuzz_input(cut));
}

// The language server target's check of the output, which reads each answer
// as events rather than as a document.
TEST(FuzzCorpus, TheLanguageServerTargetAcceptsOnlyFramedJsonRpcAnswers) {
  auto frame = [](std::string_view body) {
    return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + std::string(body);
  };
  const std::string answer = R"({"jsonrpc":"2.0","id":1,"result":{"jsonrpc":"1.0"}})";
  const struct {
    std::string output;
    bool accepted;
  } cases[] = {
      {"", true},
      {frame(answer), true},
      {frame(answer) + frame(R"({"method":"m","jsonrpc":"2.0","params":[1,null,true]})"), true},
      {frame(R"({"jsonrpc":"1.0","jsonrpc":"2.0"})"), true},  // the last member counts
      {frame(R"({"jsonrpc":"2.0","jsonrpc":"1.0"})"), false},
      {frame(R"({"id":1,"result":{"jsonrpc":"2.0"}})"), false},  // not at the top
      {frame(R"({"jsonrpc":2.0})"), false},
      {frame(R"({"jsonrpc":["2.0"]})"), false},
      {frame(R"([{"jsonrpc":"2.0"}])"), false},
      {frame(R"("2.0")"), false},
      {frame(R"({"jsonrpc":"2.0")"), false},     // cut short
      {frame(R"({"jsonrpc":"2.0"} x)"), false},  // more than the object
      {frame(R"({"jsonrpc":"2.0","a":[],"b":{},"c":[{}, [], -0.5e+3, 1E2, true, false, null]})"),
       true},
      {frame(" \t\r\n{ \"jsonrpc\" : \"2.0\" } \r\n"), true},
      // Strings: escapes, surrogate pairs and UTF-8 whole, no raw control byte.
      {frame(R"({"jsonrpc":"2.0","s":"\"\\\/\b\f\n\r\t\u00e8\ud83d\ude82"})"), true},
      {frame("{\"jsonrpc\":\"2.0\",\"s\":\"\xc3\xa8 \xe2\x82\xac \xf0\x9f\x9a\x82\"}"), true},
      {frame(R"({"jsonrpc":"2.0","s":"\x"})"), false},
      {frame(R"({"jsonrpc":"2.0","s":"\u00g0"})"), false},
      {frame(R"({"jsonrpc":"2.0","s":"\ud83d"})"), false},  // half a pair
      {frame(R"({"jsonrpc":"2.0","s":"\ude82"})"), false},
      {frame("{\"jsonrpc\":\"2.0\",\"s\":\"\xc3\"}"), false},          // cut character
      {frame("{\"jsonrpc\":\"2.0\",\"s\":\"\xc0\x80\"}"), false},      // overlong
      {frame("{\"jsonrpc\":\"2.0\",\"s\":\"\xed\xa0\x80\"}"), false},  // a surrogate
      {frame("{\"jsonrpc\":\"2.0\",\"s\":\"a\tb\"}"), false},
      // Numbers and words as JSON spells them.
      {frame(R"({"jsonrpc":"2.0","n":01})"), false},
      {frame(R"({"jsonrpc":"2.0","n":1.})"), false},
      {frame(R"({"jsonrpc":"2.0","n":-})"), false},
      {frame(R"({"jsonrpc":"2.0","n":1e})"), false},
      {frame(R"({"jsonrpc":"2.0","n":+1})"), false},
      {frame(R"({"jsonrpc":"2.0","n":tru})"), false},
      // Brackets and separators.
      {frame(R"({"jsonrpc":"2.0",})"), false},
      {frame(R"({"jsonrpc":"2.0","a":[1,]})"), false},
      {frame(R"({"jsonrpc":"2.0","a":[1}})"), false},
      {frame(R"({"jsonrpc" "2.0"})"), false},
      {frame(R"({"jsonrpc":"2.0"}})"), false},
      {frame(answer) + "\r\n", false},
      {frame(answer).substr(0, 40), false},
      {"Content-Length: 5\r\n\r\n" + answer, false},  // framed too short
      {"Content-Length:  " + std::to_string(answer.size()) + "\r\n\r\n" + answer, false},
      {"content-length: " + std::to_string(answer.size()) + "\r\n\r\n" + answer, false},
      {"Content-Length: " + std::to_string(answer.size()) + "\n\n" + answer, false},
  };
  for (const auto& c : cases) EXPECT_EQ(lsp_answers_are_framed(c.output), c.accepted) << c.output;
}

}  // namespace

}  // namespace test_support
