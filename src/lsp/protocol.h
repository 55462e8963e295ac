#pragma once
// The protocol's JSON shapes: the typed values of types.h to and from the
// JSON that editors send and receive, and the JSON-RPC envelopes. Nothing
// else in the server builds or reads JSON but the dispatch in server.cpp.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "lsp/types.h"

namespace lsp {

// JSON-RPC and protocol error codes.
namespace rpc_error {
inline constexpr int parse_error = -32700;
inline constexpr int invalid_request = -32600;
inline constexpr int method_not_found = -32601;
inline constexpr int invalid_params = -32602;
inline constexpr int internal_error = -32603;
inline constexpr int server_not_initialized = -32002;
}  // namespace rpc_error

// A request that fails with a protocol error.
struct rpc_failure {
  int code;
  std::string message;
};

// Deeper JSON than this is refused before it is parsed.
inline constexpr int max_json_nesting = 128;
bool nesting_too_deep(std::string_view body);

// Reading what the editor sends; a value of the wrong type throws
// rpc_failure (invalid_params).
int64_t whole_number_from(const nlohmann::json& j, int64_t low, int64_t high);
const std::string& string_from(const nlohmann::json& j);
text_position position_from(const nlohmann::json& j);
text_range range_from(const nlohmann::json& j);

// One change of a document: a range replaced, or (without a range) the
// whole text.
struct content_change {
  std::optional<text_range> range;
  std::string text;
};
std::vector<content_change> changes_from(const nlohmann::json& j);

// The JSON of the typed values.
nlohmann::json to_json(const text_position& p);
nlohmann::json to_json(const text_range& r);
nlohmann::json to_json(const location& l);
nlohmann::json to_json(const text_edit& e);
nlohmann::json to_json(const diagnostic& d);
nlohmann::json to_json(const hover_text& h);
nlohmann::json to_json(const completion_item& i);
nlohmann::json to_json(const document_symbol& s);
nlohmann::json to_json(const code_action& a);
nlohmann::json to_json(const signature& s);
nlohmann::json to_json(const inlay_hint& h);
nlohmann::json to_json(const folding_range& f);
nlohmann::json to_json(const symbol_information& s);
// The token types, in the order semantic_tokens_json numbers them.
nlohmann::json semantic_token_legend();
// The protocol's relative encoding of tokens, in document order.
nlohmann::json semantic_tokens_json(const std::vector<semantic_token>& tokens);
template <typename T>
nlohmann::json to_json(const std::vector<T>& list) {
  nlohmann::json out = nlohmann::json::array();
  for (const T& x : list) out.push_back(to_json(x));
  return out;
}

// JSON-RPC envelopes. The answers to requests are written as text around
// the result already dumped, as dump() writes the whole (members in name
// order), without building a tree for the envelope.
std::string response(const nlohmann::json& id, std::string_view dumped_result);
std::string error_response(const nlohmann::json& id, int code, std::string_view message);
nlohmann::json notification_message(std::string_view method, nlohmann::json params);
// The notification of a document's diagnostics, written as text: the bytes
// dump() writes of the tree of notification_message(), with no tree built.
std::string diagnostics_notification(const std::string& uri, std::optional<int64_t> version,
                                     const std::vector<diagnostic>& list);
// A message as it is sent (invalid UTF-8 replaced).
std::string dump(const nlohmann::json& j);

}  // namespace lsp
