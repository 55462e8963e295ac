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
//
// A frame that lies about its length does not end the session: after
// headers without a usable length the reader looks for the next
// "Content-Length" header, even in the middle of a line; a body that holds
// one whole JSON object or array and then more than blanks was framed too
// long, and the reader stops the body there and reads the rest as the next
// headers; a body framed too short leaves its tail before the next headers,
// where it is passed over in the same way.

#include <cstddef>
#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace lsp {

// No message body is kept beyond this size (a longer one is read and
// dropped), nor a header line beyond 8 KiB.
inline constexpr size_t max_message_bytes = size_t{64} << 20;

enum class frame_status {
  message,       // *body holds a message
  bad_header,    // the headers named no usable length, or a body too large
  end_of_input,  // the input ended (possibly in the middle of a message)
};

class frame_reader {
 public:
  explicit frame_reader(std::istream& in) : in_(in) {}
  frame_status next(std::string* body);
  // Whether bytes of the next message are already read into the stream's
  // buffer or the reader's.
  bool has_buffered_input() const;

 private:
  // Makes unread bytes available in buffer_, reading what the stream has
  // (waiting only when it has nothing); false at the end of the input.
  bool fill();
  // One header line without its line end; false at the end of the input.
  bool header_line(std::string* line);
  // Reads a body of `length` bytes into *body (or drops it when `keep` is
  // false); false when the input ends first.
  bool read_body(size_t length, bool keep, std::string* body);

  std::istream& in_;
  // Bytes taken from the stream in blocks; those from `at_` on are unread.
  std::string buffer_;
  size_t at_ = 0;
};

// A body with its headers, ready to write.
std::string framed(std::string_view body);

// What the message loop asks of the server.
struct message_handler {
  // The answers to one message body, or to headers that could not be read.
  std::function<std::vector<std::string>(std::string_view body)> message;
  std::function<std::vector<std::string>()> bad_frame;
  // Called when no further message is waiting: work put off until then.
  std::function<std::vector<std::string>()> idle;
  // Whether the server has ended, and its exit status.
  std::function<bool()> finished;
  std::function<int()> exit_status;
};

// Reads messages from `in` and writes the answers to `out` until the
// handler has finished or the input ends; returns the exit status (1 when
// the output cannot be written). `input_waiting` says whether more input
// can be read at once (beyond what the stream has buffered).
int run_message_loop(std::istream& in, std::ostream& out, const message_handler& handler,
                     const std::function<bool()>& input_waiting);

// Whether standard input has bytes that can be read without waiting.
bool standard_input_waiting();
// Makes a write to a closed pipe fail with an error instead of ending the
// process.
void ignore_broken_pipes();

}  // namespace lsp
