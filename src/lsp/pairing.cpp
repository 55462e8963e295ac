#include "lsp/pairing.h"

#include <algorithm>

#include "lsp/uri.h"

namespace lsp {

namespace {

bool ends_with(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

// Whether the file named `other` pairs by name with `name`, a document of
// kind `kind`.
bool pairs_by_name(document_kind kind, std::string_view name, std::string_view other) {
  if (kind == document_kind::train_document) {
    const size_t underscore = name.rfind('_');
    return underscore != std::string_view::npos &&
           other == std::string(name.substr(0, underscore)) + "_linea.txt";
  }
  if (kind_by_name(name) != document_kind::line_description) return false;
  const std::string_view prefix =
      name.substr(0, name.size() - std::string_view("linea.txt").size());
  return other.size() > prefix.size() && other.substr(0, prefix.size()) == prefix &&
         ends_with(other, "-.txt");
}

}  // namespace

document_kind partner_kind(document_kind kind) {
  switch (kind) {
    case document_kind::line_description:
      return document_kind::train_document;
    case document_kind::train_document:
      return document_kind::line_description;
    default:
      return document_kind::unknown;
  }
}

std::optional<partner_document> find_partner(std::string_view uri, document_kind kind,
                                             const std::vector<held_kind>& held,
                                             runtime::disk& files) {
  if (kind == document_kind::unknown) return std::nullopt;
  const uri_parts self = split_uri(uri);
  const std::string folder = uri_key(self.folder);
  const document_kind wanted = partner_kind(kind);
  // First what the editor holds: by name, then any document of the wanted
  // kind in the same folder.
  for (int pass = 0; pass < 2; ++pass)
    for (const held_kind& other : held) {
      if (other.uri == uri || other.kind != wanted) continue;
      const uri_parts parts = split_uri(other.uri);
      if (uri_key(parts.folder) != folder) continue;
      if (pass == 1 || pairs_by_name(kind, self.name, parts.name))
        return partner_document{std::string(other.uri), {}};
    }
  // Then the disk, by name.
  const std::optional<std::string> dir = path_of_uri(self.folder);
  if (!dir || dir->empty()) return std::nullopt;
  std::vector<std::string> names;
  std::string reason;
  const std::string listed = dir->size() > 1 ? dir->substr(0, dir->size() - 1) : *dir;
  if (!files.list_directory(listed, &names, &reason)) return std::nullopt;
  std::sort(names.begin(), names.end());
  for (const std::string& other : names) {
    if (other == self.name || !pairs_by_name(kind, self.name, other)) continue;
    if (files.stat(*dir + other) != runtime::disk::entry::file) continue;
    return partner_document{uri_of_path(*dir + other), *dir + other};
  }
  return std::nullopt;
}

}  // namespace lsp
