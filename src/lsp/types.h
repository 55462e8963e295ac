#pragma once
// What the features take and give: places, edits, diagnostics, hovers,
// completion items, symbols, as plain values. The protocol's JSON shapes are
// made from them in one place (protocol.h); features never see JSON.
//
// Lines count from 0; characters count in the units the session agreed on
// with the editor (UTF-16 code units unless it asked for another).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct text_position {
  int line = 0;
  int character = 0;
  bool operator==(const text_position&) const = default;
};

struct text_range {
  text_position start, end;
  bool operator==(const text_range&) const = default;
};

struct location {
  std::string uri;
  text_range range;
};

struct text_edit {
  text_range range;
  std::string new_text;
};

enum class diagnostic_severity { error, warning, information, hint };

// Another place that explains a diagnostic: the record that holds a taken
// cell, the record before one out of order.
struct related_place {
  location where;
  std::string message;
};

struct diagnostic {
  text_range range;
  diagnostic_severity severity = diagnostic_severity::error;
  // The fault's number, or else the warning's or note's kind
  // ("unknown-keyword", "no-partner").
  std::optional<int> fault;
  std::string kind;
  std::string message;
  // The fault's position in metres, as the compile keeps it.
  std::optional<int32_t> position;
  bool from_compile = false;
  std::vector<related_place> related;
};

struct hover_text {
  std::string markdown;
  text_range range;
};

enum class completion_kind { keyword };

struct completion_item {
  std::string label;
  completion_kind kind = completion_kind::keyword;
  std::string detail;
  std::string documentation;
  std::string filter_text;
  // Whether new_text is a snippet ("${1:position}").
  bool snippet = false;
  text_edit edit;
};

enum class symbol_kind { section, number, text, station, signal, restriction };

struct document_symbol {
  std::string name;
  std::string detail;
  symbol_kind kind = symbol_kind::section;
  text_range range;
  text_range selection_range;
  std::vector<document_symbol> children;
};
