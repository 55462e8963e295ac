// The train sheet and the notes; their content is still to be written.

#include "documents/builtin_documents.h"

std::span<const std::string_view> notes_lines() {
  return {};
}
std::span<const std::string_view> train_sheet_lines() {
  return {};
}
