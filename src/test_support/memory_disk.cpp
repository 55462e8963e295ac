#include "test_support/memory_disk.h"

#include <algorithm>

namespace test_support {

namespace {

bool ends_with(const std::string& s, const std::string& end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

bool fail(std::string* err, std::string reason) {
  *err = std::move(reason);
  return false;
}

std::string parent_of(const std::string& path) {
  const size_t slash = runtime::last_separator(path);
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

// The character a path is compared by: a separator counts as "/".
// ("\\" is the only separator besides "/" on any system: Windows'.)
char compared(char c) {
  return c == '\\' && runtime::path_separator == '\\' ? '/' : c;
}

}  // namespace

bool path_order::operator()(std::string_view a, std::string_view b) const {
  // Where "/" is the only separator, the plain order of the bytes, compared
  // a block at a time.
  if (runtime::path_separator != '\\') return a < b;
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return static_cast<unsigned char>(compared(x)) < static_cast<unsigned char>(compared(y));
  });
}

bool same_path(std::string_view a, std::string_view b) {
  if (runtime::path_separator != '\\') return a == b;
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return compared(x) == compared(y);
         });
}

// A lock on a directory of a memory disk, with its lock file.
struct memory_lock : runtime::directory_lock {
  memory_lock(memory_disk& d, std::string dir) : d_(d), dir_(std::move(dir)) {}
  // A killed process loses its lock but leaves the lock file behind.
  ~memory_lock() override {
    const auto hold = d_.one_at_a_time();
    if (!d_.dead) d_.files.erase(dir_ + runtime::path_separator + runtime::lock_file_name);
    d_.held.erase(dir_);
  }

 private:
  memory_disk& d_;
  std::string dir_;
};

bool memory_disk::injected(const std::string& op, const std::string& path, std::string* err) const {
  for (const failure& f : failures) {
    if (f.op == op && ends_with(path, f.path_end)) {
      *err = f.reason;
      return true;
    }
  }
  return false;
}

bool memory_disk::change() {
  if (dead) return false;
  if (changes_before_kill == 0) {
    dead = true;
    throw killed{};
  }
  if (changes_before_kill > 0) --changes_before_kill;
  return true;
}

bool memory_disk::exists(const std::string& path) const {
  return files.count(path) || directories.count(path) || links.count(path) || specials.count(path);
}

void memory_disk::erase_name(const std::string& path) {
  files.erase(path);
  links.erase(path);
  specials.erase(path);
}

runtime::disk::entry memory_disk::stat(const std::string& path) {
  const auto hold = one_at_a_time();
  std::string at = path;
  for (int depth = 0; depth < 40; ++depth) {
    auto link = links.find(at);
    if (link == links.end()) return stat_no_follow(at);
    // A relative target is taken from the link's directory.
    at = link->second.starts_with("/") ? link->second : parent_of(at) + "/" + link->second;
  }
  return entry::missing;  // a loop of links
}

runtime::disk::entry memory_disk::stat_no_follow(const std::string& path) {
  const auto hold = one_at_a_time();
  if (directories.count(path)) return entry::directory;
  if (files.count(path)) return entry::file;
  if (links.count(path) || specials.count(path)) return entry::other;
  return entry::missing;
}

const std::string* memory_disk::readable(const std::string& path, std::string* err) {
  if (injected("read", path, err)) return nullptr;
  if (links.count(path)) return fail(err, "a symbolic link, not a regular file"), nullptr;
  if (directories.count(path)) return fail(err, "not a regular file (a directory)"), nullptr;
  if (specials.count(path)) return fail(err, "not a regular file (a named pipe)"), nullptr;
  auto it = files.find(path);
  if (it == files.end()) return fail(err, "No such file or directory"), nullptr;
  if (static_cast<int64_t>(it->second.size()) > read_limit)
    return fail(err, "too large: " + std::to_string(it->second.size()) + " bytes (at most " +
                         std::to_string(read_limit) + " are read)"),
           nullptr;
  log.push_back("read " + path);
  return &it->second;
}

bool memory_disk::read_file(const std::string& path, std::string* contents, std::string* err) {
  const auto hold = one_at_a_time();
  const std::string* bytes = readable(path, err);
  if (!bytes) return false;
  *contents = *bytes;
  return true;
}

bool memory_disk::read_file_parts(const std::string& path, const part_reader& part,
                                  std::string* err) {
  const auto hold = one_at_a_time();
  const std::string* bytes = readable(path, err);
  if (!bytes) return false;
  constexpr size_t slice = size_t{1} << 20;
  const std::string_view all(*bytes);
  for (size_t at = 0; at < all.size(); at += slice)
    if (!part(all.substr(at, slice))) break;
  return true;
}

bool memory_disk::create_file(const std::string& path, int* handle, std::string* err) {
  const auto hold = one_at_a_time();
  if (!change()) return fail(err, "the process is gone");
  if (injected("create", path, err)) return false;
  if (exists(path)) return fail(err, "File exists");
  files[path].clear();
  *handle = next_handle++;
  open[*handle] = path;
  position[*handle] = 0;
  log.push_back("create " + path);
  return true;
}

