#pragma once
// The built-in scenario's five documents, one UTF-8 string per line, in order.
// The document writer turns them into Windows-1252 text with CR LF line ends.

#include <span>
#include <string_view>

namespace documents {

std::span<const std::string_view> line_document_lines();
std::span<const std::string_view> train_document_lines();
std::span<const std::string_view> notes_lines();
std::span<const std::string_view> slowdown_order_lines();
std::span<const std::string_view> train_sheet_lines();

}  // namespace documents
