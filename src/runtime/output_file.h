#pragma once
// A file written through the disk in large blocks, with little-endian helpers
// for the binary layouts. The first failure is kept and ends all writing.

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "runtime/disk.h"

namespace runtime {

// Stores v at p, least significant byte first.
template <typename T>
inline void encode_le(char* p, T v) {
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &v, sizeof v);
  } else {
    for (size_t i = 0; i < sizeof v; ++i) p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  }
}

struct output_file {
  output_file(disk& d, std::string path);
  ~output_file();  // closes a file that was neither finished nor abandoned
  output_file(const output_file&) = delete;
  output_file& operator=(const output_file&) = delete;

  bool open();
  void put(std::string_view bytes);
  void put_u8(uint8_t v) { *room(1) = static_cast<char>(v); }
  void put_i16(int16_t v) { put_le(static_cast<uint16_t>(v)); }
  void put_i32(int32_t v) { put_le(static_cast<uint32_t>(v)); }
  void put_f64(double v) { put_le(std::bit_cast<uint64_t>(v)); }
  // Writes what is left in the buffer and closes the file; false when any
  // step of the file failed.
  bool finish();
  // Reserves room for the whole file, when its size is known; the buffer,
  // not yet in use, then need not be larger than the file.
  void reserve(int64_t bytes) {
    if (ok() && handle_ >= 0) d_.reserve(handle_, bytes);
    if (!buffer_ && bytes < static_cast<int64_t>(capacity_))
      capacity_ = bytes < 64 ? 64 : static_cast<size_t>(bytes);
  }
  // Writes bytes down the stream, after what the buffer holds, without
  // copying them into the buffer (for bytes already in a buffer of their own).
  void put_through(std::string_view bytes);
  // Writes bytes at an offset of the file, outside the buffered stream.
  void write_at(int64_t offset, std::string_view bytes);

  bool ok() const { return err_.empty(); }
  const std::string& path() const { return path_; }
  const std::string& error() const { return err_; }

  // Buffer space for the next n bytes (n at most 64), to be filled by the
  // caller. The buffer is taken at the first use: a file written only
  // through put_through() and write_at() needs none.
  char* room(size_t n) {
    if (!buffer_) buffer_.reset(new char[capacity_]);
    if (used_ + n > capacity_) flush();
    char* p = buffer_.get() + used_;
    used_ += n;
    return p;
  }

  static constexpr size_t block_size = 1 << 20;

 private:
  template <typename T>
  void put_le(T v) {
    encode_le(room(sizeof v), v);
  }
  void flush();

  disk& d_;
  std::string path_;
  int handle_ = -1;
  std::unique_ptr<char[]> buffer_;
  size_t capacity_ = block_size;
  size_t used_ = 0;
  std::string err_;
};

}  // namespace runtime
