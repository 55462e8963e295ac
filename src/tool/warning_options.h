#pragma once
// The warning switches that check and compile share, as a compiler's:
// -Werror makes every warning an error, -Wno-KIND turns one kind off.

#include <string>
#include <vector>

#include "checker/check.h"

namespace tool {

// Takes every -W option from `args[first]` on out of `args` into *options.
// False, with *error set (and a "did you mean" where a kind is near), on a
// switch or kind that does not exist.
bool take_warning_options(std::vector<char*>& args, size_t first, checker::check_options* options,
                          std::string* error);

// The kinds, one a line with their meanings, for a command's --help.
std::string warning_kinds_help();

}  // namespace tool
