#include "test_support/lsp_fuzz_input.h"

#include <cstdint>
#include <istream>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>

#include "lsp/server.h"
#include "lsp/transport.h"
#include "runtime/printable_text.h"
#include "test_support/memory_disk.h"

namespace test_support {

namespace {

// A session is opened for the input, so that it reaches the handlers of
// documents and positions and not only the refusal of an uninitialised
// server: an "initialize" request goes first unless the input begins with
// "!".
constexpr std::string_view initialize =
    R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{"capabilities":{}}})";

const std::string& opening_frame() {
  static const std::string frame = lsp::framed(initialize);
  return frame;
}

// A stream's bytes read in place, and its output appended to a string: no
// copy of either is made.
class bytes_in final : public std::streambuf {
 public:
  explicit bytes_in(std::string& bytes) {
    setg(bytes.data(), bytes.data(), bytes.data() + bytes.size());
  }
};

class bytes_out final : public std::streambuf {
 public:
  explicit bytes_out(std::string& bytes) : bytes_(bytes) {}

 protected:
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof()))
      bytes_.push_back(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    bytes_.append(s, static_cast<size_t>(n));
    return n;
  }

 private:
  std::string& bytes_;
};

// The route of every session: the line description on its disk, and the
// stand-in a lone train document is checked on. The server gives editors
// the longest route a compile takes, 1 000 000 m, whose 20 001 grid cells
// each check lays out several times: under the sanitizers that costs more
// than all the rest of an input. The checks run the same code on any
// length, and the server's own tests check the longest.
constexpr int32_t session_route_metres = 5000;

// The disk of every session: a directory with a line description in it.
void set_up_disk(memory_disk& d) {
  d.directories.insert("/d");
  d.files["/d/A_linea.txt"] = "[generale]\r\nlunghezza percorso,    " +
                              std::to_string(session_route_metres) + "\r\n[fine]\r\n";
}

int serve_session(std::istream& in, std::ostream& out, memory_disk& d) {
  return lsp::serve_lsp(
      in, out, d, [] { return false; }, nullptr, session_route_metres);
}

// The checks of the server's output, left out of the fuzz target's coverage
// (their paths follow the answers, and say nothing of the server's).
namespace answer_checks {

// Whether one answer's body is a JSON-RPC message: one JSON value, whole and
// well formed (strings of valid UTF-8, escapes and surrogate pairs whole),
// that is an object whose "jsonrpc" member (the last one, as a reader keeps
// it) is the string "2.0". A single pass over the bytes, with no token
// copied: the server writes every name and "2.0" without escapes, so they
// are compared as written.
class message_scan {
 public:
  explicit message_scan(std::string_view body) : s_(body) {}

  bool holds_message() {
    bool top_is_object = false, version = false;
    bool version_next = false;  // the value to come is that of "jsonrpc"
    std::string open;           // the containers open, '{' or '['
    enum class want { value, key, colon, comma_or_close } next = want::value;
    bool first = false;  // just after an opening bracket: it may close at once
    for (;;) {
      skip_space();
      if (next == want::comma_or_close && open.empty())
        return at_ == s_.size() && top_is_object && version;
      if (at_ == s_.size()) return false;
      const char c = s_[at_];
      // A container closes after an opening bracket, or after a value.
      const bool closes =
          (first || next == want::comma_or_close) && c == (open.back() == '{' ? '}' : ']');
      first = false;
      if (closes) {
        ++at_;
        open.pop_back();
        next = want::comma_or_close;
        continue;
      }
      switch (next) {
        case want::value: {
          bool is_version = false;
          if (c == '{' || c == '[') {
            if (open.empty()) top_is_object = c == '{';
            open.push_back(c);
            ++at_;
            first = true;
            next = c == '{' ? want::key : want::value;
          } else {
            if (c == '"') {
              std::string_view text;
              if (!string(&text)) return false;
              is_version = text == "2.0";
            } else if (!number() && !literal()) {
              return false;
            }
            next = want::comma_or_close;
          }
          if (version_next) version = is_version;
          version_next = false;
          break;
        }
        case want::key: {
          std::string_view name;
          if (c != '"' || !string(&name)) return false;
          version_next = open.size() == 1 && name == "jsonrpc";
          next = want::colon;
          break;
        }
        case want::colon:
          if (c != ':') return false;
          ++at_;
          next = want::value;
          break;
        case want::comma_or_close:
          if (c != ',') return false;
          ++at_;
          next = open.back() == '{' ? want::key : want::value;
          break;
      }
    }
  }

 private:
  void skip_space() {
    while (at_ < s_.size() &&
           (s_[at_] == ' ' || s_[at_] == '\t' || s_[at_] == '\n' || s_[at_] == '\r'))
      ++at_;
  }

