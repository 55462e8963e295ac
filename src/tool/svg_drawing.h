#pragma once
// The drawing of scenario-tool render: one self-contained SVG document of a
// package, with the plan of the line, the gradient and speed-limit profiles,
// and the objects along the route on a kilometre axis.

#include <string>

#include "model/package_reader.h"

std::string draw_package(const package& p);
