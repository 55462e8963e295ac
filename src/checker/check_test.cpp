#include "checker/check.h"

#include <gtest/gtest.h>

#include <sstream>

#include "compiler/compile.h"
#include "documents/builtin_documents.h"
#include "runtime/windows1252.h"
#include "test_support/memory_disk.h"
#include "test_support/scenario_fixture.h"
#include "tool/check_command.h"
#include "tool/compile_command.h"

namespace checker {

namespace {

// The records of line_description() begin on line 11, those of
// train_document() on line 6.
constexpr int first_line_record = 11;
constexpr int first_train_record = 6;

std::string joined(std::span<const std::string_view> lines) {
  std::string text;
  for (std::string_view l : lines) text.append(runtime::to_windows1252(l)).append("\r\n");
  return text;
}

// A finding in short: "line:L:C code N" or "train:L:C KIND".
std::string brief(const compiler::finding& f) {
  std::string s = f.document == compiler::source_document::line_description ? "line:"
                  : f.document == compiler::source_document::train_document ? "train:"
                                                                            : "none:";
  s += std::to_string(f.line) + ":" + std::to_string(f.column) + " ";
  if (f.code) s += "code " + std::to_string(compiler::fault_number(*f.code));
  if (f.kind) s += std::string(compiler::warning_name(*f.kind));
  return s;
}

std::vector<std::string> briefs(const std::string& line, const std::string& train,
                                const check_options& options = {}) {
  std::vector<std::string> out;
  for (const compiler::finding& f : check_documents({line, train}, options))
    out.push_back(brief(f));
  return out;
}

std::string at_line(int n) {
  return std::to_string(n);
}

TEST(Check, FindsNothingInTheBuiltInDocuments) {
  EXPECT_EQ(
      briefs(joined(documents::line_document_lines()), joined(documents::train_document_lines())),
      std::vector<std::string>{});
}

// Records added to a small scenario, and what is expected of them.
struct records_case {
  const char* name;
  std::string line_records, train_records;
  std::vector<std::string> expected;
};

// Each case: records added to a small scenario, and the findings expected
// (all of them, in order).
TEST(Check, ReportsEachMistakeAtItsRecord) {
  const std::string l = at_line(first_line_record), l2 = at_line(first_line_record + 1);
  const std::string t = at_line(first_train_record), t2 = at_line(first_train_record + 1),
                    t3 = at_line(first_train_record + 2);
  const records_case cases[] = {
      {"values that do not fit their slot, marked on the value",
       "pendenza,  0,  200\npendenza,  1000,  -100\nmontagna,  2000,  2500,  300\n",
       "aderenza,  0,  300\nsegnale,  3000, 1,2,0,0,0,0,0,12,0,0\n",
       {"line:" + l + ":16 value-range",
        "line:" + at_line(first_line_record + 2) + ":26 value-range",
        "train:" + t + ":16 value-range", "train:" + t2 + ":31 value-range"}},
      {"objects past the route's end but inside the grid",
       "",
       "segnale,  10500, 1,2,0,0,0,0,0,0,0,0\n"
       "stazione,  10600, 12, 200, 0,0,0, 0,0,0, 0,0,0, 0, 9,0,0, UNO\n",
       {"train:" + t + ":1 cut-short", "train:" + t2 + ":1 cut-short"}},
      {"misspelt keywords",
       "cruvas2,  950,  400\n",
       "sengale,  3000, 1,2,0,0,0,0,0,0,0,0\n",
       {"line:" + l + ":1 unknown-keyword", "train:" + t + ":1 unknown-keyword"}},
      {"several cells taken: the compile stops at the first, the check goes on",
       "",
       "segnale,  3000, 1,2,0,0,0,0,0,0,0,0\n"
       "segnale,  3000, 1,2,0,0,0,0,0,0,0,0\n"
       "abbattimento,  3050, 80\n",
       {"train:" + t2 + ":1 code 16", "train:" + t3 + ":1 code 7"}},
      {"records beyond the route, each one",
       "pendenza,  90000,  2\n",
       "velocita,  95000,  50\nsegnale,  99000, 1,2,0,0,0,0,0,0,0,0\n",
       // Marked on the position, the value at fault.
       {"line:" + l + ":12 code 15", "train:" + t + ":12 code 15", "train:" + t2 + ":11 code 15"}},
      {"station faults after the first",
       "",
       "stazione,  1000, 12, 200, 0,0,0, 0,0,0, 0,0,0, 0, 9,0,0, UNO\n"
       "stazione,  1225, 12, 200, 0,0,0, 0,0,0, 0,0,0, 0, 9,0,0, DUE\n"
       "stazione,  1200, 12, 200, 0,0,0, 0,0,0, 0,0,0, 0, 9,0,0, TRE\n",
       {"train:" + t2 + ":12 code 8", "train:" + t3 + ":1 code 22"}},
      {"speed limits out of order",
       "",
       "velocita,  0,  50\nvelocita,  3000,  80\nvelocita,  2000,  60\n",
       {"train:" + t3 + ":1 out-of-order"}},
      {"too few and too many fields",
       "pendenza,  0\nmontagna,  100,  600,  2,  7\n",
       "",
       // The compile takes the next line's keyword for the missing value,
       // and the fault is marked there.
       {"line:" + l + ":1 field-count", "line:" + l2 + ":1 code 25",
        "line:" + l2 + ":28 field-count"}},
      {"a value that is not a number, after a record that is fine",
       "pendenza,  0,  2\npendenza,  50,  2x\n",
       "",
       {"line:" + l2 + ":17 code 25"}},
      {"a board text too long, a station name too long",
       "cartello_indicatore,  3500,   (PASSAGGIO A LIVELLO)\n",
       "stazione,  1000, 12, 200, 0,0,0, 0,0,0, 0,0,0, 0, 9,0,0, SANTA MARIA DEGLI ANGELI E DEI "
       "MARTIRI\n",
       {"line:" + l + ":1 text-too-long", "train:" + t + ":1 text-too-long"}},
      {"records in the wrong document",
       "segnale,  3000, 1,2,0,0,0,0,0,0,0,0\n",
       "pendenza,  0,  2\n",
       {"line:" + l + ":1 misplaced-record", "train:" + t + ":1 misplaced-record"}},
      {"a keyword naming two records, a keyword with a dash",
       "pendenza curva,  0,  2\n",
       "segnale-1,  3000, 1,2,0,0,0,0,0,0,0,0\n",
       {"line:" + l + ":1 ambiguous-keyword", "line:" + l2 + ":1 code 25",
        "train:" + t + ":1 dash-keyword"}},
      {"a mountain past the grid, a signal in the first 325 m",
       "montagna,  5000,  20000,  2\n",
       "segnale,  100, 1,2,0,0,0,0,0,0,0,0\n",
       {"line:" + l + ":1 cut-short", "train:" + t + ":1 cut-short"}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(briefs(test_support::line_description(10000, c.line_records),
                     test_support::train_document(c.train_records)),
              c.expected)
        << c.name;
  }
}

// The general header's keys: each mistake is a header-key warning at its
// line, with what the compile makes of it.
TEST(Check, WarnsOfHeaderKeysMisspeltInTheWrongCaseRepeatedOrMissing) {
  const struct {
    const char* name;
    std::string from, to;
    std::vector<std::string> expected;
    const char* said;
  } cases[] = {
      {"wrong case",
       "progressiva chilometrica uno",
       "Progressiva chilometrica uno",
       {"line:3:1 header-key"},
       "(header keys are matched with their case)"},
      // Repeated, so the key it replaced is missing too (said at "[generale]").
      {"repeated",
       "sfondo due",
       "sfondo uno",
       {"line:1:1 header-key", "line:7:1 header-key"},
       "'sfondo uno' again (first on line 6)"},
      {"missing",
       "sfondo tre,    0\n",
       "",
       {"line:1:1 header-key"},
       "the general header has no 'sfondo tre' key"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string line = test_support::line_description(10000);
    line.replace(line.find(c.from), c.from.size(), c.to);
    const std::vector<compiler::finding> found =
        check_documents({line, test_support::train_document()}, {});
    std::vector<std::string> got;
    std::string messages;
    for (const compiler::finding& f : found) {
      got.push_back(brief(f));
      messages += f.message + "\n";
    }
    EXPECT_EQ(got, c.expected);
    EXPECT_NE(messages.find(c.said), std::string::npos) << messages;
  }
}

// Text after "[fine]" is read by the compile all the same: one warning, at
// the first line after the marker, in either document.
TEST(Check, WarnsOnceOfTextAfterTheEndMarker) {
  const std::string line =
      test_support::line_description(10000) + "pendenza,  0,  2\npendenza,  500,  3\n";
  const std::string train = test_support::train_document() + "velocita,  0,  50\n";
  EXPECT_EQ(briefs(line, train),
            (std::vector<std::string>{"line:12:1 after-end-marker", "train:7:1 after-end-marker"}));
  check_options quiet;
  quiet.disabled.insert(compiler::warning_kind::after_end_marker);
  EXPECT_EQ(briefs(line, train, quiet), std::vector<std::string>{});
}

TEST(Check, ReportsTheCompilesOwnFaultExactly) {
  // A second route length after the header key's misspelling: the compile
  // finds no route length and says so at the header's end.
  std::string line = test_support::line_description(10000);
  line.replace(line.find("lunghezza percorso"), 18, "lunghezza percroso");
  const std::vector<compiler::finding> found =
      check_documents({line, test_support::train_document()}, {});
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(brief(found[0]), "line:2:1 header-key");
  EXPECT_NE(found[0].message.find("did you mean 'lunghezza percorso'?"), std::string::npos);
  EXPECT_EQ(brief(found[1]), "line:10:1 code 104");
  EXPECT_TRUE(found[1].from_compile);

  // The compile's fault at a signal, with its position; the check's own
  // finding for the same record is not repeated.
  const std::vector<compiler::finding> taken =
      check_documents({test_support::line_description(10000),
                       test_support::train_document("segnale,  3000, 1,2,0,0,0,0,0,0,0,0\n"
                                                    "segnale,  3010, 1,2,0,0,0,0,0,0,0,0\n")},
                      {});
  ASSERT_EQ(taken.size(), 1u);
  EXPECT_TRUE(taken[0].from_compile);
  EXPECT_EQ(brief(taken[0]), "train:7:1 code 16");
  EXPECT_EQ(taken[0].position, 3010);
}

TEST(Check, PlacesAFaultThatNamesNoRecordAtTheRecordBehindIt) {
  // The kilometric ranges are checked once the train document is read; the
  // fault belongs to the header's range record.
  std::string line = test_support::line_description(10000);
  line.replace(line.find("progressiva chilometrica due,    0,    0"), 40,
               "progressiva chilometrica due,    1225,    9000");
  compiler::compile_fault fault;
  fault.code = compiler::fault_code::range_not_on_50;
  fault.document = compiler::source_document::train_document;
  locate_fault({line, test_support::train_document()}, fault);
  EXPECT_EQ(fault.document, compiler::source_document::line_description);
  EXPECT_EQ(fault.line, 4);
}

TEST(Check, GoesOnPastAFullStationTableWithoutOverrunningIt) {
  // 90 stations 1000 m apart: the 79th reaches the boards' entries (fault
  // 10); the rest have no entry to be read into and are not checked.
  std::string stations;
  for (int i = 1; i <= 90; ++i)
    stations +=
        "stazione,  " + std::to_string(i * 1000) + ", 12, 200, 0,0,0, 0,0,0, 0,0,0, 0, 9,0,0, S\n";
  const std::vector<std::string> found =
      briefs(test_support::line_description(100000), test_support::train_document(stations));
  EXPECT_EQ(found,
            std::vector<std::string>{"train:" + at_line(first_train_record + 78) + ":1 code 10"});
}

TEST(Check, WarningsCanBeSwitchedOffOrMadeErrors) {
  const std::string line = test_support::line_description(10000, "cruvas2,  950,  400\n");
  check_options off;
  off.disabled.insert(compiler::warning_kind::unknown_keyword);
  EXPECT_TRUE(check_documents({line, test_support::train_document()}, off).empty());
  check_options strict;
  strict.warnings_are_errors = true;
  const std::vector<compiler::finding> found =
      check_documents({line, test_support::train_document()}, strict);
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].level, compiler::diagnostic_level::error);
}

TEST(Check, FindsUtf8InAWindows1252Document) {
  const std::string train = test_support::train_document(
      "stazione,  1000, 12, 200, 0,0,0, 0,0,0, 0,0,0, 0, 9,0,0, SAN DALM\xC3\x8CO\n");
  const std::vector<compiler::finding> found =
      check_documents({test_support::line_description(10000), train}, {});
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(brief(found[0]), "train:6:66 utf8-in-document");
  // A Windows-1252 letter alone is not taken for UTF-8.
  EXPECT_TRUE(check_documents(
                  {test_support::line_description(10000),
                   test_support::train_document("stazione,  1000, 12, 200, 0,0,0, 0,0,0, 0,0,0, 0, "
                                                "9,0,0, SAN DALM\xCCO\n")},
                  {})
                  .empty());
}

TEST(Check, NeverCrashesOnGarbageAndKeepsItsOutputBounded) {
  std::string garbage;
  uint32_t x = 12345;
  for (int i = 0; i < 200000; ++i) {
    x = x * 1103515245 + 12345;
    const char c = static_cast<char>(x >> 24);
    garbage += (x >> 8) % 7 == 0 ? '\n' : (x >> 8) % 5 == 0 ? ',' : c;
  }
  for (const std::string& line :
       {garbage, "[generale]\nlunghezza percorso, 5000\n[x]\n" + garbage}) {
    test_support::memory_disk d;
    d.files["/l.txt"] = line;
    d.files["/t.txt"] = "[generale]\n" + garbage;
    std::vector<std::string> args = {"scenario-tool", "check",   "--line",
                                     "/l.txt",        "--train", "/t.txt"};
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    std::ostringstream out, err;
    const int status = tool::check_command(static_cast<int>(argv.size()), argv.data(), d, out, err);
    EXPECT_TRUE(status == 0 || status == 1);
    size_t lines = 0;
    for (char c : out.str()) lines += c == '\n';
    EXPECT_LE(lines, 100u);
  }
}

// The command's output: the editors' form and JSON, and its exit statuses.
struct command_run {
  int status;
  std::string out, err;
};

command_run run_tool(int (*command)(int, char**, runtime::disk&, std::ostream&, std::ostream&),
                     test_support::memory_disk& d, std::vector<std::string> args) {
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  std::ostringstream out, err;
  const int status = command(static_cast<int>(argv.size()), argv.data(), d, out, err);
  return {status, out.str(), err.str()};
}

TEST(CheckCommand, PrintsMessagesInTheEditorsFormAndAsJson) {
  test_support::memory_disk d;
  d.files["/w/linea.txt"] = test_support::line_description(10000, "cruvas2,  950,  400\n");
  d.files["/w/treno.txt"] = test_support::train_document(
      "segnale,  3000, 1,2,0,0,0,0,0,0,0,0\nsegnale,  3000, 1,2,0,0,0,0,0,0,0,0\n");
  const std::vector<std::string> base = {"scenario-tool", "check",   "--line",
                                         "/w/linea.txt",  "--train", "/w/treno.txt"};
  command_run text = run_tool(tool::check_command, d, base);
  EXPECT_EQ(text.status, 1);
  EXPECT_EQ(text.out,
            "/w/linea.txt:11:1: warning: unknown keyword 'cruvas2': the compile skips this line; "
            "did you mean 'curvas2'? [unknown-keyword]\n"
            "/w/treno.txt:7:1: error: a signal's cell is not free at 3000 m (record \"segnale\"); "
            "the cell is taken by the \"segnale\" record at line 6 of the train document: move "
            "one of them by at least 50 m [code 16]\n");
  EXPECT_EQ(text.err, "scenario-tool check: 1 error and 1 warning\n");

  std::vector<std::string> json_args = base;
  json_args.insert(json_args.end(), {"--format", "json", "-Wno-unknown-keyword"});
  command_run json = run_tool(tool::check_command, d, json_args);
  EXPECT_EQ(json.status, 1);
  EXPECT_EQ(json.out,
            "[\n  {\"file\": \"/w/treno.txt\", \"line\": 7, \"column\": 1, \"range\": "
            "{\"start_column\": 1, \"end_column\": 8}, \"severity\": \"error\", "
            "\"code\": 16, \"position\": 3000, \"from_compile\": true, \"message\": \"a signal's "
            "cell is not free at 3000 m (record \\\"segnale\\\"); the cell is taken by the "
            "\\\"segnale\\\" record at line 6 of the train document: move one of them by at "
            "least 50 m\", \"related\": [{\"file\": \"/w/treno.txt\", \"line\": 6, \"range\": "
            "{\"start_column\": 1, \"end_column\": 36}, \"message\": \"the signal that holds this "
            "cell\"}]}\n]\n");

  // Warnings alone: status 0, or 1 with -Werror; an unknown kind is a usage
  // error.
  d.files["/w/treno.txt"] = test_support::train_document();
  EXPECT_EQ(run_tool(tool::check_command, d, base).status, 0);
  std::vector<std::string> strict = base;
  strict.push_back("-Werror");
  EXPECT_EQ(run_tool(tool::check_command, d, strict).status, 1);
  std::vector<std::string> unknown = base;
  unknown.push_back("-Wno-such-thing");
  EXPECT_EQ(run_tool(tool::check_command, d, unknown).status, 2);
}

TEST(CompileCommand, ReportsItsFaultInTheEditorsForm) {
  test_support::memory_disk d;
  d.files["/w/linea.txt"] = test_support::line_description(10000);
  d.files["/w/treno.txt"] = test_support::train_document(
      "segnale,  3000, 1,2,0,0,0,0,0,0,0,0\n   segnale,  3000, 1,2,0,0,0,0,0,0,0,0\n");
  d.directories.insert("/out");
  command_run r =
      run_tool(tool::compile_command, d,
               {"scenario-tool", "compile", "--line", "/w/linea.txt", "--train", "/w/treno.txt",
                "--out", "/out", "--line-name", "L", "--train-number", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "/w/treno.txt:7:4: error: a signal's cell is not free at 3000 m (record \"segnale\"); "
            "the cell is taken by the \"segnale\" record at line 6 of the train document: move "
            "one of them by at least 50 m [code 16]\n"
            "scenario-tool compile: 1 error; no package written\n");
}

}  // namespace

namespace {

// The words an author reads for a value its slot cannot hold: the record,
// the field, the value and what the package will hold.
TEST(Check, SaysWhatAValueOutOfItsSlotBecomes) {
  const std::vector<compiler::finding> found =
      check_documents({test_support::line_description(10000, "pendenza,  0,  200\n"),
                       test_support::train_document("aderenza,  0,  300\n")},
                      {});
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[0].message,
            "the gradient 200 of this \"pendenza\" record does not fit the byte it is kept in "
            "(-100 to 155): the package will hold -56 in its place");
  EXPECT_EQ(found[1].message,
            "the value 300 of this \"aderenza\" record does not fit the byte it is kept in (0 to "
            "255): the package will hold 44 in its place");
  EXPECT_EQ(found[1].kind, compiler::warning_kind::value_range);
}

}  // namespace

namespace {

// Each planted mistake is said once, with the words that tell an author
// what to do.
TEST(Check, MessagesSayWhatToDo) {
  const std::string line = test_support::line_description(10000);
  const std::string train = test_support::train_document();
  struct {
    const char* name;
    std::string line, train;
    size_t count;  // findings in all
    std::string words;
  } cases[] = {
      {"where the grid ends", test_support::line_description(10000, "pendenza,  90000,  2\n"),
       train, 1,
       "the track grid's last cell is 340, so records may stand up to 16900 m and stations up "
       "to 16200 m"},
      {"a decimal comma", test_support::line_description(10000, "pendenza,  1000,  12,5\n"), train,
       1, "'12,5' looks like a decimal comma"},
      // The compile's own fault follows: it reads the missing value from the
      // next line.
      {"grammar: one value, an adhesion record", line,
       test_support::train_document("aderenza,  0\n"), 2,
       "an adhesion record (aderenza) takes 2 values after its keyword; this line has 1"},
      {"blank separators, said once a document",
       test_support::line_description(10000,
                                      "pendenza 1000 4\npendenza 2000 -3\npendenza\t3000\t2\n"),
       train, 2, "separated by blanks, not commas"},
      {"a byte-order mark", "\xEF\xBB\xBF" + line, train, 1, "a UTF-8 byte-order mark"},
      {"swapped documents", test_support::train_document("segnale,  3000, 1,2,0,0,0,0,0,0,0,0\n"),
       test_support::line_description(10000, "pendenza,  0,  2\ncurvas2,  950,  400\n"), 1,
       "the documents look swapped"},
  };
  for (const auto& c : cases) {
    const std::vector<compiler::finding> found = check_documents({c.line, c.train}, {});
    EXPECT_EQ(found.size(), c.count) << c.name;
    bool said = false;
    for (const compiler::finding& f : found)
      said = said || f.message.find(c.words) != std::string::npos;
    EXPECT_TRUE(said) << c.name << ": " << (found.empty() ? "" : found[0].message);
  }
}

}  // namespace

// A fault of one value is marked on that value, by the compile's located
// fault and by the check alike.
TEST(Check, AValueFaultIsMarkedOnTheValue) {
  struct {
    const char* record;
    compiler::fault_code code;
    const char* value;  // the value at fault, as written
  } cases[] = {
      {"segnale,  30x0, 1,2,0,0,0,0,0,0,0,0\n", compiler::fault_code::runtime_fault, "30x0"},
      {"segnale,  99000, 1,2,0,0,0,0,0,0,0,0\n", compiler::fault_code::beyond_grid, "99000"},
      {"segnale,  3000, 1,2x,0,0,0,0,0,0,0,0\n", compiler::fault_code::runtime_fault, "2x"},
  };
  for (const auto& c : cases) {
    const std::string line = test_support::line_description(10000),
                      train = test_support::train_document(c.record);
    const int column = static_cast<int>(std::string_view(c.record).find(c.value)) + 1;
    compiler::compile_input input;
    input.line_description = line;
    input.train_document = train;
    const compiler::compile_result compiled = compiler::compile_documents(input);
    ASSERT_TRUE(compiled.fault) << c.record;
    compiler::compile_fault fault = *compiled.fault;
    locate_fault({line, train}, fault);
    EXPECT_EQ(fault.code, c.code) << c.record;
    EXPECT_EQ(fault.line, first_train_record) << c.record;
    EXPECT_EQ(fault.column, column) << c.record;
    const std::vector<compiler::finding> found = check_documents({line, train}, {});
    ASSERT_EQ(found.size(), 1u) << c.record;
    EXPECT_EQ(found[0].line, first_train_record) << c.record;
    EXPECT_EQ(found[0].column, column) << c.record;
    const int width = static_cast<int>(std::string_view(c.value).size());
    EXPECT_EQ(found[0].range, (compiler::column_range{column, column + width})) << c.record;
  }
}

// What an editor marks for a finding, and the records that explain it: the
// one holding a taken cell (a restriction's included, whose fault names the
// restriction's position rather than the cell's), the one before a record
// out of order.
TEST(Check, AFindingMarksItsFieldAndNamesTheRecordsThatExplainIt) {
  const std::string l = at_line(first_line_record), l2 = at_line(first_line_record + 1);
  const std::string t = at_line(first_train_record), t2 = at_line(first_train_record + 1);
  const records_case cases[] = {
      {"a signal on a signal's cell",
       "",
       "segnale,  3000, 1,2,0,0,0,0,0,0,0,0\nsegnale,  3000, 1,2,0,0,0,0,0,0,0,0\n",
       {"train:" + t2 + ":1 code 16 [1,8) <- train:" + t +
        " [1,36) the signal that holds this cell"}},
      {"a signal on a board of the other document",
       "cartello_indicatore,  3000,   (BIVIO)\n",
       "segnale,  3000, 1,2,0,0,0,0,0,0,0,0\n",
       {"train:" + t + ":1 code 16 [1,8) <- line:" + l +
        " [1,38) the text board that holds this cell"}},
      {"a restriction's warning board on a signal",
       "",
       "segnale,  3800, 1,2,0,0,0,0,0,0,0,0\nrallentamento,  5000, 60, 1000, 2, 1, 5\n",
       {"train:" + t2 + ":1 code 17 [1,14) <- train:" + t +
        " [1,36) the signal that holds this cell"}},
      {"a restriction's end on a signal",
       "",
       "segnale,  6000, 1,2,0,0,0,0,0,0,0,0\nrallentamento,  5000, 60, 1000, 2, 1, 5\n",
       {"train:" + t2 + ":1 code 19 [1,14) <- train:" + t +
        " [1,36) the signal that holds this cell"}},
      {"a gradient that goes backwards",
       "pendenza,  2000,  3\npendenza,  1000,  4\n",
       "",
       {"line:" + l2 + ":1 out-of-order [1,9) <- line:" + l + " [1,20) the gradient before it"}},
      {"a curve that begins before the previous one ends",
       "curvas2,  1000,  400\ncurvas2,  1200,  100\n",
       "",
       {"line:" + l2 + ":1 out-of-order [1,8) <- line:" + l + " [1,21) the curve that ends there"}},
      {"a value beyond the grid, marked alone",
       "pendenza,  90000,  2\n",
       "",
       {"line:" + l + ":12 code 15 [12,17)"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> got;
    for (const compiler::finding& f :
         check_documents({test_support::line_description(10000, c.line_records),
                          test_support::train_document(c.train_records)},
                         {})) {
      std::string s =
          brief(f) + " [" + std::to_string(f.range.begin) + "," + std::to_string(f.range.end) + ")";
      for (const compiler::related_record& r : f.related)
        s += std::string(" <- ") +
             (r.document == compiler::source_document::line_description ? "line:" : "train:") +
             std::to_string(r.line) + " [" + std::to_string(r.columns.begin) + "," +
             std::to_string(r.columns.end) + ") " + r.message;
      got.push_back(s);
    }
    EXPECT_EQ(got, c.expected) << c.name;
  }
}

}  // namespace checker
