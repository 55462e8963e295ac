#pragma once
// A file written through the disk in large blocks, with little-endian helpers
// for the binary layouts. The first failure is kept and ends all writing.

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/disk.h"

struct output_file {
  output_file(disk& d, std::string path);
  ~output_file();  // closes a file that was neither finished nor abandoned

  bool open();
  void put(std::string_view bytes);
  void put_u8(uint8_t v);
  void put_i16(int16_t v);
  void put_i32(int32_t v);
  void put_f64(double v);
  // Writes what is left in the buffer and closes the file; false when any
  // step of the file failed.
  bool finish();

  bool ok() const { return err_.empty(); }
  const std::string& path() const { return path_; }
  const std::string& error() const { return err_; }

 private:
  void flush();
  disk& d_;
  std::string path_;
  int handle_ = -1;
  std::string buffer_;
  std::string err_;
};
