#pragma once
// Before a program writes into a directory: the directory is locked for this
// run, and what a killed run left there (an interrupted replacement, stray
// temporary files) is finished or removed.

#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/disk.h"

namespace run {

// Locks `directory` and recovers the files of `paths`. Null on failure, with
// one line naming the directory or the file and the reason written to `err`;
// the caller then ends with exit_io_failure. The lock holds until the
// returned object is destroyed.
std::unique_ptr<runtime::directory_lock> take_directory(runtime::disk& d,
                                                        const std::string& directory,
                                                        const std::vector<std::string>& paths,
                                                        std::string_view program,
                                                        std::ostream& err);

// The directory part of a file's path ("." for a bare name).
std::string directory_of(const std::string& path);

}  // namespace run
