#pragma once
// A document as the features see it: its text as the compile reads it
// (Windows-1252), its records, and the way back from those columns to the
// editor's (UTF-16 code units of the UTF-8 text the editor holds).

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "lsp/document_records.h"
#include "lsp/text_document.h"

namespace lsp {

struct document_view {
  std::string uri;
  document_kind kind = document_kind::unknown;
  text_document source;  // Windows-1252, as the compile reads it
  // The editor's text, or null for a document read from the disk (whose
  // Windows-1252 characters are one code point each).
  const text_document* held = nullptr;
  // How the editor counts columns (for a document read from the disk).
  position_encoding encoding = position_encoding::utf16;
  // The records, read when a feature needs them (the diagnostics do not).
  std::vector<record_line> records;

  // Editor column of a Windows-1252 column of a line, and back.
  int editor_column(int line, int column) const;
  int document_column(int line, int editor_character) const;
  // The editor's range of the Windows-1252 columns [begin, end) of a line.
  text_range editor_range(int line, int begin, int end) const;
  // The record on a line, if the line holds one.
  const record_line* record_at(int line) const;
};

// The two documents that compile together. A member is null when the
// document has no partner beside it.
struct document_pair {
  const document_view* line = nullptr;
  const document_view* train = nullptr;
  // A partner read from the disk, which nothing else holds.
  std::shared_ptr<const document_view> read_from_disk;
};

}  // namespace lsp
