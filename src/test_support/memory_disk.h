#pragma once
// A file system held in memory, for tests and the fuzz target. It behaves as
// the real one does for the operations the program uses (symbolic links and
// special files included), and can be told to run out of space, to fail
// chosen operations or to stop dead at any step, as a killed process does.
// Its operations may come from two threads at once, as the real disk's do
// (each one whole before the next); its fields are for a test to set and
// read while no operation runs.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "runtime/disk.h"

namespace test_support {

// Orders paths as the system tells names apart: where "/" and "\\" both
// separate a directory from a name (Windows), the two are the same character,
// so tests spell paths with "/" while the programs join them with the
// system's separator. On POSIX this is the plain order of the bytes.
struct path_order {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const;
};
bool same_path(std::string_view a, std::string_view b);

struct memory_disk : runtime::disk {
  using path_map = std::map<std::string, std::string, path_order>;
  using path_set = std::set<std::string, path_order>;

  path_map files;
  path_set directories;
  // Symbolic links, by path, with the path each names.
  path_map links;
  // Named pipes and devices: neither file nor directory.
  path_set specials;

  // Bytes that may still be written, over all files; a write beyond them
  // stores what fits and fails with "No space left on device".
  size_t space_left = static_cast<size_t>(-1);

  // The largest file read_file reads; max_read_bytes as on a real disk.
  int64_t read_limit = runtime::max_read_bytes;

  // An operation ("read", "create", "write", "close", "rename", "link",
  // "remove", "mkdir", "list", "lock") on a path that ends with `path_end` fails with
  // `reason`. For rename and link the path is the target; for list and lock,
  // the directory.
  struct failure {
    std::string op;
    std::string path_end;
    std::string reason;
  };
  std::vector<failure> failures;

  // The number of changes (create, write, close, rename, link, remove) still
  // allowed before the disk throws `killed` in place of the next one; -1 for
  // no end. A test catches it where the process would have died and looks at
  // what is left on the disk.
  int64_t changes_before_kill = -1;
  struct killed {};
  // Set once the disk has thrown `killed`: every later change fails and does
  // nothing, as nothing more happens after a process dies (the destructors a
  // test runs while `killed` unwinds change nothing). Clear it to run again.
  bool dead = false;

  // Every successful operation, as "op path", in order.
  std::vector<std::string> log;

  entry stat(const std::string& path) override;
  entry stat_no_follow(const std::string& path) override;
  bool read_file(const std::string& path, std::string* contents, std::string* err) override;
  // Hands out the stored bytes themselves, in parts of at most 1 MiB as the
  // disk's own default does, without copying the file (so `part` must not
  // change the disk).
  bool read_file_parts(const std::string& path, const part_reader& part, std::string* err) override;
  bool create_file(const std::string& path, int* handle, std::string* err) override;
  bool write(int handle, std::string_view bytes, std::string* err) override;
  void reserve(int, int64_t) override {}
  bool write_at(int handle, int64_t offset, std::string_view bytes, std::string* err) override;
  bool close(int handle, std::string* err) override;
  bool rename_file(const std::string& from, const std::string& to, std::string* err) override;
  bool link_file(const std::string& from, const std::string& to, std::string* err) override;
  bool remove_file(const std::string& path, std::string* err) override;
  bool make_directory(const std::string& path, std::string* err) override;
  bool list_directory(const std::string& dir, std::vector<std::string>* names,
                      std::string* err) override;
  // Never waits: a directory held by another lock fails at once.
  std::unique_ptr<runtime::directory_lock> lock_directory(
      const std::string& dir, std::string* err, int wait_ms = runtime::lock_wait_ms) override;

  size_t open_files() const { return open.size(); }
  bool locked(const std::string& dir) const { return held.count(dir) > 0; }
  // True when anything at all has the name `path`.
  bool exists(const std::string& path) const;

 private:
  friend struct memory_lock;
  // One operation at a time; copying a disk copies its files, not its lock.
  struct operation_lock {
    operation_lock() = default;
    operation_lock(const operation_lock&) {}
    operation_lock& operator=(const operation_lock&) { return *this; }
    std::recursive_mutex m;
  };
  std::unique_lock<std::recursive_mutex> one_at_a_time() const {
    return std::unique_lock<std::recursive_mutex>(lock_.m);
  }
  mutable operation_lock lock_;
  bool injected(const std::string& op, const std::string& path, std::string* err) const;
  // The bytes of the file `path` when read_file may read it, else null.
  const std::string* readable(const std::string& path, std::string* err);
  bool change();
  bool put_at(int handle, int64_t offset, std::string_view bytes, std::string* err);
  void erase_name(const std::string& path);
  std::map<int, std::string> open;
  std::map<int, size_t> position;  // where write() goes on, per open file
  path_set held;                   // locked directories
  int next_handle = 3;
};

}  // namespace test_support
