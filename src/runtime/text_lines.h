#pragma once
// The lines of a document as the field reader ends them: at CR, LF or
// CR LF. The checker reads a document a line at a time with them, and the
// language server finds each line's records.

#include <span>
#include <string_view>
#include <vector>

namespace runtime {

// Every line, without its end. A text that ends with a line end has no line
// after it, unless `with_last_empty` (an editor shows one there).
std::vector<std::string_view> split_lines(std::string_view text, bool with_last_empty = false);

// The text of the lines numbered `numbers` (from 1, ascending), in one pass
// that keeps nothing else: a document of millions of lines is not split
// whole for the few lines a report names. A number past the last line gives
// an empty line.
std::vector<std::string_view> lines_numbered(std::string_view text, std::span<const int> numbers);

}  // namespace runtime
