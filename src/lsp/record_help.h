#pragma once
// What each record's fields are called and mean, for people reading a
// document in their editor.

#include <span>
#include <string_view>

#include "compiler/record_forms.h"

struct field_help {
  std::string_view name;
  std::string_view unit;  // "m", "km/h", ... or empty
  std::string_view meaning;
  // A metre along the route, which lies in a cell of the track grid.
  bool is_position = false;
};

// One entry for each field of the record's form, in order.
std::span<const field_help> fields_of(record_kind kind);
