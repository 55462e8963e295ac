#include "model/file_names.h"

#include <algorithm>
#include <set>

#include "runtime/disk.h"
#include "runtime/windows1252.h"

namespace model {

namespace {

bool safe_part(std::string_view part) {
  for (char ch : part) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (ch == '/' || ch == runtime::path_separator || c < 0x20 || c == 0x7F) return false;
  }
  return true;
}

// The last part of a path: what follows its last separator (either kind, as
// authors copy paths between systems).
std::string_view base_name(std::string_view path) {
  const size_t at = path.find_last_of("/\\");
  return at == std::string_view::npos ? path : path.substr(at + 1);
}

// `name` without `suffix` (compared without regard to case), or nothing
// when it does not end so or nothing is left before it.
std::optional<std::string> stem(std::string_view name, std::string_view suffix) {
  if (name.size() <= suffix.size()) return std::nullopt;
  const std::string_view end = name.substr(name.size() - suffix.size());
  if (runtime::lower_text(end) != runtime::lower_text(suffix)) return std::nullopt;
  return std::string(name.substr(0, name.size() - suffix.size()));
}

}  // namespace

named_parts names_from_documents(std::string_view line_path, std::string_view train_path) {
  named_parts parts;
  parts.line_name = stem(base_name(line_path), "_linea.txt");
  const std::optional<std::string> train = stem(base_name(train_path), "-.txt");
  if (!train) return parts;
  if (parts.line_name && train->size() > parts.line_name->size() + 1 &&
      train->starts_with(*parts.line_name + "_")) {
    parts.train_number = train->substr(parts.line_name->size() + 1);
    return parts;
  }
  const size_t last = train->rfind('_');
  if (last == std::string::npos || last == 0) return parts;
  parts.train_number = train->substr(last + 1);
  if (!parts.line_name) parts.line_name = train->substr(0, last);
  return parts;
}

std::vector<scenario_identity> packages_among(const std::vector<std::string>& names) {
  std::set<std::string> lines;
  for (const std::string& n : names)
    if (n.size() > 10 && n.ends_with("_linea.dat")) lines.insert(n.substr(0, n.size() - 10));
  std::vector<scenario_identity> found;
  for (const std::string& n : names) {
    if (n.size() <= 4 || !n.ends_with(".sim")) continue;
    const std::string base = n.substr(0, n.size() - 4);
    // The longest line name the table file begins with: a line name may
    // itself hold "_".
    const std::string* best = nullptr;
    for (const std::string& line : lines)
      if (base.size() > line.size() && base.starts_with(line + "_") &&
          (!best || line.size() > best->size()))
        best = &line;
    if (best) found.push_back({*best, base.substr(best->size() + 1)});
  }
  std::sort(found.begin(), found.end(), [](const scenario_identity& a, const scenario_identity& b) {
    return a.line_name != b.line_name ? a.line_name < b.line_name : a.train_number < b.train_number;
  });
  return found;
}

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
  path += runtime::path_separator;
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

}  // namespace model
