#include "runtime/overlay_disk.h"

disk::entry overlay_disk::stat(const std::string& path) {
  return files.count(path) ? entry::file : under_.stat(path);
}

bool overlay_disk::read_file(const std::string& path, std::string* contents, std::string* err) {
  auto it = files.find(path);
  if (it == files.end()) return under_.read_file(path, contents, err);
  *contents = it->second;
  return true;
}

bool overlay_disk::remove_file(const std::string& path, std::string* err) {
  if (files.erase(path)) return true;
  return under_.remove_file(path, err);
}
