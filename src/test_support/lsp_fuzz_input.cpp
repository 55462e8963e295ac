#include "test_support/lsp_fuzz_input.h"

#include <istream>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "lsp/server.h"
#include "lsp/transport.h"
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

// The disk of every session: a directory with a line description in it.
void set_up_disk(memory_disk& d) {
  d.directories.insert("/d");
  d.files["/d/A_linea.txt"] = "[generale]\r\nlunghezza percorso,    5000\r\n[fine]\r\n";
}

// The checks of the server's output, left out of the fuzz target's coverage
// (their paths follow the answers, and say nothing of the server's).
namespace answer_checks {

// Reads one answer's body as events, without building the document: a
// JSON-RPC message is an object whose "jsonrpc" member (the last one, as a
// reader keeps it) is the string "2.0".
class jsonrpc_check final : public nlohmann::json::json_sax_t {
 public:
  bool holds_message() const { return object_ && version_; }

  bool null() override { return value(false); }
  bool boolean(bool) override { return value(false); }
  bool number_integer(number_integer_t) override { return value(false); }
  bool number_unsigned(number_unsigned_t) override { return value(false); }
  bool number_float(number_float_t, const string_t&) override { return value(false); }
  bool string(string_t& s) override { return value(s == "2.0"); }
  bool binary(binary_t&) override { return value(false); }
  bool start_object(std::size_t) override { return open(true); }
  bool start_array(std::size_t) override { return open(false); }
  bool end_object() override { return close(); }
  bool end_array() override { return close(); }
  bool key(string_t& k) override {
    if (depth_ == 1) version_next_ = k == "jsonrpc";
    return true;
  }
  bool parse_error(std::size_t, const std::string&, const nlohmann::detail::exception&) override {
    return false;
  }

 private:
  bool value(bool is_version) {
    if (depth_ == 1 && version_next_) version_ = is_version;
    version_next_ = false;
    return true;
  }
  bool open(bool is_object) {
    if (depth_ == 0) object_ = is_object;
    value(false);
    ++depth_;
    return true;
  }
  bool close() {
    --depth_;
    return true;
  }

  int depth_ = 0;
  bool object_ = false;
  bool version_next_ = false;  // the value to come is that of "jsonrpc"
  bool version_ = false;
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
  jsonrpc_check check;
  if (!nlohmann::json::sax_parse(out.substr(at, length), &check) || !check.holds_message())
    return 0;
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
    lsp::serve_lsp(in, out, d);
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
  const int status = lsp::serve_lsp(in, out, d);
  if (status != 0 && status != 1) return false;
  std::string_view rest = answers;
  const std::string& opening = answer_checks::initialize_answer();
  if (opened && !opening.empty() && rest.starts_with(opening)) rest.remove_prefix(opening.size());
  return answer_checks::answers_are_framed(rest);
}

}  // namespace test_support
