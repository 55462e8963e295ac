#include "lsp/transport.h"

#include <algorithm>
#include <csignal>
#include <cstring>
#include <istream>
#include <ostream>

#ifdef _WIN32
#include <windows.h>
#else
#include <poll.h>
#endif

#include "lsp/json_bytes.h"

namespace lsp {

namespace {

constexpr size_t max_header_line = 8192;
constexpr std::string_view length_header = "content-length";

char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether `s` is `lowered` (in lower case) but for the case of its letters.
bool equal_ignoring_case(std::string_view s, std::string_view lowered) {
  if (s.size() != lowered.size()) return false;
  for (size_t i = 0; i < s.size(); ++i)
    if (lower(s[i]) != lowered[i]) return false;
  return true;
}

// Where `lowered`, which begins with a letter, first occurs in `s` but for
// the case of its letters. The places of its first letter are searched for
// in either case, each search kept until it is passed.
size_t find_ignoring_case(std::string_view s, std::string_view lowered) {
  if (lowered.size() > s.size()) return std::string_view::npos;
  const size_t last = s.size() - lowered.size();
  const char cases[2] = {lowered[0], static_cast<char>(lowered[0] - 'a' + 'A')};
  size_t next[2] = {0, 0};
  bool known[2] = {false, false};
  for (size_t at = 0; at <= last;) {
    for (int c = 0; c < 2; ++c)
      if (!known[c] || (next[c] < at)) {
        const void* found = std::memchr(s.data() + at, cases[c], last + 1 - at);
        next[c] = found ? static_cast<size_t>(static_cast<const char*>(found) - s.data())
                        : std::string_view::npos;
        known[c] = true;
      }
    const size_t candidate = std::min(next[0], next[1]);
    if (candidate == std::string_view::npos) return candidate;
    if (equal_ignoring_case(s.substr(candidate, lowered.size()), lowered)) return candidate;
    at = candidate + 1;
  }
  return std::string_view::npos;
}

bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// The value of a Content-Length header: digits only, at most ten of them.
bool parse_length(std::string_view value, size_t* length) {
  while (!value.empty() && (value.front() == ' ' || value.front() == '\t')) value.remove_prefix(1);
  while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  if (value.empty() || value.size() > 10) return false;
  size_t n = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + static_cast<size_t>(c - '0');
  }
  *length = n;
  return true;
}

// Follows a body as JSON only as far as needed to tell where one whole
// object or array ends. The insides of strings, most of a message, are
// passed over by searching for their quotes and backslashes.
struct json_extent {
  int depth = 0;
  bool started = false, opaque = false, in_string = false, escaped = false, whole = false;

  // Takes the next `n` bytes of the body from `p`; returns how many of them
  // belong to it: all, or those before the first one that is not blank
  // after a whole object or array.
  size_t take(const char* p, size_t n) {
    size_t i = 0;
    while (i < n) {
      if (opaque) return n;
      if (whole) {
        if (!is_blank(p[i])) return i;
        ++i;
        continue;
      }
      if (!started) {
        const char c = p[i++];
        if (is_blank(c)) continue;
        started = true;
        if (c != '{' && c != '[')
          opaque = true;
        else
          depth = 1;
        continue;
      }
      if (in_string) {
        if (escaped) {
          escaped = false;
          ++i;
          continue;
        }
        const size_t quote = closing_quote(p, i, n, &escaped);
        if (quote == n) return n;
        i = quote + 1;
        in_string = false;
        continue;
      }
      // Outside strings, up to the next quote or bracket.
      while (i < n && json_byte_of(p[i]) == json_byte::plain) ++i;
      if (i == n) return n;
      switch (json_byte_of(p[i++])) {
        case json_byte::quote:
          in_string = true;
          break;
        case json_byte::opening:
          ++depth;
          break;
        case json_byte::closing:
          if (--depth == 0) whole = true;
          break;
        case json_byte::plain:
          break;
      }
    }
    return n;
  }
};

}  // namespace

// The stream is read in blocks of at most this size, and only as much as it
// holds already: a pipe from the editor is never waited on for more than
// one byte.
constexpr size_t read_block = 64 * 1024;

bool frame_reader::fill() {
  if (at_ < buffer_.size()) return true;
  buffer_.clear();
  at_ = 0;
  std::streambuf& in = *in_.rdbuf();
  std::streamsize available = in.in_avail();
  if (available <= 0) {
    // Nothing buffered: wait for at least one byte.
    if (in.sgetc() == std::char_traits<char>::eof()) return false;
    available = std::max<std::streamsize>(in.in_avail(), 1);
  }
  buffer_.resize(std::min(static_cast<size_t>(available), read_block));
  buffer_.resize(static_cast<size_t>(in.sgetn(buffer_.data(), std::streamsize(buffer_.size()))));
  return !buffer_.empty();
}

