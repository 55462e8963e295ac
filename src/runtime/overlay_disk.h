#pragma once
// A disk that holds some files in memory and passes everything else on to
// another disk. The authoring tool gives the compiler the author's documents
// this way, so that the compiler's deletions never touch the author's files.

#include <map>
#include <string>

#include "runtime/disk.h"

struct overlay_disk : disk {
  explicit overlay_disk(disk& under) : under_(under) {}

  // Files served from memory, by full path.
  std::map<std::string, std::string> files;

  entry stat(const std::string& path) override;
  bool read_file(const std::string& path, std::string* contents, std::string* err) override;
  bool create_file(const std::string& path, int* handle, std::string* err) override {
    return under_.create_file(path, handle, err);
  }
  bool write(int handle, std::string_view bytes, std::string* err) override {
    return under_.write(handle, bytes, err);
  }
  void reserve(int handle, int64_t bytes) override { under_.reserve(handle, bytes); }
  bool write_at(int handle, int64_t offset, std::string_view bytes, std::string* err) override {
    return under_.write_at(handle, offset, bytes, err);
  }
  bool close(int handle, std::string* err) override { return under_.close(handle, err); }
  bool rename_file(const std::string& from, const std::string& to, std::string* err) override {
    return under_.rename_file(from, to, err);
  }
  bool link_file(const std::string& from, const std::string& to, std::string* err) override {
    return under_.link_file(from, to, err);
  }
  bool remove_file(const std::string& path, std::string* err) override;

 private:
  disk& under_;
};
