// scenario-tool compile: the checker's messages, nothing written on an
// error, names from the documents, the output directory made, and the
// tool's own command line (did you mean, a missing option named).

#include <gtest/gtest.h>

#include <sstream>

#include "model/package_reader.h"
#include "run/exit_status.h"
#include "test_support/memory_disk.h"
#include "test_support/scenario_fixture.h"
#include "tool/compile_command.h"
#include "tool/package_commands.h"

namespace tool {

namespace {

struct command_run {
  int status;
  std::string out, err;
};

command_run run_tool(int (*command)(int, char**, runtime::disk&, std::ostream&, std::ostream&),
                     test_support::memory_disk& d, std::vector<std::string> args) {
  args.insert(args.begin(), "scenario-tool");
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  std::ostringstream out, err;
  const int status = command(static_cast<int>(argv.size()), argv.data(), d, out, err);
  return {status, out.str(), err.str()};
}

bool has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

const char* two_signals = "segnale,  3000, 1,2,0,0,0,0,0,0,0,0\n";
const char* clashing_signals =
    "segnale,  3000, 1,2,0,0,0,0,0,0,0,0\nsegnale,  3000, 1,2,0,0,0,0,0,0,0,0\n";

test_support::memory_disk author_disk(const std::string& train_records) {
  test_support::memory_disk d;
  d.directories = {"/", "/w"};
  d.files["/w/Valmora_linea.txt"] = test_support::line_description(10000);
  d.files["/w/Valmora_2101-.txt"] = test_support::train_document(train_records);
  return d;
}

const std::vector<std::string> compile_args = {
    "compile", "--line", "/w/Valmora_linea.txt", "--train", "/w/Valmora_2101-.txt",
    "--out",   "/w/out"};

TEST(CompileCommand, NamesThePackageAfterTheDocumentsAndMakesItsDirectory) {
  test_support::memory_disk d = author_disk(two_signals);
  const command_run r = run_tool(compile_command, d, compile_args);
  ASSERT_EQ(r.status, run::exit_clean) << r.err;
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "wrote " + model::path_in("/w/out", "Valmora_linea.dat") + ", " +
                       model::path_in("/w/out", "Valmora_2101.sim") + " and " +
                       model::path_in("/w/out", "Valmora_2101.dat") + "\n");
  EXPECT_TRUE(d.files.count("/w/out/Valmora_2101.sim"));

