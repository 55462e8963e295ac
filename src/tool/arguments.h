#pragma once
// A small command-line parser: "--name value" options, "--flag" flags and
// positional arguments, with a clear message for anything unknown.

#include <map>
#include <set>
#include <string>
#include <vector>

namespace tool {

struct arguments {
  std::vector<std::string> positional;
  std::map<std::string, std::string> options;
  std::set<std::string> flags;

  bool has(const std::string& flag) const { return flags.count(flag) > 0; }
  std::string option(const std::string& name, const std::string& fallback = "") const {
    auto it = options.find(name);
    return it == options.end() ? fallback : it->second;
  }
};

// Parses argv[first..]. `with_value` lists the options that take a value
// (short aliases such as "-o" included), `flags` the ones that do not. False,
// with *error set, on an unknown option, a missing value, an empty one (but
// for --train-number, which may be empty), an option
// given twice or an empty argument (an empty path would name the root).
bool parse_arguments(int argc, char** argv, int first, const std::set<std::string>& with_value,
                     const std::set<std::string>& flags, arguments* out, std::string* error);

// The options of `required` ("--line FILE") that the arguments lack, as a
// message for the user ("--train FILE is missing"); empty when none is.
std::string missing_options(const arguments& args, const std::vector<std::string>& required);

}  // namespace tool
