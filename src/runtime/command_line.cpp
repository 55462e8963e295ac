// The splitting of a Windows command line into arguments, kept apart from
// the Windows file so that every system tests it.

#include <string>
#include <string_view>
#include <vector>

#include "runtime/desktop.h"

namespace runtime {

std::vector<std::wstring> split_command_line(std::wstring_view line) {
  auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  size_t i = 0;
  // The program's name: quotes group, and a backslash is only a backslash.
  for (bool quoted = false; i < line.size() && (quoted || !blank(line[i])); ++i)
    if (line[i] == L'"') quoted = !quoted;

  std::vector<std::wstring> args;
  for (;;) {
    while (i < line.size() && blank(line[i])) ++i;
    if (i >= line.size()) break;
    std::wstring arg;
    bool quoted = false;
    while (i < line.size() && (quoted || !blank(line[i]))) {
      const wchar_t c = line[i];
      if (c == L'\\') {
        // 2n backslashes before a quote are n and the quote groups; 2n + 1
        // are n and a quote of the argument; elsewhere they stand as typed.
        size_t n = 0;
        for (; i < line.size() && line[i] == L'\\'; ++i) ++n;
        if (i < line.size() && line[i] == L'"') {
          arg.append(n / 2, L'\\');
          if (n % 2 == 1) {
            arg += L'"';
            ++i;
          }
        } else {
          arg.append(n, L'\\');
        }
        continue;
      }
      if (c == L'"') {
        // Two quotes inside quotes are one quote of the argument.
        if (quoted && i + 1 < line.size() && line[i + 1] == L'"') {
          arg += L'"';
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      arg += c;
      ++i;
    }
    args.push_back(std::move(arg));
  }
  return args;
}

}  // namespace runtime
