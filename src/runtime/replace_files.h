#pragma once
// Replacing files without ever losing the old content: each new file is
// written whole under a temporary name beside its final one, and only then
// renamed over it. A set of files that belong together is renamed as a set.

#include <string>
#include <vector>

#include "runtime/disk.h"

// A file operation that failed: the file, the system's reason and what was
// being done ("write", "read", "delete").
struct io_failure {
  std::string path;
  std::string reason;
  std::string action = "write";
};

// "cannot write /dir/file: No space left on device"
std::string describe(const io_failure& failure);

// The temporary name under which the new content of `path` is written.
std::string temporary_name(const std::string& path);

// Puts the temporary files of `paths` in place of the files themselves. On
// failure no file of the set is changed (the earlier files are put back), no
// temporary file is left, and *failure names the file and the reason.
bool replace_together(disk& d, const std::vector<std::string>& paths, io_failure* failure);

// Removes the temporary files of `paths` that exist, after a failed write.
void discard_temporaries(disk& d, const std::vector<std::string>& paths);
