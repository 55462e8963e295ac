// The floor the programs are measured against: writes the bytes of the given
// files into a directory the way the programs write theirs, and no more work
// than that. Each file's bytes are mapped from the page cache (the cheapest
// way to have them at hand, as the programs have theirs in memory), then
// written under a temporary name with its room reserved, through a 1 MiB
// buffer, and renamed over its final name.
//
// usage: floor_writer OUT_DIR FILE...

#include <fcntl.h>
#include <stdio.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr size_t block = 1 << 20;

// The bytes of a file, mapped and read in ahead.
bool map_whole(const char* path, std::string_view* out) {
  int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0) return false;
  const size_t size = static_cast<size_t>(st.st_size);
  if (size == 0) {
    *out = {};
    return ::close(fd) == 0;
  }
  void* p = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd, 0);
  if (p == MAP_FAILED) return false;
  *out = std::string_view(static_cast<const char*>(p), size);
  return ::close(fd) == 0;
}

bool write_safely(const std::string& path, std::string_view bytes, std::vector<char>& buffer) {
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
  std::vector<std::string_view> contents(static_cast<size_t>(argc - 2));
  for (int i = 2; i < argc; ++i)
    if (!map_whole(argv[i], &contents[static_cast<size_t>(i - 2)])) {
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
