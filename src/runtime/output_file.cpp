#include "runtime/output_file.h"

namespace runtime {

output_file::output_file(disk& d, std::string path) : d_(d), path_(std::move(path)) {}

output_file::~output_file() {
  if (handle_ >= 0) {
    std::string ignored;
    d_.close(handle_, &ignored);
  }
}

bool output_file::open() {
  if (!d_.create_file(path_, &handle_, &err_)) {
    handle_ = -1;
    if (err_.empty()) err_ = "cannot create the file";
    return false;
  }
  return true;
}

void output_file::flush() {
  // After a failure the bytes are dropped: the file is abandoned anyway.
  if (ok() && used_ > 0 && handle_ >= 0 &&
      !d_.write(handle_, std::string_view(buffer_.get(), used_), &err_) && err_.empty())
    err_ = "write failed";
  used_ = 0;
}

void output_file::put(std::string_view bytes) {
  while (!bytes.empty()) {
    size_t n = bytes.size() < capacity_ ? bytes.size() : capacity_;
    std::memcpy(room(n), bytes.data(), n);
    bytes.remove_prefix(n);
  }
}

void output_file::put_through(std::string_view bytes) {
  flush();
  if (ok() && handle_ >= 0 && !bytes.empty() && !d_.write(handle_, bytes, &err_) && err_.empty())
    err_ = "write failed";
}

void output_file::write_at(int64_t offset, std::string_view bytes) {
  if (ok() && handle_ >= 0 && !d_.write_at(handle_, offset, bytes, &err_) && err_.empty())
    err_ = "write failed";
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

}  // namespace runtime