bool frame_reader::has_buffered_input() const {
  return at_ < buffer_.size() || in_.rdbuf()->in_avail() > 0;
}

bool frame_reader::header_line(std::string* line) {
  line->clear();
  for (;;) {
    if (!fill()) return false;
    const std::string_view unread = std::string_view(buffer_).substr(at_);
    const size_t end = unread.find('\n');
    const std::string_view part = unread.substr(0, end);
    line->append(part);
    at_ += part.size();
    // An overlong line cannot be a header of ours; only its tail is kept,
    // where the next message's header may begin: the line is cut back to
    // `kept` bytes each time it grows past the limit, as if it were read a
    // byte at a time.
    if (line->size() > max_header_line) {
      constexpr size_t kept = length_header.size() + 16, period = max_header_line + 1 - kept;
      line->erase(0, line->size() - (kept + (line->size() - max_header_line - 1) % period));
    }
    if (end != std::string_view::npos) {
      ++at_;
      break;
    }
  }
  if (!line->empty() && line->back() == '\r') line->pop_back();
  return true;
}

bool frame_reader::read_body(size_t length, bool keep, std::string* body) {
  body->clear();
  // Room for the body's bytes read already (all of it, when the editor
  // sent the message whole), not for what the header claims.
  if (keep && length > 0 && fill()) body->reserve(std::min(length, buffer_.size() - at_));
  json_extent json;
  while (length > 0) {
    if (!fill()) return false;
    const size_t from = at_;
    const size_t n = std::min(length, buffer_.size() - at_);
    // The length was too long: what follows the object is the next
    // message, left unread.
    const size_t i = json.take(buffer_.data() + from, n);
    if (keep) body->append(buffer_, from, i);
    at_ += i;
    if (i < n) return true;
    length -= n;
  }
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
    const size_t header = find_ignoring_case(line, length_header);
    if (header != std::string::npos && (header > 0 || (bad && !have_length))) {
      // The next message begins here; what came before it is left.
      line.erase(0, header);
      bad = have_length = false;
    }
    const size_t colon = line.find(':');
    if (colon == std::string::npos) {
      bad = true;
      continue;
    }
    if (equal_ignoring_case(std::string_view(line).substr(0, colon), length_header)) {
      if (have_length || !parse_length(std::string_view(line).substr(colon + 1), &length))
        bad = true;
      have_length = true;
    }
  }
  if (bad || !have_length) return frame_status::bad_header;
  if (length > max_message_bytes) {
    if (!read_body(length, false, body)) return frame_status::end_of_input;
    return frame_status::bad_header;
  }
  if (!read_body(length, true, body)) return frame_status::end_of_input;
  return frame_status::message;
}

std::string framed(std::string_view body) {
  std::string out = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  out.append(body);
  return out;
}

int run_message_loop(std::istream& in, std::ostream& out, const message_handler& handler,
                     const std::function<bool()>& input_waiting) {
  frame_reader reader(in);
  auto send = [&](const std::vector<std::string>& messages) {
    if (messages.empty()) return true;
    // Headers and body written one after the other, not copied into one.
    for (const std::string& m : messages)
      out << "Content-Length: " << std::to_string(m.size()) << "\r\n\r\n" << m;
    out.flush();
    return static_cast<bool>(out);
  };
  constexpr size_t kept_body_capacity = 1 << 20;
  std::string body;
  for (;;) {
    // Work put off while messages were coming (the diagnostics of a burst
    // of edits) is done once the editor pauses.
    if (!reader.has_buffered_input() && !input_waiting() && !send(handler.idle())) return 1;
    const frame_status status = reader.next(&body);
    if (status == frame_status::end_of_input) return handler.exit_status();
    if (!send(status == frame_status::message ? handler.message(body) : handler.bad_frame()))
      return 1;
    // The text of a large document opened is the editor's and the server's
    // own copies hold it now: this buffer does not keep it as well.
    if (body.capacity() > kept_body_capacity) std::string().swap(body);
    if (handler.finished()) return handler.exit_status();
  }
}

bool standard_input_waiting() {
#ifdef _WIN32
  DWORD available = 0;
  return PeekNamedPipe(GetStdHandle(STD_INPUT_HANDLE), nullptr, 0, nullptr, &available, nullptr) &&
         available > 0;
#else
  pollfd p{0, POLLIN, 0};
  return poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
#endif
}

void ignore_broken_pipes() {
#ifdef SIGPIPE
  std::signal(SIGPIPE, SIG_IGN);
#endif
}

}  // namespace lsp
