#include "documents/writers.h"

#include <memory>

#include "documents/builtin_documents.h"
#include "documents/document_writer.h"

namespace documents {

namespace {

// A document: its file's name and its lines.
struct builtin_document {
  std::string (*name)(const model::scenario_identity&);
  std::span<const std::string_view> (*lines)();
};

constexpr builtin_document builtin_documents[] = {
    {model::line_description_name, line_document_lines},
    {model::train_document_name, train_document_lines},
    {model::notes_name, notes_lines},
    {model::slowdown_order_name, slowdown_order_lines},
    {model::train_sheet_name, train_sheet_lines},
};

}  // namespace

bool write_builtin_documents(runtime::disk& d, const std::string& directory,
                             const model::scenario_identity& id, runtime::io_failure* failure) {
  for (const builtin_document& document : builtin_documents) {
    auto slots = std::make_unique<document_lines>();
    fill_document(*slots, document.lines());
    if (!write_document(d, model::path_in(directory, document.name(id)), *slots, failure))
      return false;
  }
  return true;
}

}  // namespace documents