  bool take(char c) {
    if (at_ < s_.size() && s_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }

  bool digits() {
    const size_t from = at_;
    while (at_ < s_.size() && s_[at_] >= '0' && s_[at_] <= '9') ++at_;
    return at_ > from;
  }

  bool number() {
    const size_t from = at_;
    take('-');
    if (!take('0') && !(at_ < s_.size() && s_[at_] >= '1' && s_[at_] <= '9' && digits())) {
      at_ = from;
      return false;
    }
    if (take('.') && !digits()) return false;
    if (take('e') || take('E')) {
      if (!take('+')) take('-');
      if (!digits()) return false;
    }
    return true;
  }

  bool literal() {
    for (std::string_view word : {"true", "false", "null"})
      if (s_.substr(at_, word.size()) == word) {
        at_ += word.size();
        return true;
      }
    return false;
  }

  // The four hex digits of an escaped UTF-16 unit; -1 when they are not.
  int hex4() {
    if (s_.size() - at_ < 4) return -1;
    int v = 0;
    for (int k = 0; k < 4; ++k) {
      const char h = s_[at_ + k];
      const int d = h >= '0' && h <= '9'   ? h - '0'
                    : h >= 'a' && h <= 'f' ? h - 'a' + 10
                    : h >= 'A' && h <= 'F' ? h - 'A' + 10
                                           : -1;
      if (d < 0) return -1;
      v = v * 16 + d;
    }
    at_ += 4;
    return v;
  }

  // A string from its opening quote; `text` is what stands between the
  // quotes, escapes as written.
  bool string(std::string_view* text) {
    const size_t from = ++at_;
    while (at_ < s_.size()) {
      const auto c = static_cast<unsigned char>(s_[at_]);
      if (c == '"') {
        *text = s_.substr(from, at_ - from);
        ++at_;
        return true;
      }
      if (c < 0x20) return false;
      if (c >= 0x80) {
        const size_t n = runtime::utf8_sequence(s_, at_);
        if (n == 0) return false;
        at_ += n;
        continue;
      }
      ++at_;
      if (c != '\\') continue;
      if (at_ == s_.size()) return false;
      const char e = s_[at_++];
      if (e == 'u') {
        const int unit = hex4();
        if (unit < 0 || (unit >= 0xDC00 && unit <= 0xDFFF)) return false;
        if (unit >= 0xD800 && unit <= 0xDBFF) {
          if (!take('\\') || !take('u')) return false;
          const int low = hex4();
          if (low < 0xDC00 || low > 0xDFFF) return false;
        }
      } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
        return false;
      }
    }
    return false;
  }

  std::string_view s_;
  size_t at_ = 0;
};

// The length of the first answer of `out` with its headers, framed as
// lsp::framed frames it and holding a JSON-RPC message; 0 when it is not.
size_t answer_framed(std::string_view out) {
  constexpr std::string_view head = "Content-Length: ", blank_line = "\r\n\r\n";
  if (out.substr(0, head.size()) != head) return 0;
  size_t at = head.size(), length = 0, digits = 0;
  while (at < out.size() && digits < 10 && out[at] >= '0' && out[at] <= '9') {
    length = length * 10 + static_cast<size_t>(out[at++] - '0');
    ++digits;
  }
  if (digits == 0 || out.substr(at, blank_line.size()) != blank_line) return 0;
  at += blank_line.size();
  if (length > out.size() - at) return 0;
  if (!message_scan(out.substr(at, length)).holds_message()) return 0;
  return at + length;
}

// Whether the output is nothing but such answers, one after the other.
bool answers_are_framed(std::string_view out) {
  while (!out.empty()) {
    const size_t n = answer_framed(out);
    if (n == 0) return false;
    out.remove_prefix(n);
  }
  return true;
}

// The server's answer to the opening "initialize", with its headers: the
// same for every input, so that it is checked once and then compared byte
// for byte. Empty if it fails the check (every input then fails it too).
const std::string& initialize_answer() {
  static const std::string answer = [] {
    std::istringstream in(lsp::framed(initialize));
    std::ostringstream out;
    memory_disk d;
    set_up_disk(d);
    serve_session(in, out, d);
    const std::string all = out.str();
    return all.substr(0, answer_framed(all));
  }();
  return answer;
}

}  // namespace answer_checks

}  // namespace

bool lsp_answers_are_framed(std::string_view output) {
  return answer_checks::answers_are_framed(output);
}

bool run_lsp_fuzz_input(std::string_view input) {
  // The session's input and output, kept from one input to the next so
  // that their memory is allocated once.
  static std::string stream, answers;
  const bool opened = input.empty() || input[0] != '!';
  stream.clear();
  if (opened)
    stream = opening_frame();
  else
    input.remove_prefix(1);
  stream.append(input);
  answers.clear();
  bytes_in in_buffer(stream);
  bytes_out out_buffer(answers);
  std::istream in(&in_buffer);
  std::ostream out(&out_buffer);
  memory_disk d;
  set_up_disk(d);
  const int status = serve_session(in, out, d);
  if (status != 0 && status != 1) return false;
  std::string_view rest = answers;
  const std::string& opening = answer_checks::initialize_answer();
  if (opened && !opening.empty() && rest.starts_with(opening)) rest.remove_prefix(opening.size());
  return answer_checks::answers_are_framed(rest);
}

}  // namespace test_support
