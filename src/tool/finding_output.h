#pragma once
// The findings of check and compile as an author reads them in a terminal
// or an editor reads them: FILE:LINE:COLUMN: error|warning: MESSAGE [TAG],
// and the count that closes a run.

#include <iosfwd>
#include <string>
#include <vector>

#include "checker/check.h"
#include "run/package_step.h"

namespace tool {

// The first `count` findings, one a line, named by the author's file names.
void write_findings(std::ostream& out, const std::vector<compiler::finding>& found, size_t count,
                    const run::document_names& names);

size_t error_count(const std::vector<compiler::finding>& found);

// "1 error and 2 warnings", "3 warnings".
std::string count_of_findings(const std::vector<compiler::finding>& found);

}  // namespace tool
