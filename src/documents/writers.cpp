#include "documents/writers.h"

#include <memory>

#include "documents/builtin_documents.h"
#include "documents/document_writer.h"
#include "model/file_names.h"

namespace {

bool write_builtin(disk& d, const std::string& path, std::span<const std::string_view> lines,
                   io_failure* failure) {
  auto slots = std::make_unique<document_lines>();
  fill_document(*slots, lines);
  return write_document(d, path, *slots, failure);
}

}  // namespace

bool dati_linea(const run_state& st, disk& d, io_failure* failure) {
  return write_builtin(d, line_document_path(st), line_document_lines(), failure);
}

bool dati_treno(const run_state& st, disk& d, io_failure* failure) {
  return write_builtin(d, train_document_path(st), train_document_lines(), failure);
}

bool dati_note(const run_state& st, disk& d, io_failure* failure) {
  return write_builtin(d, train_file(st, "_note.txt"), notes_lines(), failure);
}

bool dati_rallentamenti(const run_state& st, disk& d, io_failure* failure) {
  return write_builtin(d, train_file(st, "_rallentamenti.txt"), slowdown_order_lines(), failure);
}

bool dati_scheda(const run_state& st, disk& d, io_failure* failure) {
  return write_builtin(d, train_file(st, "_scheda_treno.txt"), train_sheet_lines(), failure);
}
