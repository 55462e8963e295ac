#pragma once
// The drawing of scenario-tool render: one self-contained SVG document of a
// package, with the plan of the line, the gradient and speed-limit profiles,
// and the objects along the route on a kilometre axis.

#include <string>
#include <string_view>

#include "model/package_reader.h"

namespace tool {

std::string draw_package(const model::package& p);

// UTF-8 text for an XML or HTML text node or attribute: the markup characters
// escaped, control characters (which XML does not allow) as '?'.
std::string markup_text(std::string_view utf8);

}  // namespace tool
