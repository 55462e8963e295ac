#pragma once
// Text for a terminal. Names and keywords come from documents and packages
// that anyone may have written: their control characters must neither move
// the cursor nor ring, nor reach a terminal as anything but visible escapes.

#include <cstddef>
#include <string>
#include <string_view>

namespace runtime {

// The length of the valid UTF-8 sequence at text[i] (1 to 4), or 0 when the
// bytes there are not one (a stray continuation byte, an overlong form, a
// surrogate, a code point past U+10FFFF, a sequence cut short).
size_t utf8_sequence(std::string_view text, size_t i);

// `utf8` with control characters (C0, DEL and C1, such as escape, bell or
// NUL) and bytes that are not UTF-8 shown as "\x1b" or "\u009b".
std::string printable(std::string_view utf8);

}  // namespace runtime
