// The file system of a POSIX system, where the executable lives, and the
// standard streams and arguments as they come (nothing is shown on a screen).

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <string.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <new>
#include <string>
#include <vector>

#include "runtime/desktop.h"
#include "runtime/disk.h"
#include "runtime/memory_pages.h"

namespace runtime {

const char path_separator = '/';
const char path_separators[] = "/";

namespace {

bool fail(std::string* err) {
  *err = strerror(errno);
  return false;
}

bool fail(std::string* err, std::string reason) {
  *err = std::move(reason);
  return false;
}

// Closes a descriptor whose failure no longer matters, keeping errno.
void close_quietly(int fd) {
  int saved = errno;
  ::close(fd);
  errno = saved;
}

// What a file that is not a regular one is, for a message.
std::string not_regular(mode_t mode) {
  const char* what = S_ISDIR(mode)    ? "a directory"
                     : S_ISFIFO(mode) ? "a named pipe"
                     : S_ISCHR(mode)  ? "a character device"
                     : S_ISBLK(mode)  ? "a block device"
                     : S_ISSOCK(mode) ? "a socket"
                     : S_ISLNK(mode)  ? "a symbolic link"
                                      : "a special file";
  return std::string("not a regular file (") + what + ")";
}

// The reason an open with O_NOFOLLOW failed: a link at the last name is told
// as such rather than as "Too many levels of symbolic links".
bool fail_open(const std::string& path, std::string* err) {
  const int saved = errno;
  struct stat st;
  if (saved == ELOOP && ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode))
    return fail(err, "a symbolic link, not a regular file");
  errno = saved;
  return fail(err);
}

std::string too_large_reason(int64_t size) {
  return "too large: " + std::to_string(size) + " bytes (at most " +
         std::to_string(max_read_bytes) + " are read)";
}

// Opens a regular file for reading: non-blocking, so that opening a named
// pipe with no writer returns at once, without following a link, and refused
// by its type (a pipe, a device, a directory) or its size. The descriptor,
// or -1 with *err set.
int open_for_reading(const std::string& path, struct stat* st, std::string* err) {
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    fail_open(path, err);
    return -1;
  }
  if (::fstat(fd, st) != 0) {
    close_quietly(fd);
    fail(err);
    return -1;
  }
  if (!S_ISREG(st->st_mode)) {
    ::close(fd);
    fail(err, not_regular(st->st_mode));
    return -1;
  }
  if (st->st_size > max_read_bytes) {
    ::close(fd);
    fail(err, too_large_reason(st->st_size));
    return -1;
  }
  return fd;
}

struct posix_lock : directory_lock {
  posix_lock(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  ~posix_lock() override {
    // The name goes while the lock is still held; a run that opened the file
    // before sees, once it gets the lock, that the name is gone and starts
    // over on a new file.
    ::unlink(path_.c_str());
    ::close(fd_);
  }

 private:
  int fd_;
  std::string path_;
};

void sleep_ms(int ms) {
  struct timespec t = {ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
  while (::nanosleep(&t, &t) != 0 && errno == EINTR) {
  }
}

disk::entry entry_of(mode_t mode) {
  if (S_ISREG(mode)) return disk::entry::file;
  if (S_ISDIR(mode)) return disk::entry::directory;
  return disk::entry::other;
}

// Reads an open file in pieces of at most `size` bytes, handing each to
// `part` until the file ends or `part` says stop, then closes it. A file that
// grows while it is read is still held to the bound.
bool read_pieces(int fd, size_t size, const disk::part_reader& part, std::string* err) {
  std::vector<char> buf(size);
  int64_t total = 0;
  for (;;) {
    ssize_t n = ::read(fd, buf.data(), buf.size());
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      close_quietly(fd);
      return fail(err);
    }
    total += n;
    if (total > max_read_bytes) {
      ::close(fd);
      return fail(err, too_large_reason(total));
    }
    if (!part(std::string_view(buf.data(), static_cast<size_t>(n)))) break;
  }
  if (::close(fd) != 0) return fail(err);
  return true;
}

struct posix_disk : disk {
  entry stat(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) != 0 ? entry::missing : entry_of(st.st_mode);
  }

  entry stat_no_follow(const std::string& path) override {
    struct stat st;
    return ::lstat(path.c_str(), &st) != 0 ? entry::missing : entry_of(st.st_mode);
  }

  bool read_file(const std::string& path, std::string* contents, std::string* err) override {
    struct stat st;
    const int fd = open_for_reading(path, &st, err);
    if (fd < 0) return false;
    try {
      contents->clear();
      contents->reserve(static_cast<size_t>(st.st_size));
      return read_pieces(
          fd, 64 * 1024,
          [&](std::string_view piece) {
            contents->append(piece);
            return true;
          },
          err);
    } catch (const std::bad_alloc&) {
      contents->clear();
      contents->shrink_to_fit();
      ::close(fd);
      return fail(err, "not enough memory to read " + std::to_string(st.st_size) + " bytes");
    }
  }

  bool read_file_parts(const std::string& path, const part_reader& part,
                       std::string* err) override {
    struct stat st;
    const int fd = open_for_reading(path, &st, err);
    if (fd < 0) return false;
    return read_pieces(fd, 256 * 1024, part, err);
  }

