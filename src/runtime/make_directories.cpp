#include <string>

#include "runtime/disk.h"

namespace runtime {

namespace {

bool is_separator(char c) {
  return c == '/' || c == path_separator;
}

// The directory that holds `path` ("" for a bare name: the working
// directory, which is there).
std::string parent_directory(const std::string& path) {
  size_t end = path.size();
  while (end > 1 && is_separator(path[end - 1])) --end;
  while (end > 0 && !is_separator(path[end - 1])) --end;
  if (end == 0) return "";
  size_t keep = end;
  while (keep > 1 && is_separator(path[keep - 1])) --keep;
  return path.substr(0, keep);
}

}  // namespace

bool make_directories(disk& d, const std::string& path, std::string* err) {
  switch (d.stat(path)) {
    case disk::entry::directory:
      return true;
    case disk::entry::file:
    case disk::entry::other:
      *err = path + ": not a directory";
      return false;
    case disk::entry::missing:
      break;
  }
  const std::string parent = parent_directory(path);
  if (!parent.empty() && parent != path && !make_directories(d, parent, err)) return false;
  std::string reason;
  if (d.make_directory(path, &reason)) return true;
  // Another run may have made it meanwhile.
  if (d.stat(path) == disk::entry::directory) return true;
  *err = path + ": " + reason;
  return false;
}

}  // namespace runtime
