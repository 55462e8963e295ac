#pragma once
// The page of scenario-tool view: one self-contained HTML file holding the
// drawing of a package (the same as render's), a table of its stations, the
// data behind every object, and a small script that zooms and pans along the
// route, shows an object's details on hover and finds a station or a
// kilometre. It loads nothing from anywhere.

#include <string>
#include <vector>

#include "compiler/compile.h"
#include "model/package_reader.h"

namespace tool {

// The names of the documents, for the origins of the objects.
struct view_sources {
  const compiler::compile_origins* origins = nullptr;  // null: the documents were not given
  std::string line_description;
  std::string train_document;
  // When the documents do not compile into the package: what differs, in
  // words, for the page's warning.
  std::vector<std::string> differences;
};

std::string view_page(const model::package& p, const view_sources& sources);

}  // namespace tool
