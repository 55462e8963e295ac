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

namespace lsp {

// How the characters of a line are counted: in bytes of UTF-8, in UTF-16
// code units (the protocol's default) or in code points.
enum class position_encoding { utf8, utf16, utf32 };

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

// A change the editor can apply: edits of one or more documents, and the
// diagnostics it mends.
struct code_action {
  std::string title;
  std::vector<std::pair<std::string, std::vector<text_edit>>> edits;  // by URI
  std::vector<diagnostic> mends;
  bool preferred = false;
};

// A record's fields as a signature, and the one the cursor is in.
struct signature {
  std::string label;
  std::string documentation;
  struct parameter {
    std::string label;
    std::string documentation;
  };
  std::vector<parameter> parameters;
  int active = 0;
};

struct inlay_hint {
  text_position at;
  std::string label;
  std::string tooltip;
};

struct folding_range {
  int start_line = 0;
  int end_line = 0;
};

enum class token_kind { keyword, number, text, section, comment };

struct semantic_token {
  int line = 0;
  int character = 0;  // in the editor's units
  int length = 0;     // in the editor's units
  token_kind kind = token_kind::keyword;
};

struct symbol_information {
  std::string name;
  symbol_kind kind = symbol_kind::station;
  location where;
  std::string container;
};

}  // namespace lsp
