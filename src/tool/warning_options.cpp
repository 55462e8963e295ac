#include "tool/warning_options.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "runtime/nearest_word.h"

namespace tool {

bool take_warning_options(std::vector<char*>& args, size_t first, checker::check_options* options,
                          std::string* error) {
  for (auto it = args.begin() + static_cast<std::ptrdiff_t>(std::min(first, args.size()));
       it != args.end();) {
    const std::string a = *it;
    if (a.rfind("-W", 0) != 0) {
      ++it;
      continue;
    }
    if (a == "-Werror") {
      options->warnings_are_errors = true;
    } else if (a.rfind("-Wno-", 0) == 0 && compiler::warning_by_name(a.substr(5))) {
      options->disabled.insert(*compiler::warning_by_name(a.substr(5)));
    } else {
      *error = "unknown warning option '" + a + "'";
      std::vector<std::string> known{"-Werror"};
      for (compiler::warning_kind k : compiler::all_warning_kinds())
        known.push_back("-Wno-" + std::string(compiler::warning_name(k)));
      if (std::optional<std::string> near = runtime::nearest_word(a, known))
        *error += "; did you mean '" + *near + "'?";
      return false;
    }
    it = args.erase(it);
  }
  return true;
}

std::string warning_kinds_help() {
  std::string text = "Warning kinds:\n";
  for (compiler::warning_kind k : compiler::all_warning_kinds()) {
    std::string name(compiler::warning_name(k));
    name.resize(std::max<size_t>(name.size() + 1, 18), ' ');
    text += "  " + name + std::string(compiler::warning_meaning(k)) + "\n";
  }
  return text;
}

}  // namespace tool
