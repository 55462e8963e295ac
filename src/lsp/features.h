#pragma once
// What the server answers about a place in a document: hover, completion,
// the outline and "go to definition". Each returns the protocol's result
// (null when there is nothing to say).

#include <nlohmann/json.hpp>

#include "lsp/document_view.h"
#include "lsp/text_document.h"
#include "model/scenario.h"

// `self` is one of the pair's documents; `compiled` the pair's compile, when
// both documents are there.
nlohmann::json hover_at(const document_pair& pair, const document_view& self, text_position at,
                        const scenario* compiled);
nlohmann::json completion_at(const document_view& self, text_position at);
nlohmann::json outline_of(const document_view& self);
nlohmann::json definition_at(const document_pair& pair, const document_view& self,
                             text_position at);

// "km 12+345" for a line kilometre in metres.
std::string kilometre_text(int64_t metres);
// The line's own kilometre at route metre p, from the kilometric ranges of
// the line description's header (the range in use that begins last at or
// before p); none when no range covers p.
std::optional<int64_t> line_kilometre(const document_view& line, int64_t p);
