#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runtime/desktop.h"

namespace runtime {

namespace {

struct command_line_case {
  const wchar_t* line;
  std::vector<std::wstring> args;
};

TEST(CommandLine, SplitsLikeTheCRuntime) {
  const command_line_case cases[] = {
      {L"scenario-tool.exe", {}},
      {L"scenario-tool.exe   compile\t--out  work", {L"compile", L"--out", L"work"}},
      // The program's name may hold blanks inside quotes, and backslashes.
      {L"\"C:\\Program Files\\x\\scenario-tool.exe\" check", {L"check"}},
      // Quotes group blanks and are not kept; an empty pair is an argument.
      {L"t --line \"C:\\Società\\Заметки\\a b.txt\" \"\"",
       {L"--line", L"C:\\Società\\Заметки\\a b.txt", L""}},
      // Backslashes stand as typed unless a quote follows them.
      {L"t C:\\dir\\ \\\\server\\share", {L"C:\\dir\\", L"\\\\server\\share"}},
      {L"t \"C:\\dir\\\\\" next", {L"C:\\dir\\", L"next"}},
      {L"t a\\\"b", {L"a\"b"}},
      {L"t a\\\\\\\"b", {L"a\\\"b"}},
      {L"t \"a\"\"b\" c", {L"a\"b", L"c"}},
      {L"t ab\"c d\"e", {L"abc de"}},
      {L"t \"unclosed quote", {L"unclosed quote"}},
  };
  for (const command_line_case& c : cases)
    EXPECT_EQ(split_command_line(c.line), c.args) << std::wstring(c.line).size();
}

}  // namespace

}  // namespace runtime
