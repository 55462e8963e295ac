#pragma once
// Where the records of a document lie along the route, for the features
// that relate one place to another: what else lies at a metre, and the
// line's own kilometre there.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "lsp/document_view.h"

namespace lsp {

// The records that cover route metre p: a point object when it lies in p's
// point cell, a stretch when p lies on it (up to the next record of its kind
// for gradients, speed limits and adhesion).
std::vector<const record_line*> records_at(const document_view& d, int32_t p);

// "km 12+345" for a line kilometre in metres.
std::string kilometre_text(int64_t metres);
// The line's own kilometre at route metre p, from the kilometric ranges of
// the line description's header (the range in use that begins last at or
// before p); none when no range covers p.
std::optional<int64_t> line_kilometre(const document_view& line, int64_t p);

// "12 345" for 12345.
std::string grouped(int64_t v);

}  // namespace lsp
