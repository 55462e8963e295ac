#include "model/file_names.h"

#include "runtime/disk.h"

namespace {

bool safe_part(std::string_view part) {
  for (char ch : part) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (ch == '/' || ch == path_separator || c < 0x20 || c == 0x7F) return false;
  }
  return true;
}

}  // namespace

bool names_files_safely(const scenario_identity& id) {
  return !id.line_name.empty() && safe_part(id.line_name) && safe_part(id.train_number);
}

std::string line_file_name(const scenario_identity& id, std::string_view suffix) {
  std::string name = id.line_name;
  name += suffix;
  return name;
}

std::string train_file_name(const scenario_identity& id, std::string_view suffix) {
  std::string name = id.line_name;
  name += '_';
  name += id.train_number;
  name += suffix;
  return name;
}

std::string line_description_name(const scenario_identity& id) {
  return line_file_name(id, "_linea.txt");
}
std::string train_document_name(const scenario_identity& id) {
  return train_file_name(id, "-.txt");
}
std::string notes_name(const scenario_identity& id) {
  return train_file_name(id, "_note.txt");
}
std::string slowdown_order_name(const scenario_identity& id) {
  return train_file_name(id, "_rallentamenti.txt");
}
std::string train_sheet_name(const scenario_identity& id) {
  return train_file_name(id, "_scheda_treno.txt");
}

std::string plan_file_name(const scenario_identity& id) {
  return line_file_name(id, "_linea.dat");
}
std::string table_file_name(const scenario_identity& id) {
  return train_file_name(id, ".sim");
}
std::string grid_file_name(const scenario_identity& id) {
  return train_file_name(id, ".dat");
}

std::string path_in(std::string_view directory, std::string_view name) {
  std::string path(directory);
  path += path_separator;
  path += name;
  return path;
}

std::vector<std::string> document_paths(const scenario_identity& id, std::string_view directory) {
  return {path_in(directory, line_description_name(id)),
          path_in(directory, train_document_name(id)), path_in(directory, notes_name(id)),
          path_in(directory, slowdown_order_name(id)), path_in(directory, train_sheet_name(id))};
}

std::vector<std::string> package_paths(const scenario_identity& id, std::string_view directory) {
  return {path_in(directory, plan_file_name(id)), path_in(directory, table_file_name(id)),
          path_in(directory, grid_file_name(id))};
}
