#include "lsp/message_framing.h"

#include <algorithm>
#include <istream>

namespace {

constexpr size_t max_header_line = 8192;

std::string lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// The value of a Content-Length header: digits only, at most the limit.
bool parse_length(std::string_view value, size_t* length) {
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  if (value.empty() || value.size() > 10) return false;
  size_t n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<size_t>(c - '0');
  }
  if (n > max_message_bytes) return false;
  *length = n;
  return true;
}

}  // namespace

bool frame_reader::header_line(std::string* line) {
  line->clear();
  for (;;) {
    int c = in_.get();
    if (c == std::char_traits<char>::eof()) return false;
    if (c == '\n') break;
    // An overlong line is kept short; it cannot be a header of ours.
    if (line->size() < max_header_line) line->push_back(static_cast<char>(c));
  }
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return true;
}

frame_status frame_reader::next(std::string* body) {
  std::string line;
  bool have_length = false, bad = false, any_header = false;
  size_t length = 0;
  for (;;) {
    if (!header_line(&line)) return frame_status::end_of_input;
    if (line.empty()) {
      // Blank lines between messages are passed over.
      if (!any_header) continue;
      break;
    }
    any_header = true;
    const size_t colon = line.find(':');
    if (colon == std::string::npos) {
      bad = true;
      continue;
    }
    if (lower(std::string_view(line).substr(0, colon)) == "content-length") {
      if (have_length || !parse_length(std::string_view(line).substr(colon + 1), &length))
        bad = true;
      have_length = true;
    }
  }
  if (bad || !have_length) return frame_status::bad_header;
  // Read in pieces, so that a length that is a lie costs no more memory
  // than the bytes that really come.
  body->clear();
  char piece[65536];
  while (body->size() < length) {
    const size_t want = std::min(sizeof piece, length - body->size());
    in_.read(piece, static_cast<std::streamsize>(want));
    const size_t got = static_cast<size_t>(in_.gcount());
    body->append(piece, got);
    if (got != want) return frame_status::end_of_input;
  }
  return frame_status::message;
}

std::string framed(std::string_view body) {
  std::string out = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  out.append(body);
  return out;
}
