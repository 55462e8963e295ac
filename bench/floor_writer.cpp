// The floor the programs are measured against: writes the bytes of the given
// files into a directory the way the programs write theirs, and no more work
// than that. Each file is read whole first (the programs hold their content
// in memory before they write), then written under a temporary name with its
// room reserved, through a 1 MiB buffer, and renamed over its final name.
//
// usage: floor_writer OUT_DIR FILE...

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr size_t block = 1 << 20;

bool read_whole(const char* path, std::string* out) {
  int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0) return false;
  out->resize(static_cast<size_t>(st.st_size));
  size_t got = 0;
  while (got < out->size()) {
    ssize_t n = ::read(fd, out->data() + got, out->size() - got);
    if (n <= 0) return false;
    got += static_cast<size_t>(n);
  }
  return ::close(fd) == 0;
}

bool write_safely(const std::string& path, const std::string& bytes, std::vector<char>& buffer) {
  const std::string temporary = path + ".new";
  int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  if (!bytes.empty()) (void)::fallocate(fd, 0, 0, static_cast<off_t>(bytes.size()));
  for (size_t at = 0; at < bytes.size(); at += block) {
    const size_t n = bytes.size() - at < block ? bytes.size() - at : block;
    std::memcpy(buffer.data(), bytes.data() + at, n);  // the programs fill a buffer too
    if (::write(fd, buffer.data(), n) != static_cast<ssize_t>(n)) return false;
  }
  if (::close(fd) != 0) return false;
  return ::rename(temporary.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: floor_writer OUT_DIR FILE...\n");
    return 2;
  }
  std::vector<std::string> contents(static_cast<size_t>(argc - 2));
  for (int i = 2; i < argc; ++i)
    if (!read_whole(argv[i], &contents[static_cast<size_t>(i - 2)])) {
      perror(argv[i]);
      return 1;
    }
  std::vector<char> buffer(block);
  for (int i = 2; i < argc; ++i) {
    const char* slash = std::strrchr(argv[i], '/');
    const std::string path = std::string(argv[1]) + "/" + (slash ? slash + 1 : argv[i]);
    if (!write_safely(path, contents[static_cast<size_t>(i - 2)], buffer)) {
      perror(path.c_str());
      return 1;
    }
  }
  return 0;
}
