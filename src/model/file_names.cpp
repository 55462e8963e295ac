#include "model/file_names.h"

#include "runtime/disk.h"

std::string line_file(const run_state& st, std::string_view suffix) {
  std::string path = st.directory;
  path += path_separator;
  path += st.line_name;
  path += suffix;
  return path;
}

std::string train_file(const run_state& st, std::string_view suffix) {
  std::string name = "_" + st.train_number;
  name += suffix;
  return line_file(st, name);
}

std::string line_document_path(const run_state& st) {
  return line_file(st, "_linea.txt");
}
std::string train_document_path(const run_state& st) {
  return train_file(st, "-.txt");
}
std::string plan_file_path(const run_state& st) {
  return line_file(st, "_linea.dat");
}
std::string table_file_path(const run_state& st) {
  return train_file(st, ".sim");
}
std::string grid_file_path(const run_state& st) {
  return train_file(st, ".dat");
}
