#include "documents/writers.h"

#include <memory>

#include "documents/builtin_documents.h"
#include "documents/document_writer.h"

namespace documents {

namespace {

bool write_builtin(runtime::disk& d, const std::string& path,
                   std::span<const std::string_view> lines, runtime::io_failure* failure) {
  auto slots = std::make_unique<document_lines>();
  fill_document(*slots, lines);
  return write_document(d, path, *slots, failure);
}

}  // namespace

bool write_line_description(runtime::disk& d, const std::string& directory,
                            const model::scenario_identity& id, runtime::io_failure* failure) {
  return write_builtin(d, model::path_in(directory, model::line_description_name(id)),
                       line_document_lines(), failure);
}

bool write_train_document(runtime::disk& d, const std::string& directory,
                          const model::scenario_identity& id, runtime::io_failure* failure) {
  return write_builtin(d, model::path_in(directory, model::train_document_name(id)),
                       train_document_lines(), failure);
}

bool write_notes(runtime::disk& d, const std::string& directory, const model::scenario_identity& id,
                 runtime::io_failure* failure) {
  return write_builtin(d, model::path_in(directory, model::notes_name(id)), notes_lines(), failure);
}

bool write_slowdown_order(runtime::disk& d, const std::string& directory,
                          const model::scenario_identity& id, runtime::io_failure* failure) {
  return write_builtin(d, model::path_in(directory, model::slowdown_order_name(id)),
                       slowdown_order_lines(), failure);
}

bool write_train_sheet(runtime::disk& d, const std::string& directory,
                       const model::scenario_identity& id, runtime::io_failure* failure) {
  return write_builtin(d, model::path_in(directory, model::train_sheet_name(id)),
                       train_sheet_lines(), failure);
}

bool write_builtin_documents(runtime::disk& d, const std::string& directory,
                             const model::scenario_identity& id, runtime::io_failure* failure) {
  return write_line_description(d, directory, id, failure) &&
         write_train_document(d, directory, id, failure) &&
         write_notes(d, directory, id, failure) &&
         write_slowdown_order(d, directory, id, failure) &&
         write_train_sheet(d, directory, id, failure);
}

}  // namespace documents
