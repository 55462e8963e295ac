#include "documents/writers.h"

#include <memory>

#include "documents/builtin_documents.h"
#include "documents/document_writer.h"

namespace {

bool write_builtin(disk& d, const std::string& path, std::span<const std::string_view> lines,
                   io_failure* failure) {
  auto slots = std::make_unique<document_lines>();
  fill_document(*slots, lines);
  return write_document(d, path, *slots, failure);
}

}  // namespace

bool write_line_description(disk& d, const std::string& directory, const scenario_identity& id,
                            io_failure* failure) {
  return write_builtin(d, path_in(directory, line_description_name(id)), line_document_lines(),
                       failure);
}

bool write_train_document(disk& d, const std::string& directory, const scenario_identity& id,
                          io_failure* failure) {
  return write_builtin(d, path_in(directory, train_document_name(id)), train_document_lines(),
                       failure);
}

bool write_notes(disk& d, const std::string& directory, const scenario_identity& id,
                 io_failure* failure) {
  return write_builtin(d, path_in(directory, notes_name(id)), notes_lines(), failure);
}

bool write_slowdown_order(disk& d, const std::string& directory, const scenario_identity& id,
                          io_failure* failure) {
  return write_builtin(d, path_in(directory, slowdown_order_name(id)), slowdown_order_lines(),
                       failure);
}

bool write_train_sheet(disk& d, const std::string& directory, const scenario_identity& id,
                       io_failure* failure) {
  return write_builtin(d, path_in(directory, train_sheet_name(id)), train_sheet_lines(), failure);
}

bool write_builtin_documents(disk& d, const std::string& directory, const scenario_identity& id,
                             io_failure* failure) {
  return write_line_description(d, directory, id, failure) &&
         write_train_document(d, directory, id, failure) &&
         write_notes(d, directory, id, failure) &&
         write_slowdown_order(d, directory, id, failure) &&
         write_train_sheet(d, directory, id, failure);
}