  bool create_file(const std::string& path, int* handle, std::string* err) override {
    int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) return fail(err);
    *handle = fd;
    return true;
  }

  bool write(int handle, std::string_view bytes, std::string* err) override {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
      ssize_t n = ::write(handle, p, left);
      if (n < 0) {
        if (errno == EINTR) continue;
        return fail(err);
      }
      p += n;
      left -= static_cast<size_t>(n);
    }
    return true;
  }

  void reserve(int handle, int64_t bytes) override {
#ifdef __linux__
    // Not posix_fallocate: where the file system cannot reserve, that one
    // writes zeros over the whole length instead.
    if (bytes > 0) (void)::fallocate(handle, 0, 0, static_cast<off_t>(bytes));
#else
    (void)handle;
    (void)bytes;
#endif
  }

  bool write_at(int handle, int64_t offset, std::string_view bytes, std::string* err) override {
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
      ssize_t n = ::pwrite(handle, p, left, static_cast<off_t>(offset));
      if (n < 0) {
        if (errno == EINTR) continue;
        return fail(err);
      }
      p += n;
      left -= static_cast<size_t>(n);
      offset += n;
    }
    return true;
  }

  bool close(int handle, std::string* err) override {
    if (::close(handle) != 0) return fail(err);
    return true;
  }

  bool rename_file(const std::string& from, const std::string& to, std::string* err) override {
    if (::rename(from.c_str(), to.c_str()) != 0) return fail(err);
    return true;
  }

  bool link_file(const std::string& from, const std::string& to, std::string* err) override {
    // linkat without AT_SYMLINK_FOLLOW: a link at `from` gets the second
    // name itself.
    if (::linkat(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), 0) != 0) return fail(err);
    return true;
  }

  bool remove_file(const std::string& path, std::string* err) override {
    if (::unlink(path.c_str()) != 0) return fail(err);
    return true;
  }

  bool make_directory(const std::string& path, std::string* err) override {
    if (::mkdir(path.c_str(), 0777) != 0) return fail(err);
    return true;
  }

  bool list_directory(const std::string& dir, std::vector<std::string>* names,
                      std::string* err) override {
    DIR* d = ::opendir(dir.c_str());
    if (!d) return fail(err);
    names->clear();
    for (;;) {
      errno = 0;
      struct dirent* e = ::readdir(d);
      if (!e) break;
      const std::string name = e->d_name;
      if (name != "." && name != "..") names->push_back(name);
    }
    const int saved = errno;
    ::closedir(d);
    if (saved != 0) {
      errno = saved;
      return fail(err);
    }
    return true;
  }

  std::unique_ptr<directory_lock> lock_directory(const std::string& dir, std::string* err,
                                                 int wait_ms = lock_wait_ms) override {
    const std::string path = dir + path_separator + lock_file_name;
    constexpr int pause_ms = 50;
    for (int waited = 0;;) {
      int fd = ::open(path.c_str(),
                      O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
      if (fd < 0) {
        fail_open(path, err);
        *err = path + ": " + *err;
        return nullptr;
      }
      struct stat held;
      if (::fstat(fd, &held) != 0) {
        close_quietly(fd);
        fail(err);
        return nullptr;
      }
      if (!S_ISREG(held.st_mode)) {
        ::close(fd);
        *err = path + ": " + not_regular(held.st_mode);
        return nullptr;
      }
      if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        // The holder before may have removed the name after this open; then
        // the lock is on a file nobody else will find: start over.
        struct stat now;
        if (::lstat(path.c_str(), &now) == 0 && now.st_dev == held.st_dev &&
            now.st_ino == held.st_ino)
          return std::make_unique<posix_lock>(fd, path);
        ::close(fd);
        continue;
      }
      const int saved = errno;
      ::close(fd);
      if (saved != EWOULDBLOCK && saved != EINTR) {
        errno = saved;
        fail(err);
        return nullptr;
      }
      if (waited >= wait_ms) {
        *err = directory_in_use;
        return nullptr;
      }
      sleep_ms(pause_ms);
      waited += pause_ms;
    }
  }
};

}  // namespace

disk& real_disk() {
  static posix_disk the_disk;
  return the_disk;
}

int64_t process_number() {
  return static_cast<int64_t>(::getpid());
}

void populate_pages(char* block, size_t bytes) {
#ifdef MADV_POPULATE_WRITE
  const long page_size = ::sysconf(_SC_PAGESIZE);
  if (page_size <= 0) return;
  const uintptr_t page = static_cast<uintptr_t>(page_size);
  const uintptr_t begin = reinterpret_cast<uintptr_t>(block);
  const uintptr_t first = (begin + page - 1) / page * page;
  const uintptr_t end = (begin + bytes) / page * page;
  if (bytes < page || first >= end) return;
  // A kernel without the call says EINVAL; the pages then fault in as
  // they are written.
  ::madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
  (void)block;
  (void)bytes;
#endif
}

std::string application_path() {
  char buf[PATH_MAX + 1];
  ssize_t n = ::readlink("/proc/self/exe", buf, PATH_MAX);
  if (n <= 0) return std::string();
  std::string path(buf, static_cast<size_t>(n));
  size_t slash = path.rfind('/');
  if (slash == std::string::npos) return std::string();
  if (slash == 0) return std::string();  // the root directory: "" + "/" + name
  return path.substr(0, slash);
}

void prepare_standard_streams() {}

std::vector<std::string> program_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

bool watched_by_a_person() {
  return false;
}

waiting_window::waiting_window(std::string_view title, std::string_view text) {
  (void)title;
  (void)text;
}

waiting_window::~waiting_window() = default;

void show_message_box(std::string_view title, std::string_view text) {
  (void)title;
  (void)text;
}

}  // namespace runtime
