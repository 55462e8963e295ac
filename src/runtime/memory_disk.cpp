#include "runtime/memory_disk.h"

namespace {

bool ends_with(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

bool fail(std::string* err, const char* reason) {
  *err = reason;
  return false;
}

}  // namespace

bool memory_disk::injected(const std::string& op, const std::string& path, std::string* err) const {
  for (const failure& f : failures) {
    if (f.op == op && ends_with(path, f.path_end)) {
      *err = f.reason;
      return true;
    }
  }
  return false;
}

disk::entry memory_disk::stat(const std::string& path) {
  if (directories.count(path)) return entry::directory;
  if (files.count(path)) return entry::file;
  return entry::missing;
}

bool memory_disk::read_file(const std::string& path, std::string* contents, std::string* err) {
  if (injected("read", path, err)) return false;
  if (directories.count(path)) return fail(err, "Is a directory");
  auto it = files.find(path);
  if (it == files.end()) return fail(err, "No such file or directory");
  *contents = it->second;
  log.push_back("read " + path);
  return true;
}

bool memory_disk::create_file(const std::string& path, int* handle, std::string* err) {
  if (injected("create", path, err)) return false;
  if (directories.count(path)) return fail(err, "Is a directory");
  files[path].clear();
  *handle = next_handle++;
  open[*handle] = path;
  position[*handle] = 0;
  log.push_back("create " + path);
  return true;
}

bool memory_disk::write(int handle, std::string_view bytes, std::string* err) {
  auto it = open.find(handle);
  if (it == open.end()) return fail(err, "Bad file descriptor");
  const std::string path = it->second;
  size_t& at = position[handle];
  std::string& contents = files[path];
  // A full disk takes what fits.
  size_t grows = at + bytes.size() > contents.size() ? at + bytes.size() - contents.size() : 0;
  bool full = grows > space_left;
  if (full) bytes = bytes.substr(0, bytes.size() - (grows - space_left));
  if (!write_at(handle, static_cast<int64_t>(at), bytes, err)) return false;
  at += bytes.size();
  if (full) return fail(err, "No space left on device");
  return true;
}

bool memory_disk::write_at(int handle, int64_t offset, std::string_view bytes, std::string* err) {
  auto it = open.find(handle);
  if (it == open.end()) return fail(err, "Bad file descriptor");
  if (injected("write", it->second, err)) return false;
  std::string& contents = files[it->second];
  const size_t at = static_cast<size_t>(offset);
  const size_t end = at + bytes.size();
  const size_t grows = end > contents.size() ? end - contents.size() : 0;
  if (grows > space_left) return fail(err, "No space left on device");
  space_left -= grows;
  if (end > contents.size()) contents.resize(end, '\0');
  contents.replace(at, bytes.size(), bytes);
  return true;
}

bool memory_disk::close(int handle, std::string* err) {
  auto it = open.find(handle);
  if (it == open.end()) return fail(err, "Bad file descriptor");
  std::string path = it->second;
  open.erase(it);
  position.erase(handle);
  if (injected("close", path, err)) return false;
  log.push_back("close " + path);
  return true;
}

bool memory_disk::rename_file(const std::string& from, const std::string& to, std::string* err) {
  if (injected("rename", to, err)) return false;
  auto it = files.find(from);
  if (it == files.end()) return fail(err, "No such file or directory");
  if (directories.count(to)) return fail(err, "Is a directory");
  std::string contents = std::move(it->second);
  files.erase(it);
  files[to] = std::move(contents);
  log.push_back("rename " + from + " " + to);
  return true;
}

bool memory_disk::link_file(const std::string& from, const std::string& to, std::string* err) {
  if (injected("link", to, err)) return false;
  auto it = files.find(from);
  if (it == files.end()) return fail(err, "No such file or directory");
  if (files.count(to) || directories.count(to)) return fail(err, "File exists");
  std::string copy = it->second;
  files[to] = std::move(copy);
  log.push_back("link " + from + " " + to);
  return true;
}

bool memory_disk::remove_file(const std::string& path, std::string* err) {
  if (injected("remove", path, err)) return false;
  if (directories.count(path)) return fail(err, "Is a directory");
  if (!files.erase(path)) return fail(err, "No such file or directory");
  log.push_back("remove " + path);
  return true;
}
