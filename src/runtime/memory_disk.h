#pragma once
// A file system held in memory, for tests and the fuzz target. It behaves as
// the real one does for the operations the program uses, and can be told to
// run out of space or to fail chosen operations.

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "runtime/disk.h"

struct memory_disk : disk {
  std::map<std::string, std::string> files;
  std::set<std::string> directories;

  // Bytes that may still be written, over all files; a write beyond them
  // stores what fits and fails with "No space left on device".
  size_t space_left = static_cast<size_t>(-1);

  // An operation ("read", "create", "write", "close", "rename", "link",
  // "remove") on a path that ends with `path_end` fails with `reason`.
  // For rename and link the path is the target.
  struct failure {
    std::string op;
    std::string path_end;
    std::string reason;
  };
  std::vector<failure> failures;

  // Every successful operation, as "op path", in order.
  std::vector<std::string> log;

  entry stat(const std::string& path) override;
  bool read_file(const std::string& path, std::string* contents, std::string* err) override;
  bool create_file(const std::string& path, int* handle, std::string* err) override;
  bool write(int handle, std::string_view bytes, std::string* err) override;
  void reserve(int, int64_t) override {}
  bool write_at(int handle, int64_t offset, std::string_view bytes, std::string* err) override;
  bool close(int handle, std::string* err) override;
  bool rename_file(const std::string& from, const std::string& to, std::string* err) override;
  bool link_file(const std::string& from, const std::string& to, std::string* err) override;
  bool remove_file(const std::string& path, std::string* err) override;

  size_t open_files() const { return open.size(); }

 private:
  bool injected(const std::string& op, const std::string& path, std::string* err) const;
  std::map<int, std::string> open;
  std::map<int, size_t> position;  // where write() goes on, per open file
  int next_handle = 3;
};
