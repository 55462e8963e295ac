#pragma once
// The one mechanism that writes every text document: a table of line slots
// closed by an end marker, written as Windows-1252 text with CR LF after
// every line.

#include <array>
#include <span>
#include <string>
#include <string_view>

#include "runtime/disk.h"
#include "runtime/replace_files.h"

namespace documents {

inline constexpr int document_slots = 1001;
inline constexpr std::string_view end_marker = "riferimento fine del file";

// Slot i holds line i of the document (UTF-8); the slot after the last line
// holds end_marker. Slots that are never filled are empty lines.
using document_lines = std::array<std::string, document_slots>;

// Fills the slots from `lines` and puts the end marker after them. A document
// that does not leave room for the marker is cut to its first 1000 lines.
void fill_document(document_lines& slots, std::span<const std::string_view> lines);

// The bytes of the document: every slot up to the first one that is exactly
// end_marker, converted to Windows-1252 and followed by CR LF. A table
// without a marker is written up to its last slot.
std::string document_bytes(const document_lines& slots);

// Replaces the file at `path` with the document. On failure the earlier file
// is untouched and *failure names the file and the reason.
bool write_document(runtime::disk& d, const std::string& path, const document_lines& slots,
                    runtime::io_failure* failure);

}  // namespace documents
