#include "run/directory_guard.h"

#include <ostream>

#include "runtime/replace_files.h"

namespace run {

std::unique_ptr<runtime::directory_lock> take_directory(runtime::disk& d,
                                                        const std::string& directory,
                                                        const std::vector<std::string>& paths,
                                                        std::string_view program,
                                                        std::ostream& err) {
  std::string reason;
  std::unique_ptr<runtime::directory_lock> lock = d.lock_directory(directory, &reason);
  if (!lock) {
    err << program << ": cannot lock " << directory << ": " << reason << std::endl;
    return nullptr;
  }
  runtime::io_failure failure;
  if (!runtime::recover_interrupted_replacement(d, directory, paths, &failure)) {
    err << program << ": " << runtime::describe(failure) << std::endl;
    return nullptr;
  }
  return lock;
}

std::string directory_of(const std::string& path) {
  const size_t slash = runtime::last_separator(path);
  if (slash == std::string::npos) return ".";
  if (slash == 0) return path.substr(0, 1);
  return path.substr(0, slash);
}

}  // namespace run