bool memory_disk::write(int handle, std::string_view bytes, std::string* err) {
  const auto hold = one_at_a_time();
  if (!change()) return fail(err, "the process is gone");
  auto it = open.find(handle);
  if (it == open.end()) return fail(err, "Bad file descriptor");
  const std::string path = it->second;
  size_t& at = position[handle];
  std::string& contents = files[path];
  // A full disk takes what fits.
  size_t grows = at + bytes.size() > contents.size() ? at + bytes.size() - contents.size() : 0;
  bool full = grows > space_left;
  if (full) bytes = bytes.substr(0, bytes.size() - (grows - space_left));
  if (!put_at(handle, static_cast<int64_t>(at), bytes, err)) return false;
  at += bytes.size();
  if (full) return fail(err, "No space left on device");
  return true;
}

bool memory_disk::write_at(int handle, int64_t offset, std::string_view bytes, std::string* err) {
  const auto hold = one_at_a_time();
  if (!change()) return fail(err, "the process is gone");
  return put_at(handle, offset, bytes, err);
}

bool memory_disk::put_at(int handle, int64_t offset, std::string_view bytes, std::string* err) {
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
  const auto hold = one_at_a_time();
  if (!change()) return fail(err, "the process is gone");
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
  const auto hold = one_at_a_time();
  if (!change()) return fail(err, "the process is gone");
  if (injected("rename", to, err)) return false;
  if (!files.count(from) && !links.count(from) && !specials.count(from))
    return fail(err, "No such file or directory");
  if (directories.count(to)) return fail(err, "Is a directory");
  if (same_path(from, to)) return true;
  // Whatever had the name `to` (a file, a link, a pipe) is replaced.
  erase_name(to);
  if (auto f = files.find(from); f != files.end()) {
    std::string contents = std::move(f->second);
    files.erase(f);
    files[to] = std::move(contents);
  } else if (auto l = links.find(from); l != links.end()) {
    std::string target = l->second;
    links.erase(l);
    links[to] = target;
  } else {
    specials.erase(from);
    specials.insert(to);
  }
  for (auto& [handle, path] : open)
    if (same_path(path, from)) path = to;
  log.push_back("rename " + from + " " + to);
  return true;
}

bool memory_disk::link_file(const std::string& from, const std::string& to, std::string* err) {
  const auto hold = one_at_a_time();
  if (!change()) return fail(err, "the process is gone");
  if (injected("link", to, err)) return false;
  if (exists(to)) return fail(err, "File exists");
  if (auto f = files.find(from); f != files.end()) {
    std::string copy = f->second;
    files[to] = std::move(copy);
  } else if (auto l = links.find(from); l != links.end()) {
    std::string target = l->second;
    links[to] = target;
  } else if (specials.count(from)) {
    specials.insert(to);
  } else {
    return fail(err, "No such file or directory");
  }
  log.push_back("link " + from + " " + to);
  return true;
}

bool memory_disk::remove_file(const std::string& path, std::string* err) {
  const auto hold = one_at_a_time();
  if (!change()) return fail(err, "the process is gone");
  if (injected("remove", path, err)) return false;
  if (directories.count(path)) return fail(err, "Is a directory");
  if (!files.erase(path) && !links.erase(path) && !specials.erase(path))
    return fail(err, "No such file or directory");
  log.push_back("remove " + path);
  return true;
}

bool memory_disk::make_directory(const std::string& path, std::string* err) {
  const auto hold = one_at_a_time();
  if (!change()) return fail(err, "the process is gone");
  if (injected("mkdir", path, err)) return false;
  if (exists(path)) return fail(err, "File exists");
  if (stat(parent_of(path)) != entry::directory) return fail(err, "No such file or directory");
  directories.insert(path);
  log.push_back("mkdir " + path);
  return true;
}

bool memory_disk::list_directory(const std::string& dir, std::vector<std::string>* names,
                                 std::string* err) {
  const auto hold = one_at_a_time();
  if (injected("list", dir, err)) return false;
  if (stat(dir) == entry::file) return fail(err, "Not a directory");
  names->clear();
  auto add = [&](const std::string& path) {
    if (same_path(parent_of(path), dir)) names->push_back(path.substr(dir.size() + 1));
  };
  for (const auto& [path, contents] : files) add(path);
  for (const auto& [path, target] : links) add(path);
  for (const std::string& path : specials) add(path);
  for (const std::string& path : directories) add(path);
  // A directory is there when something is in it or it was made.
  if (names->empty() && !directories.count(dir)) return fail(err, "No such file or directory");
  log.push_back("list " + dir);
  return true;
}

std::unique_ptr<runtime::directory_lock> memory_disk::lock_directory(const std::string& dir,
                                                                     std::string* err,
                                                                     int wait_ms) {
  const auto hold = one_at_a_time();
  (void)wait_ms;
  if (injected("lock", dir, err)) return nullptr;
  if (held.count(dir)) {
    *err = runtime::directory_in_use;
    return nullptr;
  }
  const std::string path = dir + runtime::path_separator + runtime::lock_file_name;
  if (stat_no_follow(path) != entry::missing && stat_no_follow(path) != entry::file) {
    *err = path + ": " +
           (links.count(path) ? "a symbolic link, not a regular file" : "not a regular file");
    return nullptr;
  }
  files[path];
  held.insert(dir);
  log.push_back("lock " + dir);
  return std::make_unique<memory_lock>(*this, dir);
}

}  // namespace test_support
