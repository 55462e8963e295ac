#pragma once
// Text as the files hold it: one byte a character, Windows-1252.

#include <string>
#include <string_view>

namespace runtime {

// Converts UTF-8 text to Windows-1252. A character that has no code there
// (or a byte that is not valid UTF-8) becomes '?'.
std::string to_windows1252(std::string_view utf8);

// Converts Windows-1252 text to UTF-8 (for showing it on a terminal or in
// SVG and JSON).
std::string windows1252_to_utf8(std::string_view text);

// The lower-case form of a Windows-1252 character, and of a text.
unsigned char lower_windows1252(unsigned char c);
std::string lower_text(std::string_view text);

// True when `text` contains `word`, comparing letters without regard to case.
bool contains_any_case(std::string_view text, std::string_view word);
// True when `text` contains `word` exactly.
inline bool contains(std::string_view text, std::string_view word) {
  return text.find(word) != std::string_view::npos;
}

}  // namespace runtime
