// The file system of a POSIX system, and where the executable lives.

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "runtime/disk.h"

const char path_separator = '/';

namespace {

bool fail(std::string* err) {
  *err = strerror(errno);
  return false;
}

struct posix_disk : disk {
  entry stat(const std::string& path) override {
    struct stat st;
    if (::stat(path.c_str(), &st) != 0) return entry::missing;
    if (S_ISREG(st.st_mode)) return entry::file;
    if (S_ISDIR(st.st_mode)) return entry::directory;
    return entry::other;
  }

  bool read_file(const std::string& path, std::string* contents, std::string* err) override {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return fail(err);
    contents->clear();
    char buf[64 * 1024];
    for (;;) {
      ssize_t n = ::read(fd, buf, sizeof buf);
      if (n == 0) break;
      if (n < 0) {
        if (errno == EINTR) continue;
        int saved = errno;
        ::close(fd);
        errno = saved;
        return fail(err);
      }
      contents->append(buf, static_cast<size_t>(n));
    }
    if (::close(fd) != 0) return fail(err);
    return true;
  }

  bool create_file(const std::string& path, int* handle, std::string* err) override {
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
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
    if (::link(from.c_str(), to.c_str()) != 0) return fail(err);
    return true;
  }

  bool remove_file(const std::string& path, std::string* err) override {
    if (::unlink(path.c_str()) != 0) return fail(err);
    return true;
  }
};

}  // namespace

disk& real_disk() {
  static posix_disk the_disk;
  return the_disk;
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
