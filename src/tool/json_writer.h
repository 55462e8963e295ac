#pragma once
// A small JSON writer: objects, arrays, numbers and UTF-8 strings, indented
// two spaces a level. A scope opened "inline" keeps its members on one line.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tool {

// `text` (UTF-8) as a JSON string, quotes included. Control characters (C0,
// DEL, C1) are escaped; a byte that is not UTF-8 becomes U+FFFD.
std::string json_string(std::string_view text);

struct json_writer {
  std::string out;

  void begin_object(bool on_one_line = false) { open('{', on_one_line); }
  void end_object() { close('}'); }
  void begin_array(bool on_one_line = false) { open('[', on_one_line); }
  void end_array() { close(']'); }

  // The key of the next member of the current object.
  void key(std::string_view name);

  void value(int64_t v);
  void value(int32_t v) { value(static_cast<int64_t>(v)); }
  void value(double v);  // finite values only; others are written as null
  void value(bool v);
  void value(std::string_view utf8);
  void value(const char* utf8) { value(std::string_view(utf8)); }
  // A key and its value.
  template <typename T>
  void member(std::string_view name, const T& v) {
    key(name);
    value(v);
  }
  void null();

 private:
  struct scope {
    bool on_one_line;
    bool empty;
  };
  void open(char bracket, bool on_one_line);
  void close(char bracket);
  void before_value();
  void new_line();
  std::vector<scope> scopes_;
  bool after_key_ = false;
};

}  // namespace tool
