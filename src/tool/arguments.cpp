#include "tool/arguments.h"

#include <optional>
#include <vector>

#include "runtime/nearest_word.h"

namespace tool {

bool parse_arguments(int argc, char** argv, int first, const std::set<std::string>& with_value,
                     const std::set<std::string>& flags, arguments* out, std::string* error) {
  for (int i = first; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg.size() > 1 && arg[0] == '-') {
      std::string value;
      size_t eq = arg.find('=');
      bool inline_value = arg.rfind("--", 0) == 0 && eq != std::string::npos;
      if (inline_value) {
        value = arg.substr(eq + 1);
        arg = arg.substr(0, eq);
      }
      if (with_value.count(arg)) {
        if (!inline_value) {
          if (i + 1 >= argc) {
            *error = "option " + arg + " needs a value";
            return false;
          }
          value = argv[++i];
        }
        // An empty path would name the root; only a train number may be
        // empty (its files are then "<line>_.sim" and "<line>_.dat").
        if (value.empty() && arg != "--train-number") {
          *error = "option " + arg + " has an empty value";
          return false;
        }
        if (out->options.count(arg)) {
          *error = "option " + arg + " is given twice";
          return false;
        }
        out->options[arg] = value;
      } else if (flags.count(arg) && !inline_value) {
        out->flags.insert(arg);
      } else {
        *error = "unknown option " + arg;
        std::vector<std::string> known(with_value.begin(), with_value.end());
        known.insert(known.end(), flags.begin(), flags.end());
        if (std::optional<std::string> near = runtime::nearest_word(arg, known))
          *error += "; did you mean " + *near + "?";
        return false;
      }
    } else if (arg.empty()) {
      *error = "an empty argument where a file or directory is meant";
      return false;
    } else {
      out->positional.push_back(arg);
    }
  }
  return true;
}

std::string missing_options(const arguments& args, const std::vector<std::string>& required) {
  std::vector<std::string> missing;
  for (const std::string& r : required)
    if (!args.options.count(r.substr(0, r.find(' ')))) missing.push_back(r);
  if (missing.empty()) return "";
  std::string message;
  for (size_t i = 0; i < missing.size(); ++i)
    message += (i == 0 ? "" : i + 1 == missing.size() ? " and " : ", ") + missing[i];
  return message + (missing.size() == 1 ? " is missing" : " are missing");
}

}  // namespace tool
