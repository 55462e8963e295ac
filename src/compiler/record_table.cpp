#include "compiler/record_table.h"

#include "runtime/windows1252.h"

namespace compiler {

bool keyword_matches(record_kind kind, std::string_view field) {
  const keyword_test& test = record_of(kind).test;
  auto has = [&](std::string_view word) {
    return word.empty() || (test.with_case ? runtime::contains(field, word)
                                           : runtime::contains_any_case(field, word));
  };
  return has(test.word) && has(test.other_word);
}

}  // namespace compiler