  // inspect finds the one package of the directory by itself.
  const command_run inspect = run_tool(inspect_command, d, {"inspect", "/w/out"});
  EXPECT_EQ(inspect.status, run::exit_clean) << inspect.err;
  EXPECT_TRUE(has(inspect.out, "Valmora, train 2101")) << inspect.out;
}

TEST(CompileCommand, OnAnErrorWritesNothingAndLeavesThePackageAsItWas) {
  test_support::memory_disk d = author_disk(two_signals);
  ASSERT_EQ(run_tool(compile_command, d, compile_args).status, run::exit_clean);
  const auto before = d.files;

  d.files["/w/Valmora_2101-.txt"] = test_support::train_document(
      std::string("segnale,  5000, 1,2,0,0,0,0,0,0,0,0\n") + clashing_signals);
  auto after_edit = d.files;
  const command_run r = run_tool(compile_command, d, compile_args);
  EXPECT_EQ(r.status, run::exit_compile_fault);
  EXPECT_EQ(r.err,
            "/w/Valmora_2101-.txt:8:1: error: a signal's cell is not free at 3000 m (record "
            "\"segnale\"); the cell is taken by the \"segnale\" record at line 7 of the train "
            "document: move one of them by at least 50 m [code 16]\n"
            "scenario-tool compile: 1 error; no package written (the one in /w/out is "
            "unchanged)\n");
  EXPECT_EQ(r.out, "");
  EXPECT_TRUE(d.files == after_edit);
  for (const char* name :
       {"/w/out/Valmora_linea.dat", "/w/out/Valmora_2101.sim", "/w/out/Valmora_2101.dat"})
    EXPECT_EQ(d.files[name], before.at(name)) << name;

  // --keep-partial writes what compiled, as the generator does.
  std::vector<std::string> partial = compile_args;
  partial.push_back("--keep-partial");
  const command_run kept = run_tool(compile_command, d, partial);
  EXPECT_EQ(kept.status, run::exit_compile_fault);
  EXPECT_TRUE(has(kept.out, "wrote " + model::path_in("/w/out", "Valmora_linea.dat"))) << kept.out;
  EXPECT_NE(d.files["/w/out/Valmora_2101.dat"], before.at("/w/out/Valmora_2101.dat"));
}

// In a directory that is there already, the package is written under
// temporary names while the checker reads the documents (the plan's file
// from the moment the line description is compiled, the other two once the
// train document is); it takes its place only when the check finds no error.
// A disk that fails on the way, or a reserved slot found taken after the plan
// was written, is reported only when the package was to be written, and
// either way the earlier package and the directory stay as they were.
TEST(CompileCommand, APackageWrittenBesideTheCheckTakesItsPlaceOnlyWhenTheCheckIsClean) {
  const std::string clashing =
      std::string("segnale,  5000, 1,2,0,0,0,0,0,0,0,0\n") + clashing_signals;
  const struct {
    const char* what;
    std::string train_records;
    const char* failing_op;  // "" for a disk that works
    int status;
    const char* err_part;
    const char* line_records = "";
  } cases[] = {
      {"clean documents", two_signals, "", run::exit_clean, ""},
      {"an error in the documents", clashing, "", run::exit_compile_fault, "no package written"},
      {"a full disk", two_signals, "write", run::exit_io_failure, "No space left on device"},
      {"a full disk and an error", clashing, "write", run::exit_compile_fault,
       "no package written"},
      {"a rename that fails", two_signals, "rename", run::exit_io_failure, "Permission denied"},
      {"a grid file that cannot be made", two_signals, "create", run::exit_io_failure,
       "Valmora_2101.dat: Permission denied"},
      {"a reserved slot in use", two_signals, "", run::exit_reserved_slot, " Errore n. 1250",
       "indicatori_vmax,  0,  100,  0,  0,  0,  0,  0,  0,  0\n"},
  };
  for (const auto& c : cases) {
    test_support::memory_disk d = author_disk("segnale,  7000, 1,2,0,0,0,0,0,0,0,0\n");
    ASSERT_EQ(run_tool(compile_command, d, compile_args).status, run::exit_clean);
    const auto earlier = d.files;
    d.files["/w/Valmora_2101-.txt"] = test_support::train_document(c.train_records);
    d.files["/w/Valmora_linea.txt"] = test_support::line_description(10000, c.line_records);
    const auto edited = d.files;
    if (std::string(c.failing_op) == "write") d.space_left = 1000;
    if (std::string(c.failing_op) == "rename")
      d.failures.push_back({"rename", "Valmora_2101.sim", "Permission denied"});
    if (std::string(c.failing_op) == "create")
      d.failures.push_back({"create", "Valmora_2101.dat.new", "Permission denied"});

    const command_run r = run_tool(compile_command, d, compile_args);
    EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.err;
    EXPECT_TRUE(has(r.err, c.err_part)) << c.what << "\n" << r.err;
    EXPECT_EQ(d.open_files(), 0u) << c.what;
    EXPECT_FALSE(d.locked("/w/out")) << c.what;
    if (c.status == run::exit_clean) {
      EXPECT_NE(d.files["/w/out/Valmora_2101.dat"], earlier.at("/w/out/Valmora_2101.dat"));
      EXPECT_EQ(d.files.size(), edited.size()) << c.what << ": a temporary file is left";
    } else {
      EXPECT_TRUE(d.files == edited) << c.what << ": the directory changed";
    }
  }
}

TEST(CompileCommand, PrintsTheCheckersWarningsAndHonoursItsSwitches) {
  test_support::memory_disk d =
      author_disk(std::string(two_signals) + "segnalee,  5000, 1,2,0,0,0,0,0,0,0,0\n");
  d.files["/w/Valmora_linea.txt"] = test_support::line_description(10000, "cruvas2,  950,  400\n");
  const command_run r = run_tool(compile_command, d, compile_args);
  EXPECT_EQ(r.status, run::exit_clean) << r.err;
  EXPECT_EQ(r.err,
            "/w/Valmora_linea.txt:11:1: warning: unknown keyword 'cruvas2': the compile skips "
            "this line; did you mean 'curvas2'? [unknown-keyword]\n"
            "scenario-tool compile: 1 warning\n");

  std::vector<std::string> quiet = compile_args;
  quiet.push_back("-Wno-unknown-keyword");
  const command_run q = run_tool(compile_command, d, quiet);
  EXPECT_EQ(q.status, run::exit_clean);
  EXPECT_EQ(q.err, "");

  d.files.erase("/w/out/Valmora_2101.sim");
  std::vector<std::string> strict = compile_args;
  strict.push_back("-Werror");
  const command_run s = run_tool(compile_command, d, strict);
  EXPECT_EQ(s.status, run::exit_compile_fault);
  EXPECT_TRUE(has(s.err, "error: unknown keyword 'cruvas2'")) << s.err;
  EXPECT_TRUE(has(s.err, "1 error; no package written")) << s.err;
  EXPECT_FALSE(d.files.count("/w/out/Valmora_2101.sim"));
}

TEST(CompileCommand, ATrainDocumentWithNoRecordIsAnError) {
  for (const char* train : {"", "numero vetture, 3\n[fine]\n", "[generale]\n[fine]\n"}) {
    test_support::memory_disk d = author_disk("");
    d.files["/w/Valmora_2101-.txt"] = train;
    const command_run r = run_tool(compile_command, d, compile_args);
    EXPECT_EQ(r.status, run::exit_compile_fault) << train;
    EXPECT_TRUE(has(r.err, "/w/Valmora_2101-.txt:1:1: error: the train document holds no record"))
        << r.err;
    EXPECT_FALSE(d.files.count("/w/out/Valmora_2101.sim")) << train;
  }
}

TEST(CompileCommand, CommandLineMistakesAreNamed) {
  test_support::memory_disk d = author_disk(two_signals);
  struct {
    std::vector<std::string> args;
    std::string err_part;
  } cases[] = {
      {{"compile", "--line", "/w/Valmora_linea.txt"}, "compile: --train FILE is missing\n"},
      {{"compile"}, "compile: --line FILE and --train FILE are missing\n"},
      {{"compile", "--lien", "x"}, "unknown option --lien; did you mean --line?"},
      {{"compile", "--line", "a", "--train", "b", "-Wno-unknwn-keyword"},
       "did you mean '-Wno-unknown-keyword'?"},
      {{"compile", "--line", "a", "--train", "b", "extra"}, "unexpected argument 'extra'"},
  };
  for (const auto& c : cases) {
    const command_run r = run_tool(compile_command, d, c.args);
    EXPECT_EQ(r.status, run::exit_usage) << c.err_part;
    EXPECT_TRUE(has(r.err, c.err_part)) << r.err;
  }
}

TEST(CompileCommand, NamesThatDoNotFollowThePatternFallBackWithANote) {
  test_support::memory_disk d;
  d.directories = {"/", "/w"};
  d.files["/w/line.txt"] = test_support::line_description(10000);
  d.files["/w/train.txt"] = test_support::train_document(two_signals);
  const command_run r =
      run_tool(compile_command, d,
               {"compile", "--line", "/w/line.txt", "--train", "/w/train.txt", "--out", "/w"});
  EXPECT_EQ(r.status, run::exit_clean) << r.err;
  EXPECT_TRUE(has(r.err, "note: /w/line.txt is not named NAME_linea.txt")) << r.err;
  EXPECT_TRUE(d.files.count("/w/Borvasco_Lestrano_40817.sim"));
}

TEST(PackageCommands, FindThePackageOrSayWhichToChoose) {
  test_support::memory_disk d = author_disk(two_signals);
  ASSERT_EQ(run_tool(compile_command, d, compile_args).status, run::exit_clean);
  std::vector<std::string> second = compile_args;
  second.insert(second.end(), {"--train-number", "2102"});
  ASSERT_EQ(run_tool(compile_command, d, second).status, run::exit_clean);

  const command_run both = run_tool(inspect_command, d, {"inspect", "/w/out"});
  EXPECT_EQ(both.status, run::exit_usage);
  EXPECT_EQ(both.err,
            "scenario-tool: /w/out holds 2 packages (Valmora 2101, Valmora 2102); name one with "
            "--line-name and --train-number\n");
  const command_run one =
      run_tool(inspect_command, d, {"inspect", "/w/out", "--train-number", "2102"});
  EXPECT_EQ(one.status, run::exit_clean) << one.err;
  const command_run none = run_tool(inspect_command, d, {"inspect", "/w"});
  EXPECT_EQ(none.status, run::exit_io_failure);
  EXPECT_TRUE(has(none.err, "/w holds no scenario package")) << none.err;

  // "-o -" is standard output, not a file named "-".
  const command_run svg =
      run_tool(render_command, d, {"render", "/w/out", "--train-number", "2101", "-o", "-"});
  EXPECT_EQ(svg.status, run::exit_clean) << svg.err;
  EXPECT_TRUE(svg.out.starts_with("<?xml")) << svg.out.substr(0, 40);
  EXPECT_FALSE(d.exists("-"));
  EXPECT_FALSE(d.exists("/w/-"));
}

}  // namespace

}  // namespace tool
