#include "documents/document_writer.h"

#include "runtime/output_file.h"
#include "runtime/windows1252.h"

namespace documents {

void fill_document(document_lines& slots, std::span<const std::string_view> lines) {
  size_t n = lines.size() < document_slots - 1 ? lines.size() : document_slots - 1;
  for (size_t i = 0; i < n; ++i) slots[i] = lines[i];
  slots[n] = end_marker;
}

std::string document_bytes(const document_lines& slots) {
  std::string bytes;
  for (const std::string& line : slots) {
    if (line == end_marker) break;
    bytes += runtime::to_windows1252(line);
    bytes += "\r\n";
  }
  return bytes;
}

bool write_document(runtime::disk& d, const std::string& path, const document_lines& slots,
                    runtime::io_failure* failure) {
  runtime::output_file out(d, runtime::temporary_name(path));
  if (out.open()) out.put_through(document_bytes(slots));
  if (!out.finish()) {
    *failure = {path, out.error(), "write"};
    runtime::discard_temporaries(d, {path});
    return false;
  }
  return runtime::replace_together(d, {path}, failure);
}

}  // namespace documents
