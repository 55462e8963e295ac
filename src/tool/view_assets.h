#pragma once

namespace tool {

// The style and the script of scenario-tool view's page, written inline into
// it. The script comes in pieces that share one scope: the page writes them
// in this order inside one function.

extern const char* const view_style;
// The data, the line's kilometres, text measuring and the search.
extern const char* const view_script_base;
// The drawing along the route: profiles, lanes of objects, labels, axis.
extern const char* const view_script_track;
// The plan of the stretch shown and the overview strip.
extern const char* const view_script_plan;
// Pointer, touch and keys, details, the address, measuring and export.
extern const char* const view_script_input;

}  // namespace tool
