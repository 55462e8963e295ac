#pragma once
// The program's only way to the file system. The real implementation lives in
// posix_disk.cpp; tests and the fuzz target use memory_disk.h, which can also
// be told to fail any operation.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

struct disk {
  virtual ~disk() = default;

  enum class entry { missing, file, directory, other };
  virtual entry stat(const std::string& path) = 0;

  // Each operation returns true on success; on failure it puts the system's
  // reason (for example "No space left on device") into *err.
  virtual bool read_file(const std::string& path, std::string* contents, std::string* err) = 0;

  // Creates `path` anew (empty, truncating an existing file) for writing.
  virtual bool create_file(const std::string& path, int* handle, std::string* err) = 0;
  virtual bool write(int handle, std::string_view bytes, std::string* err) = 0;
  // Reserves room for a file of `bytes` bytes, so that the file system need
  // not find it while the file is written or put in place. Only a hint: a
  // system that cannot reserve ahead does nothing.
  virtual void reserve(int handle, int64_t bytes) = 0;
  // Writes at a byte offset of the file, leaving the position of write()
  // where it was; a gap before the offset reads as zeros until written.
  virtual bool write_at(int handle, int64_t offset, std::string_view bytes, std::string* err) = 0;
  virtual bool close(int handle, std::string* err) = 0;

  // Replaces `to` with `from` in one step.
  virtual bool rename_file(const std::string& from, const std::string& to, std::string* err) = 0;
  // Gives the file `from` a second name `to` (used to keep an old file while
  // its replacement is put in place).
  virtual bool link_file(const std::string& from, const std::string& to, std::string* err) = 0;
  virtual bool remove_file(const std::string& path, std::string* err) = 0;
};

// The disk of the machine the program runs on.
disk& real_disk();

// The directory that holds the running executable, without a trailing
// separator; empty when the system cannot tell.
std::string application_path();

// The separator between a directory and a file name on this system.
extern const char path_separator;
