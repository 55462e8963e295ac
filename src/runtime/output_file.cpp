#include "runtime/output_file.h"

#include <cstring>

namespace {
constexpr size_t block_size = 256 * 1024;
}

output_file::output_file(disk& d, std::string path) : d_(d), path_(std::move(path)) {}

output_file::~output_file() {
  if (handle_ >= 0) {
    std::string ignored;
    d_.close(handle_, &ignored);
  }
}

bool output_file::open() {
  buffer_.reserve(block_size);
  if (!d_.create_file(path_, &handle_, &err_)) {
    handle_ = -1;
    if (err_.empty()) err_ = "cannot create the file";
    return false;
  }
  return true;
}

void output_file::flush() {
  if (!ok() || buffer_.empty()) return;
  if (!d_.write(handle_, buffer_, &err_) && err_.empty()) err_ = "write failed";
  buffer_.clear();
}

void output_file::put(std::string_view bytes) {
  if (!ok()) return;
  if (buffer_.size() + bytes.size() > block_size) flush();
  if (bytes.size() >= block_size) {
    if (ok() && !d_.write(handle_, bytes, &err_) && err_.empty()) err_ = "write failed";
    return;
  }
  buffer_.append(bytes);
}

void output_file::put_u8(uint8_t v) {
  char c = static_cast<char>(v);
  put(std::string_view(&c, 1));
}

void output_file::put_i16(int16_t v) {
  uint16_t u = static_cast<uint16_t>(v);
  char b[2] = {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  put(std::string_view(b, 2));
}

void output_file::put_i32(int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  char b[4];
  for (int i = 0; i < 4; ++i) b[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
  put(std::string_view(b, 4));
}

void output_file::put_f64(double v) {
  uint64_t u;
  static_assert(sizeof u == sizeof v);
  std::memcpy(&u, &v, sizeof u);
  char b[8];
  for (int i = 0; i < 8; ++i) b[i] = static_cast<char>((u >> (8 * i)) & 0xFF);
  put(std::string_view(b, 8));
}

bool output_file::finish() {
  if (handle_ < 0) return false;
  flush();
  int handle = handle_;
  handle_ = -1;
  std::string close_err;
  if (!d_.close(handle, &close_err) && ok()) err_ = close_err.empty() ? "close failed" : close_err;
  return ok();
}
