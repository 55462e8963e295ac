#pragma once
// The report of scenario-tool inspect: everything a package holds, decoded,
// as aligned text for a person or as one JSON document for a script. Texts
// come out in UTF-8.

#include <iosfwd>
#include <string>

#include "model/package_reader.h"

namespace tool {

void write_inspection_text(std::ostream& out, const model::package& p);
std::string inspection_json(const model::package& p);

}  // namespace tool
