#pragma once
// The editors' language server for the two source documents: JSON-RPC
// messages in, JSON-RPC messages out, one at a time, on one thread.
//
// The server holds the documents the editor has open (as the editor holds
// them, never as they are on disk), pairs each train document with the line
// description beside it, and publishes the checker's findings for both
// documents of a pair whenever either changes. A partner that the editor
// does not hold is read from the disk, read only.
//
// A document without a partner is checked alone: a line description
// against a train document with no records, a train document against a
// route of the greatest length with nothing on it. Only the lone document's
// own findings are shown, after a note that says so.

#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "lsp/document_view.h"
#include "lsp/text_document.h"
#include "runtime/disk.h"

// JSON-RPC and protocol error codes.
namespace rpc_error {
inline constexpr int parse_error = -32700;
inline constexpr int invalid_request = -32600;
inline constexpr int method_not_found = -32601;
inline constexpr int invalid_params = -32602;
inline constexpr int internal_error = -32603;
inline constexpr int server_not_initialized = -32002;
}  // namespace rpc_error

class lsp_server {
 public:
  explicit lsp_server(disk& files) : disk_(files) {}

  // Handles one message body; returns the bodies of the messages to send,
  // in order.
  std::vector<std::string> handle(std::string_view body);
  // The answer to a message whose headers could not be read.
  std::vector<std::string> bad_header();

  // Whether "exit" has arrived, and the status to end with: 0 after
  // "shutdown", 1 otherwise.
  bool exited() const { return exited_; }
  int exit_status() const { return shut_down_ ? 0 : 1; }

  // The document the editor holds under `uri`, for tests.
  const text_document* held(const std::string& uri) const;

 private:
  struct open_document {
    text_document text;
    document_kind kind = document_kind::unknown;
    int64_t version = 0;
  };

  std::vector<std::string> dispatch(const nlohmann::json& message);
  nlohmann::json request(const std::string& method, const nlohmann::json& params);
  void notification(const std::string& method, const nlohmann::json& params);

  void did_open(const nlohmann::json& params);
  void did_change(const nlohmann::json& params);
  void did_close(const nlohmann::json& params);
  // Publishes the findings of `uri`'s pair, and of every other pair that
  // shares its line description.
  void publish_around(const std::string& uri);
  void publish_pair(const std::string& uri);

  // `uri` and its partner as the compile reads them.
  document_pair pair_of(const std::string& uri);
  std::optional<document_view> view_of_held(const std::string& uri);
  std::optional<document_view> view_of_file(const std::string& path, document_kind kind);
  std::string partner_of(const std::string& uri, document_kind kind, std::string* path);

  disk& disk_;
  std::map<std::string, open_document> documents_;
  std::vector<std::string> outgoing_;
  bool initialized_ = false;
  bool shut_down_ = false;
  bool exited_ = false;
};

// Serves one editor over a byte stream pair until "exit" or the end of the
// input; returns the process's exit status.
int serve_lsp(std::istream& in, std::ostream& out, disk& files);

// file:///a%20b/c.txt <-> /a b/c.txt. A URI of another scheme has no path.
std::optional<std::string> path_of_uri(std::string_view uri);
std::string uri_of_path(std::string_view path);
