#pragma once
// The program's only way to the file system. The real implementation lives in
// posix_disk.cpp or windows_disk.cpp; tests and the fuzz targets use
// test_support/memory_disk.h, which can also be told to fail any operation.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// The largest file read_file reads whole: larger ones are refused, so that a
// wrong path (a disk image, a log) cannot take all memory.
inline constexpr int64_t max_read_bytes = int64_t{256} << 20;

// How long lock_directory waits for another run to finish, in milliseconds.
inline constexpr int lock_wait_ms = 3000;

// The reason lock_directory gives when another run holds the directory.
inline constexpr const char* directory_in_use = "the directory is in use by another run";

// A directory held by this run; released when destroyed.
struct directory_lock {
  virtual ~directory_lock() = default;
};

// Two threads of a run may use the disk at once, each on files of its own
// (a package's plan file is written beside its other two files).
struct disk {
  virtual ~disk() = default;

  // What is at `path`, following symbolic links: a link to a regular file is
  // a file, a link to nothing is missing. Never opens the file.
  enum class entry { missing, file, directory, other };
  virtual entry stat(const std::string& path) = 0;
  // What the name `path` itself is: a symbolic link is `other`, whatever it
  // points to. A disk that has no links answers as stat() does.
  virtual entry stat_no_follow(const std::string& path) { return stat(path); }

  // Each operation returns true on success; on failure it puts the system's
  // reason (for example "No space left on device") into *err.

  // Reads a regular file whole. Anything else is refused with a reason and
  // never opened in a way that could block: a symbolic link, a named pipe, a
  // device, a directory; so is a file larger than max_read_bytes.
  virtual bool read_file(const std::string& path, std::string* contents, std::string* err) = 0;

  // Reads a regular file in parts, in order, handing each to `part`, so that
  // a large file need not be held whole; the same files are refused as by
  // read_file. `part` returns false to stop the reading early (still a
  // success). This default reads the file whole and hands it out in slices.
  using part_reader = std::function<bool(std::string_view)>;
  virtual bool read_file_parts(const std::string& path, const part_reader& part, std::string* err) {
    std::string contents;
    if (!read_file(path, &contents, err)) return false;
    constexpr size_t slice = size_t{1} << 20;
    for (size_t at = 0; at < contents.size(); at += slice)
      if (!part(std::string_view(contents).substr(at, slice))) break;
    return true;
  }

  // Creates the new, empty file `path` for writing. Fails when anything at
  // all is at `path` (a file, a symbolic link, a pipe): nothing is truncated,
  // and no link is followed to create or write a file somewhere else.
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

  // Replaces `to` with `from` in one step. Neither name is followed: a link
  // at `to` is itself replaced.
  virtual bool rename_file(const std::string& from, const std::string& to, std::string* err) = 0;
  // Gives the file `from` a second name `to` (used to keep an old file while
  // its replacement is put in place). Fails when anything is at `to`.
  virtual bool link_file(const std::string& from, const std::string& to, std::string* err) = 0;
  // Removes the name `path` (a link itself, never what it points to).
  virtual bool remove_file(const std::string& path, std::string* err) = 0;

  // The names in directory `dir` (without "." and ".."), in no set order.
  virtual bool list_directory(const std::string& dir, std::vector<std::string>* names,
                              std::string* err) {
    (void)dir;
    (void)names;
    *err = "this disk cannot list a directory";
    return false;
  }

  // Creates the directory `path`, whose parent must exist. Fails when
  // anything is at `path` already.
  virtual bool make_directory(const std::string& path, std::string* err) {
    (void)path;
    *err = "this disk cannot create a directory";
    return false;
  }

  // Holds directory `dir` for this run, so that two runs never write the
  // same files at once: waits up to `wait_ms` for another run to let go, then
  // fails with the reason directory_in_use. Null on failure.
  virtual std::unique_ptr<directory_lock> lock_directory(const std::string& dir, std::string* err,
                                                         int wait_ms = lock_wait_ms) {
    (void)dir;
    (void)wait_ms;
    *err = "this disk cannot lock a directory";
    return nullptr;
  }
};

// The name of the lock file lock_directory keeps in the directory while it
// is held.
inline constexpr const char* lock_file_name = ".scenario.lock";

// Creates `path` and any of its parents that are missing, as "mkdir -p"
// does; true when it is a directory at the end. A link on the way is
// followed only where it names a directory already there. On failure *err
// names the directory that could not be made and the system's reason.
bool make_directories(disk& d, const std::string& path, std::string* err);

// The disk of the machine the program runs on.
disk& real_disk();

// The directory that holds the running executable, without a trailing
// separator; empty when the system cannot tell.
std::string application_path();

// A number that no other running process has (the process id).
int64_t process_number();

// The separator between a directory and a file name on this system.
extern const char path_separator;

// Every character that separates a directory from a name on this system:
// "/" on POSIX, "\\/" on Windows, where both are taken.
extern const char path_separators[];

// Where the last separator of `path` is, or npos.
inline size_t last_separator(std::string_view path) {
  return path.find_last_of(path_separators);
}

}  // namespace runtime
