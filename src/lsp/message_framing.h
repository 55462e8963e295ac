#pragma once
// The editors' protocol frames each message with headers:
//
//   Content-Length: 52\r\n
//   \r\n
//   {"jsonrpc":"2.0","id":1,"method":"initialize",...}
//
// The reader takes the headers up to the blank line, then exactly as many
// bytes as Content-Length says. Header lines may end in LF alone; headers
// other than Content-Length are ignored.

#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>

// No message body is read beyond this size, nor a header line beyond 8 KiB.
inline constexpr size_t max_message_bytes = size_t{64} << 20;

enum class frame_status {
  message,       // *body holds a message
  bad_header,    // the headers named no usable length; they were skipped
  end_of_input,  // the input ended (possibly in the middle of a message)
};

class frame_reader {
 public:
  explicit frame_reader(std::istream& in) : in_(in) {}
  frame_status next(std::string* body);

 private:
  // One header line without its line end; false at the end of the input.
  bool header_line(std::string* line);
  std::istream& in_;
};

// A body with its headers, ready to write.
std::string framed(std::string_view body);
