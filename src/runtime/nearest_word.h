#pragma once
// "Did you mean …?": the known word nearest to a misspelt one, for keywords
// in a document as for commands, options and warning kinds on the command
// line.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// The optimal string alignment distance (edits, swaps of neighbours
// included) between two short texts, without regard to case.
size_t edit_distance(std::string_view a, std::string_view b);

// The candidate nearest to `word` when it is near enough to be what was
// meant: at most one edit in three letters of the candidate (at least one).
// Nothing for an empty or very long word, or when nothing is near.
std::optional<std::string> nearest_word(std::string_view word,
                                        const std::vector<std::string>& candidates);

}  // namespace runtime
