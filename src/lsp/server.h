#pragma once
// The editors' language server for the two source documents: JSON-RPC
// messages in, JSON-RPC messages out, one at a time, on one thread.
//
// The server holds the documents the editor has open (as the editor holds
// them, never as they are on disk), pairs each train document with the line
// description beside it (pairing.h), and publishes the checker's findings
// for both documents of a pair whenever either changes (diagnostics.h). A
// partner that the editor does not hold is read from the disk, read only.
//
// This file is the dispatch: it reads each message's parameters into typed
// values (protocol.h), asks a feature, and writes its answer back.

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "compiler/compile.h"
#include "lsp/diagnostics.h"
#include "lsp/document_view.h"
#include "lsp/pairing.h"
#include "lsp/protocol.h"
#include "lsp/text_document.h"
#include "model/route_extent.h"
#include "runtime/disk.h"

namespace lsp {

class lsp_server {
 public:
  // `log`, when given, receives a line for each message that is dropped. A
  // train document with no line description is checked on a route of
  // `lone_route_metres` with nothing on it: editors are given the longest a
  // compile takes; the fuzz target a short one, since every check lays out
  // a grid cell for each 50 m of the route.
  explicit lsp_server(runtime::disk& files, std::ostream* log = nullptr,
                      int32_t lone_route_metres = model::longest_route)
      : disk_(files), log_(log), lone_route_metres_(lone_route_metres) {}

  // Handles one message body; returns the bodies of the messages to send,
  // in order. The diagnostics of edits are put off until idle().
  std::vector<std::string> handle(std::string_view body);
  // The answer to a message whose headers could not be read.
  std::vector<std::string> bad_header();
  // Called when no message is waiting: checks each pair that changed since
  // the last call once, and returns the diagnostics to publish.
  std::vector<std::string> idle();

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
    // The text as the compile reads it, made once per version.
    std::optional<document_view> view;
  };

  // Takes what it needs out of `message`.
  // A pair's compile as hovers read it, made once until the next edit
  // (null when a document has no partner).
  const model::scenario* compiled(const document_pair& pair);
  // The checker's findings for a pair, the same way (the published ones,
  // which each code action reads again).
  const pair_diagnostics& checked(const document_pair& pair, document_kind self);
  // Drops the compile and findings kept: a document was opened, changed or
  // closed.
  void forget_pair_work();
  void dispatch(nlohmann::json& message);
  // The result of a request, dumped.
  std::string request(const std::string& method, const nlohmann::json& params);
  nlohmann::json result_of(const std::string& method, const nlohmann::json& params);
  std::string initialize(const nlohmann::json& params);
  static std::string capabilities(position_encoding encoding);
  // Takes what it needs out of `params`.
  void notification(const std::string& method, nlohmann::json& params);

  void did_open(nlohmann::json& params);
  void did_change(const nlohmann::json& params);
  void did_close(const nlohmann::json& params);
  // Publishes the findings of the pairs of `uris`, and of every other pair
  // that shares their line descriptions, checking each pair once.
  void publish(const std::set<std::string>& uris);
  // Clears what was published for files on the disk that no longer pair
  // with a document the editor holds.
  void forget_unpaired_files();

  // `uri` and its partner as the compile reads them; their records too
  // when `with_records`.
  document_pair pair_of(const std::string& uri, bool with_records);
  std::optional<partner_document> partner_of(const std::string& uri, document_kind kind);
  document_view* view_of_held(const std::string& uri);
  std::shared_ptr<const document_view> view_of_file(const std::string& path, document_kind kind,
                                                    bool with_records);
  void send(const nlohmann::json& message);
  void send(std::string message);
  void log(const std::string& line);

  runtime::disk& disk_;
  std::ostream* log_;
  int32_t lone_route_metres_;
  std::map<std::string, open_document> documents_;
  // Documents changed since the diagnostics were last published.
  std::set<std::string> changed_;
  // Files on the disk whose diagnostics were published as partners.
  std::set<std::string> files_shown_;
  std::vector<std::string> outgoing_;
  // The last pair compiled for a hover; dropped by every open, change and
  // close, so that one pair's compile at most is kept.
  struct pair_compile {
    std::string line_uri, train_uri;
    bool reusable = false;  // both documents are held
    compiler::compile_result result;
  };
  std::optional<pair_compile> compiled_;
  // The last pair checked (by the diagnostics or a code action), dropped
  // the same way.
  struct pair_check {
    std::string line_uri, train_uri;  // empty for a missing partner
    document_kind self = document_kind::unknown;
    bool reusable = false;
    pair_diagnostics found;
  };
  std::optional<pair_check> checked_;
  position_encoding encoding_ = position_encoding::utf16;
  bool snippets_ = false;
  bool initialized_ = false;
  bool shut_down_ = false;
  bool exited_ = false;
};

// Serves one editor over a byte stream pair until "exit" or the end of the
// input; returns the process's exit status. `log` receives a line for
// each message dropped. `input_waiting` says whether
// more input can be read at once (standard_input_waiting for the process's
// own input); the diagnostics of edits are published when it says no.
// `lone_route_metres` is the server's, above.
int serve_lsp(
    std::istream& in, std::ostream& out, runtime::disk& files,
    const std::function<bool()>& input_waiting = [] { return false; }, std::ostream* log = nullptr,
    int32_t lone_route_metres = model::longest_route);

}  // namespace lsp
