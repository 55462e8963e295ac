// The format reference: every record in it, the worked example compiles
// without a message, and help finds a record by its keyword.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <sstream>

#include "checker/check.h"
#include "compiler/record_table.h"
#include "run/exit_status.h"
#include "tool/format_reference.h"
#include "tool/help_command.h"

namespace tool {

namespace {

TEST(FormatReference, EveryRecordHasItsEntryWithEveryField) {
  const std::vector<reference_record> records = reference_records();
  ASSERT_EQ(records.size(), compiler::all_records().size());
  std::ostringstream man, html;
  write_reference_man(man);
  write_reference_html(html);
  for (const reference_record& r : records) {
    EXPECT_FALSE(r.summary.empty()) << r.keyword;
    EXPECT_FALSE(r.meaning.empty()) << r.keyword;
    for (const reference_field& f : r.fields) EXPECT_FALSE(f.meaning.empty()) << r.keyword;
    EXPECT_NE(man.str().find(".SS " + r.keyword), std::string::npos) << r.keyword;
    EXPECT_NE(html.str().find("<code>" + r.keyword + "</code>"), std::string::npos) << r.keyword;
  }
}

TEST(FormatReference, TheWorkedExampleCompilesWithoutAMessage) {
  const std::vector<compiler::finding> found =
      checker::check_documents({example_line_description(), example_train_document()}, {});
  for (const compiler::finding& f : found) ADD_FAILURE() << f.line << ": " << f.message;
}

TEST(FormatReference, HelpFindsARecordByItsKeywordOrAPartOfIt) {
  auto help = [](const char* topic, std::string* out, std::string* err) {
    std::string argv0 = "scenario-tool", argv1 = "help", argv2 = topic;
    char* argv[] = {argv0.data(), argv1.data(), argv2.data(), nullptr};
    std::ostringstream o, e;
    const int status = help_command(3, argv, o, e);
    *out = o.str();
    *err = e.str();
    return status;
  };
  std::string out, err;
  EXPECT_EQ(help("segnale", &out, &err), run::exit_clean);
  EXPECT_TRUE(out.starts_with("segnale - ")) << out;
  EXPECT_EQ(help("STAZ", &out, &err), run::exit_clean);
  EXPECT_TRUE(out.starts_with("stazione - ")) << out;
  // "progressiva" names the three kilometric ranges.
  EXPECT_EQ(help("progressiva", &out, &err), run::exit_clean);
  EXPECT_NE(out.find("progressiva chilometrica uno"), std::string::npos);
  EXPECT_NE(out.find("progressiva chilometrica tre"), std::string::npos);
  EXPECT_EQ(help("segnalle", &out, &err), run::exit_usage);
  EXPECT_NE(err.find("did you mean 'segnale'?"), std::string::npos) << err;
}

}  // namespace

namespace {

// The indented block that follows the first line of `text` holding
// `marker`, without its indentation.
std::string block_after(const std::string& text, const std::string& marker) {
  size_t at = text.find(marker);
  if (at == std::string::npos) return "";
  at = text.find("\n\n", at);
  if (at == std::string::npos) return "";
  std::string block;
  for (at += 2; text.compare(at, 4, "    ") == 0;) {
    const size_t end = text.find('\n', at);
    if (end == std::string::npos) break;
    block += text.substr(at + 4, end - at - 4) + "\n";
    at = end + 1;
  }
  return block;
}

// The README's first route is the reference's worked example, which
// compiles without a message.
TEST(FormatReference, TheReadmesFirstRouteIsTheWorkedExample) {
  std::ifstream in(std::string(SCENARIO_FUZZ_DIR) + "/../README.md", std::ios::binary);
  ASSERT_TRUE(in) << "README.md not found";
  const std::string readme((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(block_after(readme, "`Valmora_Castelpino_linea.txt`, the line"),
            example_line_description());
  EXPECT_EQ(block_after(readme, "`Valmora_Castelpino_2101-.txt`, the train"),
            example_train_document());
}

}  // namespace

}  // namespace tool
