// The language server, driven message by message as an editor drives it.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <nlohmann/json.hpp>

#include "checker/check.h"
#include "compiler/record_table.h"
#include "documents/builtin_documents.h"
#include "lsp/server.h"
#include "lsp/text_document.h"
#include "lsp/transport.h"
#include "runtime/windows1252.h"
#include "test_support/lsp_fuzz_input.h"
#include "test_support/memory_disk.h"

namespace lsp {

using nlohmann::json;

namespace {

constexpr const char* line_uri = "file:///work/Borvasco_Lestrano_linea.txt";
constexpr const char* train_uri = "file:///work/Borvasco_Lestrano_40817-.txt";

std::string joined(std::span<const std::string_view> lines) {
  std::string text;
  for (std::string_view l : lines) text.append(l).append("\r\n");
  return text;
}

// The built-in documents as an editor holds them (UTF-8).
std::string built_in_line() {
  return joined(documents::line_document_lines());
}
std::string built_in_train() {
  return joined(documents::train_document_lines());
}

// Replaces the first occurrence of `from`.
std::string with(std::string text, std::string_view from, std::string_view to) {
  const size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

struct client {
  client() = default;
  // A server that checks a lone train document on a route of this length.
  explicit client(int32_t lone_route) : lone_route_metres(lone_route) {}

  test_support::memory_disk disk;
  int32_t lone_route_metres = model::longest_route;
  lsp_server server{disk, nullptr, lone_route_metres};
  std::vector<json> received;
  int next_id = 1;

  // One message, then a pause of the editor (when the server publishes
  // what the message changed), unless `burst`.
  bool burst = false;
  std::vector<json> send_raw(std::string_view body) {
    std::vector<json> out;
    for (const std::string& m : server.handle(body)) out.push_back(json::parse(m));
    if (!burst)
      for (const std::string& m : server.idle()) out.push_back(json::parse(m));
    received.insert(received.end(), out.begin(), out.end());
    return out;
  }
  std::vector<json> notify(const std::string& method, json params) {
    return send_raw(json{{"jsonrpc", "2.0"}, {"method", method}, {"params", params}}.dump());
  }
  // The response to a request (the notifications before it are kept).
  json call(const std::string& method, json params) {
    const int id = next_id++;
    for (const json& m : send_raw(
             json{{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", params}}.dump()))
      if (m.contains("id") && m["id"] == id) return m;
    return nullptr;
  }
  void initialize(json capabilities = {
                      {"textDocument",
                       {{"completion", {{"completionItem", {{"snippetSupport", true}}}}}}}}) {
    call("initialize", {{"capabilities", capabilities}});
    notify("initialized", json::object());
  }
  void open(const std::string& uri, const std::string& text) {
    notify("textDocument/didOpen",
           {{"textDocument",
             {{"uri", uri}, {"languageId", "scenario"}, {"version", 1}, {"text", text}}}});
  }
  // The diagnostics last published for a document.
  json diagnostics(const std::string& uri) const {
    for (auto it = received.rbegin(); it != received.rend(); ++it)
      if (it->value("method", "") == "textDocument/publishDiagnostics" &&
          (*it)["params"]["uri"] == uri)
        return (*it)["params"]["diagnostics"];
    return nullptr;
  }
  json at(const std::string& method, const std::string& uri, int line, int character) {
    return call(method, {{"textDocument", {{"uri", uri}}},
                         {"position", {{"line", line}, {"character", character}}}});
  }
};

// The published diagnostics agree with the check of the same pair: place,
// severity, code and message, one for one.
void expect_same_as_check(const client& c, const std::string& line_utf8,
                          const std::string& train_utf8) {
  const std::string line = runtime::to_windows1252(line_utf8),
                    train = runtime::to_windows1252(train_utf8);
  const std::vector<compiler::finding> found = checker::check_documents({line, train}, {});
  const json on_line = c.diagnostics(line_uri), on_train = c.diagnostics(train_uri);
  ASSERT_TRUE(on_line.is_array());
  ASSERT_TRUE(on_train.is_array());
  size_t l = 0, t = 0;
  const text_document line_doc(line_utf8), train_doc(train_utf8);
  for (const compiler::finding& f : found) {
    const bool on_l = f.document == compiler::source_document::line_description;
    const json& list = on_l ? on_line : on_train;
    size_t& i = on_l ? l : t;
    ASSERT_LT(i, list.size()) << f.message;
    const json& d = list[i++];
    EXPECT_EQ(d["message"], f.message);
    EXPECT_EQ(d["severity"], f.level == compiler::diagnostic_level::error ? 1 : 2);
    if (f.code) {
      EXPECT_EQ(d["code"], compiler::fault_number(*f.code));
    } else {
      EXPECT_EQ(d["code"], std::string(compiler::warning_name(*f.kind)));
    }
    if (f.line > 0) {
      EXPECT_EQ(d["range"]["start"]["line"], f.line - 1) << f.message;
      const text_document& doc = on_l ? line_doc : train_doc;
      if (f.column > 0) {
        EXPECT_EQ(d["range"]["start"]["character"],
                  column_of_code_point(doc.line(f.line - 1), f.column - 1))
            << f.message;
      }
      EXPECT_EQ(d["range"]["end"]["character"],
                column_of_code_point(doc.line(f.line - 1), f.range.end - 1))
          << f.message;
    }
    // The records that explain it, as the finding names them.
    const json related = d.value("relatedInformation", json::array());
    ASSERT_EQ(related.size(), f.related.size()) << f.message;
    for (size_t k = 0; k < f.related.size(); ++k) {
      const compiler::related_record& r = f.related[k];
      EXPECT_EQ(related[k]["location"]["uri"],
                r.document == compiler::source_document::line_description ? line_uri : train_uri);
      EXPECT_EQ(related[k]["location"]["range"]["start"]["line"], r.line - 1);
      EXPECT_EQ(related[k]["message"], r.message);
    }
  }
  EXPECT_EQ(l, on_line.size());
  EXPECT_EQ(t, on_train.size());
}

TEST(LspTextDocument, EditsCountUtf16UnitsAndAnyLineEnd) {
  struct edit_case {
    const char* text;
    text_position from, to;
    const char* insert;
    const char* expected;
  };
  const edit_case cases[] = {
      {"abc\r\ndef\r\n", {1, 1}, {1, 2}, "X", "abc\r\ndXf\r\n"},
      // An astral character is two units: column 2 is after it.
      {"\xF0\x9F\x98\x80"
       "b,c\n",
       {0, 2},
       {0, 3},
       "",
       "\xF0\x9F\x98\x80"
       ",c\n"},
      // A two-byte character is one unit.
      {"\xC2\xB0"
       "ab\n",
       {0, 1},
       {0, 2},
       "Z",
       "\xC2\xB0"
       "Zb\n"},
      // Lone CR and LF end lines too.
      {"a\rb\nc", {2, 0}, {2, 1}, "d", "a\rb\nd"},
      // Across lines, the range given backwards.
      {"one\ntwo\nthree", {2, 2}, {0, 1}, "-", "o-ree"},
      // Past the end: clamped to the line's and the document's end.
      {"ab\ncd", {0, 99}, {7, 0}, "!", "ab!"},
  };
  for (const edit_case& c : cases) {
    text_document d(c.text);
    d.replace(c.from, c.to, c.insert);
    EXPECT_EQ(d.text(), c.expected) << c.text;
  }
}

TEST(LspDiagnostics, EqualTheChecksForThePair) {
  // Planted faults: a misspelt curve, a signal on a taken cell, a bad
  // number after an astral character and a degree sign on the same line.
  const std::string line = with(with(built_in_line(), "curvas2", "cruvas2"), "cartello_indicatore",
                                "cartello_indicatore\xF0\x9F\x98\x80\xC2\xB0");
  const std::string line_bad = with(line, "\xC2\xB0,  ", "\xC2\xB0,  12abc");
  std::string train = built_in_train();
  const size_t signal = train.find("segnale");
  const size_t next = train.find("segnale", signal + 1);
  train = train.substr(0, next) + train.substr(signal, next - signal) + train.substr(next);
  for (const auto& [l, t] : {std::pair{built_in_line(), built_in_train()}, std::pair{line, train},
                             std::pair{line_bad, train}}) {
    client c;
    c.initialize();
    c.open(line_uri, l);
    c.open(train_uri, t);
    expect_same_as_check(c, l, t);
  }
}

// A fault of one value is marked on that value: the diagnostic's range is
// the value's, as the check's finding and the compile's fault have it.
TEST(LspDiagnostics, AValueFaultIsMarkedOnTheValue) {
  const std::string train = built_in_train();
  const size_t signal = train.find("segnale");
  const size_t value = train.find_first_not_of(" \t", train.find(',', signal) + 1);
  const size_t value_end = train.find_first_of(" ,", value);
  const int row = static_cast<int>(std::count(train.begin(), train.begin() + signal, '\n'));
  const int column = static_cast<int>(value - signal);
  for (const std::string bad : {"30x0", "99999999"}) {
    const std::string t = train.substr(0, value) + bad + train.substr(value_end);
    client c;
    c.initialize();
    c.open(line_uri, built_in_line());
    c.open(train_uri, t);
    const json found = c.diagnostics(train_uri);
    ASSERT_EQ(found.size(), 1u) << bad;
    EXPECT_EQ(found[0]["range"]["start"]["line"], row) << bad;
    EXPECT_EQ(found[0]["range"]["start"]["character"], column) << bad;
    EXPECT_EQ(found[0]["range"]["end"]["character"], column + static_cast<int>(bad.size())) << bad;
    expect_same_as_check(c, built_in_line(), t);
  }
}

TEST(LspDiagnostics, AnIncrementalEditRepublishesBothDocuments) {
  client c;
  c.initialize();
  std::string line = built_in_line(), train = built_in_train();
  c.open(line_uri, line);
  c.open(train_uri, train);
  ASSERT_EQ(c.diagnostics(train_uri).size(), 0u);
  // Move the route's end before the last station: its record is beyond the
  // grid (code 15), which is shown in the train document.
  const text_document before(line);
  int row = 0;
  while (before.line(row).find("lunghezza") == std::string_view::npos) ++row;
  const int column = static_cast<int>(before.line(row).find("9"));
  c.received.clear();
  const json range = {{"start", {{"line", row}, {"character", column}}},
                      {"end", {{"line", row}, {"character", column + 2}}}};
  json change = {{"range", range}, {"text", "1"}};
  c.notify("textDocument/didChange", {{"textDocument", {{"uri", line_uri}, {"version", 2}}},
                                      {"contentChanges", json::array({change})}});
  text_document after(line);
  after.replace({row, column}, {row, column + 2}, "1");
  EXPECT_NE(c.diagnostics(line_uri), nullptr);
  ASSERT_NE(c.diagnostics(train_uri), nullptr);
  EXPECT_FALSE(c.diagnostics(train_uri).empty());
  expect_same_as_check(c, after.text(), train);
  EXPECT_EQ(c.server.held(line_uri)->text(), after.text());
}

TEST(LspDiagnostics, APartnerOnTheDiskIsReadAndALoneDocumentIsCheckedAlone) {
  client c;
  c.disk.directories.insert("/work");
  c.disk.files["/work/Borvasco_Lestrano_linea.txt"] = runtime::to_windows1252(built_in_line());
  c.initialize();
  const std::string train = with(built_in_train(), "segnale", "  segnale");
  c.open(train_uri, train);
  // Paired with the file on disk: the same findings as check, on both.
  expect_same_as_check(c, built_in_line(), train);
  EXPECT_EQ(c.disk.files["/work/Borvasco_Lestrano_linea.txt"],
            runtime::to_windows1252(built_in_line()));

  // Alone: a note first, and only what the train document itself says.
  client lone;
  lone.initialize();
  lone.open("file:///elsewhere/X_1-.txt", "[generale]\nstazione,  10025\n");
  const json d = lone.diagnostics("file:///elsewhere/X_1-.txt");
  ASSERT_GE(d.size(), 2u);
  EXPECT_EQ(d[0]["code"], "no-partner");
  EXPECT_EQ(d[0]["severity"], 3);
  bool station_fault = false;
  for (const json& x : d) station_fault |= x["code"] == 8;
  EXPECT_TRUE(station_fault) << d.dump();
}

TEST(LspDiagnostics, ALoneTrainDocumentIsCheckedOnTheRouteTheServerIsGiven) {
  // A signal at 20 000 m: on the longest route, as editors have it, and
  // past the grid of a 5000 m route (cells to 12 000 m), as the fuzz
  // target has it.
  const std::string uri = "file:///elsewhere/X_1-.txt";
  const std::string train =
      "[generale]\r\n[segnali]\r\nsegnale,   20000,   1, 2, 3,  4, 5,  6,  7,8,9 10\r\n[fine]\r\n";
  struct route_case {
    int32_t metres;
    bool signal_refused;
  } cases[] = {{model::longest_route, false}, {5000, true}};
  for (const route_case& r : cases) {
    client c(r.metres);
    c.initialize();
    c.open(uri, train);
    const json d = c.diagnostics(uri);
    ASSERT_GE(d.size(), 1u) << r.metres;
    EXPECT_EQ(d[0]["code"], "no-partner");
    EXPECT_NE(
        d[0]["message"].get<std::string>().find("on a route of " + std::to_string(r.metres) + " m"),
        std::string::npos)
        << d[0].dump();
    bool refused = false;
    for (const json& x : d) refused |= x["severity"] == 1 && x["range"]["start"]["line"] == 2;
    EXPECT_EQ(refused, r.signal_refused) << r.metres << ": " << d.dump();
  }
}

TEST(LspRobustness, AnswersWithTheProtocolsErrors) {
  struct error_case {
    const char* body;
    int code;
  };
  client c;
  // Before "initialize", a request is refused.
  EXPECT_EQ(c.call("textDocument/hover", json::object())["error"]["code"],
            rpc_error::server_not_initialized);
  c.initialize();
  const error_case cases[] = {
      {"{not json", rpc_error::parse_error},
      {"", rpc_error::parse_error},
      {"[1,2]", rpc_error::invalid_request},
      {"42", rpc_error::invalid_request},
      {R"({"jsonrpc":"2.0","id":{"a":1},"method":"shutdown"})", rpc_error::invalid_request},
      {R"({"jsonrpc":"2.0","id":7})", rpc_error::invalid_request},
      {R"({"jsonrpc":"2.0","id":7,"method":"no/such"})", rpc_error::method_not_found},
      {R"({"jsonrpc":"2.0","id":7,"method":"textDocument/hover","params":{}})",
       rpc_error::invalid_params},
      {R"({"jsonrpc":"2.0","id":7,"method":"textDocument/hover","params":3})",
       rpc_error::invalid_params},
      {R"({"jsonrpc":"2.0","id":7,"method":"textDocument/hover","params":{"textDocument":{"uri":5},"position":{"line":0,"character":0}}})",
       rpc_error::invalid_params},
      {R"({"jsonrpc":"2.0","id":7,"method":"initialize","params":{}})", rpc_error::invalid_request},
  };
  for (const error_case& e : cases) {
    const std::vector<json> out = c.send_raw(e.body);
    ASSERT_EQ(out.size(), 1u) << e.body;
    EXPECT_EQ(out[0]["error"]["code"], e.code) << e.body;
  }
  // Deep nesting is refused before it is parsed.
  EXPECT_EQ(c.send_raw(std::string(100000, '['))[0]["error"]["code"], rpc_error::parse_error);
  // Malformed notifications and an unknown one get no answer.
  EXPECT_TRUE(
      c.send_raw(R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{}})").empty());
  EXPECT_TRUE(c.send_raw(R"({"jsonrpc":"2.0","method":"$/whatever"})").empty());
  // Garbage as a document, and positions far outside it.
  c.open("file:///g/garbage-.txt",
         std::string("\x01\xC3\xA9,,,\"\r\r\n[generale]\n,segnale,-,") + std::string(5000, ','));
  EXPECT_TRUE(c.at("textDocument/hover", "file:///g/garbage-.txt", 2, 3).contains("result"));
  EXPECT_TRUE(
      c.at("textDocument/completion", "file:///g/garbage-.txt", 1000000000, 7).contains("result"));
  EXPECT_TRUE(c.call("textDocument/hover", {{"textDocument", {{"uri", "file:///g/garbage-.txt"}}},
                                            {"position", {{"line", -5}, {"character", 1e300}}}})
                  .contains("error"));
  // Shutdown, then every request is refused, and exit ends with status 0.
  EXPECT_EQ(c.call("shutdown", nullptr)["result"], nullptr);
  EXPECT_EQ(c.call("textDocument/hover", json::object())["error"]["code"],
            rpc_error::invalid_request);
  EXPECT_FALSE(c.server.exited());
  c.notify("exit", nullptr);
  EXPECT_TRUE(c.server.exited());
  EXPECT_EQ(c.server.exit_status(), 0);
}

// The envelopes of answers are written as text: they are byte for byte
// what dumping the whole message as one tree writes.
TEST(LspProtocol, AnswersAreWrittenAsTheirTreesDump) {
  const json ids[] = {nullptr, 7, -3, "a \"quoted\" id \xC3\xA8"};
  for (const json& id : ids) {
    const json result = {{"z", {1, 2}}, {"a", "\xFF bad UTF-8"}, {"m", nullptr}};
    EXPECT_EQ(response(id, dump(result)),
              dump({{"jsonrpc", "2.0"}, {"id", id}, {"result", result}}));
    EXPECT_EQ(response(id, "null"), dump({{"jsonrpc", "2.0"}, {"id", id}, {"result", nullptr}}));
    for (std::string_view message : {"plain", "a \"quote\"\n and \xFF"})
      EXPECT_EQ(error_response(id, rpc_error::invalid_params, message),
                dump({{"jsonrpc", "2.0"},
                      {"id", id},
                      {"error", {{"code", rpc_error::invalid_params}, {"message", message}}}}));
  }
}

TEST(LspProtocol, DiagnosticsAreWrittenAsTheirTreesDump) {
  diagnostic fault;
  fault.range = {{3, 0}, {3, 12}};
  fault.fault = 41;
  fault.kind = "fault";
  fault.message = "a \"quoted\" value\tand \xC3\xA8 and \xFF";
  fault.position = -250;
  fault.from_compile = true;
  fault.related = {{{"file:///r/A_linea.txt", {{0, 1}, {2, 3}}}, "here"},
                   {{"file:///r/\x01.txt", {{9, 0}, {9, 0}}}, "and \\ here"}};
  diagnostic warning;
  warning.severity = diagnostic_severity::warning;
  warning.kind = "unknown-keyword";
  warning.message = "plain";
  diagnostic note;
  note.severity = diagnostic_severity::information;
  note.kind = "no-partner";
  diagnostic bare;
  bare.severity = diagnostic_severity::hint;
  const std::vector<diagnostic> lists[] = {{}, {fault}, {warning, note, bare, fault}};
  for (const std::vector<diagnostic>& list : lists)
    for (const std::optional<int64_t> version :
         {std::optional<int64_t>(), std::optional<int64_t>(-7)})
      for (const std::string uri : {"file:///d/A_1-.txt", "file:///\"\xFF\n"}) {
        json params = {{"uri", uri}, {"diagnostics", to_json(list)}};
        if (version) params["version"] = *version;
        EXPECT_EQ(diagnostics_notification(uri, version, list),
                  dump(notification_message("textDocument/publishDiagnostics", params)));
      }
}

TEST(LspRobustness, ADocumentOfGarbageSendsAtMostAThousandDiagnostics) {
  client c;
  c.initialize();
  std::string garbage = "[generale]\n";
  for (int i = 0; i < 3000; ++i) garbage += "zzz" + std::to_string(i) + ", 1\n";
  c.open(train_uri, garbage);
  const json d = c.diagnostics(train_uri);
  ASSERT_EQ(d.size(), 1000u);  // the note of a lone document, then the list
  EXPECT_EQ(d[0]["code"], "no-partner");
  // A train document of no record at all is an error at its first line.
  EXPECT_NE(d[1]["message"].get<std::string>().find("holds no record"), std::string::npos);
  EXPECT_EQ(d[2]["code"], "unknown-keyword");
  EXPECT_EQ(d[999]["code"], "too-many");
  EXPECT_EQ(d[999]["message"], "2003 more problems not shown: scenario-tool check lists them all");
}

TEST(LspRobustness, AClientThatQuitsWithoutShutdownEndsTheServer) {
  struct session_case {
    std::string input;
    int status;
  };
  const std::string init = R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})";
  const std::string exit = R"({"jsonrpc":"2.0","method":"exit"})";
  const std::string shutdown = R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})";
  const session_case cases[] = {
      {framed(init), 1},                                    // the input just ends
      {framed(init) + framed(exit), 1},                     // exit without shutdown
      {framed(init) + framed(shutdown) + framed(exit), 0},  // the orderly end
      {framed(init) + "Content-Length: 500\r\n\r\n{", 1},   // cut off mid-message
  };
  for (const session_case& s : cases) {
    std::istringstream in(s.input);
    std::ostringstream out;
    test_support::memory_disk d;
    EXPECT_EQ(serve_lsp(in, out, d), s.status) << s.input;
    EXPECT_NE(out.str().find("\"capabilities\""), std::string::npos);
  }
}

// A session with the built-in pair open, and where the train document's
// first signal and its position stand.
struct built_in_session {
  client c;
  text_document train{built_in_train()};
  int row = 0;
  int value_column = 0;
  built_in_session() {
    c.initialize();
    c.open(line_uri, built_in_line());
    c.open(train_uri, built_in_train());
    while (train.line(row).rfind("segnale", 0) != 0) ++row;
    value_column = static_cast<int>(train.line(row).find_first_of("0123456789"));
  }
};

TEST(LspFeatures, HoverNamesTheRecordAndItsFields) {
  built_in_session s;
  client& c = s.c;
  const text_document& train = s.train;
  const int row = s.row;
  const std::string keyword =
      c.at("textDocument/hover", train_uri, row, 2)["result"]["contents"]["value"];
  EXPECT_NE(keyword.find("**segnale**: signal"), std::string::npos) << keyword;
  EXPECT_NE(keyword.find("`tempo`"), std::string::npos);
  // On the signal's position: the field, the line kilometre and the cell.
  const std::string value =
      c.at("textDocument/hover", train_uri, row, s.value_column)["result"]["contents"]["value"];
  EXPECT_NE(value.find("**position** (m): field 1 of 11 of a signal"), std::string::npos) << value;
  EXPECT_NE(value.find("Line kilometre: km "), std::string::npos) << value;
  EXPECT_NE(value.find("the compiled cell holds: signal"), std::string::npos) << value;
  // The comma and blanks before a value count as the value's.
  const int comma = static_cast<int>(train.line(row).find(','));
  EXPECT_EQ(c.at("textDocument/hover", train_uri, row, comma + 1)["result"]["contents"]["value"],
            value);
  // Nothing to say on an empty place.
  EXPECT_EQ(c.at("textDocument/hover", train_uri, 100000, 0)["result"], nullptr);
}

// The pair's compile is made once for the hovers of one version of the
// documents: an edit of either, or of a third document that takes the
// pairing over, is seen by the next hover.
TEST(LspFeatures, HoverFollowsEachEditOfThePair) {
  built_in_session s;
  client& c = s.c;
  auto hover = [&] {
    return c
        .at("textDocument/hover", train_uri, s.row, s.value_column)["result"]["contents"]["value"]
        .get<std::string>();
  };
  constexpr std::string_view compiled = "the compiled cell holds: signal";
  auto replace_line = [&](const std::string& text) {
    c.notify("textDocument/didChange", {{"textDocument", {{"uri", line_uri}, {"version", 2}}},
                                        {"contentChanges", json::array({{{"text", text}}})}});
  };
  EXPECT_NE(hover().find(compiled), std::string::npos);
  EXPECT_NE(hover().find(compiled), std::string::npos);  // the compile kept
  replace_line("[generale]\r\n[fine]\r\n");
  EXPECT_EQ(hover().find(compiled), std::string::npos) << hover();
  replace_line(built_in_line());
  EXPECT_NE(hover().find(compiled), std::string::npos) << hover();
  c.notify("textDocument/didClose", {{"textDocument", {{"uri", line_uri}}}});
  EXPECT_EQ(hover().find(compiled), std::string::npos) << hover();
}

// The train sheet's progressive of a station ("47.050" as "47+050"): on the
// station's row, or, where the numbering changes there ("------"), the row
// below, which counts in the new range.
std::string sheet_kilometre(std::string_view station) {
  const auto sheet = documents::train_sheet_lines();
  auto column = [](std::string_view row, size_t n) {
    size_t from = 0;
    for (size_t i = 0; i < n; ++i) from = row.find('|', from) + 1;
    std::string cell(row.substr(from, row.find('|', from) - from));
    cell.erase(0, cell.find_first_not_of(' '));
    cell.erase(cell.find_last_not_of(' ') + 1);
    return cell;
  };
  for (size_t i = 0; i + 1 < sheet.size(); ++i) {
    if (std::count(sheet[i].begin(), sheet[i].end(), '|') < 6) continue;
    if (column(sheet[i], 5) != station) continue;
    std::string km = column(sheet[i], 3);
    if (km == "------") km = column(sheet[i + 1], 3);
    std::replace(km.begin(), km.end(), '.', '+');
    return km;
  }
  return "not on the sheet";
}

TEST(LspFeatures, HoverGivesTheTrainSheetsKilometre) {
  client c;
  c.initialize();
  c.open(line_uri, built_in_line());
  c.open(train_uri, built_in_train());
  const text_document train(built_in_train());
  // Stations before, at and after the change of numbering at Ponte Arsino
  // (route metre 41 450: km 47+050 in the new numbering, 48+300 in the old).
  for (std::string_view name :
       {"SAN DALMIO", "COLLE SERVO", "PONTE ARSINO", "MERLANA", "LESTRANO"}) {
    SCOPED_TRACE(std::string(name));
    int row = 0;
    while (!(train.line(row).rfind("stazione", 0) == 0 &&
             train.line(row).find(name) != std::string::npos))
      ++row;
    const int value_column = static_cast<int>(train.line(row).find_first_of("0123456789"));
    const std::string hover =
        c.at("textDocument/hover", train_uri, row, value_column)["result"]["contents"]["value"];
    const std::string expected = "Line kilometre: km " + sheet_kilometre(name) + "\n";
    EXPECT_NE(hover.find(expected), std::string::npos) << hover;
  }
  EXPECT_EQ(sheet_kilometre("PONTE ARSINO"), "47+050");
}

TEST(LspFeatures, CompletionOffersTheKeywordsOfThePlace) {
  struct completion_case {
    std::string text;
    int line;
    const char* offered;
    const char* not_offered;
  };
  const completion_case cases[] = {
      {"[generale]\r\n\r\n", 1, "lunghezza percorso", "segnale"},
      {"[generale]\r\nlunghezza percorso, 1000\r\n[curve]\r\npen\r\n", 3, "pendenza",
       "lunghezza percorso"},
      {"x\r\n", 0, "[generale]", "pendenza"},
  };
  for (const completion_case& k : cases) {
    client c;
    c.initialize();
    c.open(line_uri, k.text);
    const json items = c.at("textDocument/completion", line_uri, k.line, 0)["result"]["items"];
    std::set<std::string> labels;
    for (const json& i : items) labels.insert(i.value("filterText", i.value("label", "")));
    EXPECT_TRUE(labels.count(k.offered)) << k.text;
    EXPECT_FALSE(labels.count(k.not_offered)) << k.text;
  }
  client c;
  c.initialize();
  c.open(train_uri, "[generale]\r\nseg\r\n");
  const json items = c.at("textDocument/completion", train_uri, 1, 3)["result"]["items"];
  bool found = false;
  for (const json& i : items)
    if (i["label"] == "segnale") {
      found = true;
      EXPECT_EQ(i["textEdit"]["newText"],
                "segnale,  ${1:position},  ${2:sx},  ${3:s1},  ${4:s2},  ${5:s3},  ${6:rapp},  "
                "${7:dx},  ${8:d1},  ${9:d2},  ${10:d3},  ${11:tempo}");
      EXPECT_EQ(i["textEdit"]["range"]["end"]["character"], 3);
    }
  EXPECT_TRUE(found);
}

TEST(LspFeatures, OutlineListsTheRouteInOrderAndDefinitionJumpsAcross) {
  client c;
  c.initialize();
  c.open(line_uri, built_in_line());
  c.open(train_uri, built_in_train());
  const json outline =
      c.call("textDocument/documentSymbol", {{"textDocument", {{"uri", train_uri}}}})["result"];
  int stations = 0, signals = 0, previous_line = -1;
  for (const json& section : outline) {
    EXPECT_EQ(section["kind"], 3);
    for (const json& s : section["children"]) {
      const int line = s["range"]["start"]["line"];
      EXPECT_GT(line, previous_line);
      previous_line = line;
      stations += s["detail"].get<std::string>().rfind("station", 0) == 0;
      signals += s["detail"] == "signal";
    }
  }
  EXPECT_EQ(stations, 18);
  EXPECT_EQ(signals, 35);
  const json boards =
      c.call("textDocument/documentSymbol", {{"textDocument", {{"uri", line_uri}}}})["result"];
  size_t line_symbols = 0;
  for (const json& section : boards) line_symbols += section["children"].size();
  EXPECT_EQ(line_symbols, 20u + 55u);

  // From the first speed limit (at 0 m) to the gradient in force there.
  const text_document train(built_in_train());
  int row = 0;
  while (train.line(row).rfind("velocita", 0) != 0) ++row;
  const json to = c.at("textDocument/definition", train_uri, row, 12)["result"];
  ASSERT_TRUE(to.is_array()) << to.dump();
  bool gradient = false;
  const text_document line(built_in_line());
  for (const json& loc : to) {
    EXPECT_EQ(loc["uri"], line_uri);
    gradient |= line.line(loc["range"]["start"]["line"]).rfind("pendenza", 0) == 0;
  }
  EXPECT_TRUE(gradient) << to.dump();
}

TEST(LspFuzzCorpus, EverySeedAndPastFindingRunsCleanly) {
  int inputs = 0;
  for (const char* folder : {"lsp_corpus", "lsp_regressions"}) {
    const std::filesystem::path dir = std::filesystem::path(SCENARIO_FUZZ_DIR) / folder;
    if (!std::filesystem::exists(dir)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
      if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.') continue;
      std::ifstream f(entry.path(), std::ios::binary);
      std::stringstream bytes;
      bytes << f.rdbuf();
      EXPECT_TRUE(test_support::run_lsp_fuzz_input(bytes.str())) << entry.path();
      ++inputs;
    }
  }
  EXPECT_GE(inputs, 5);
}

}  // namespace

namespace {

// The line of the built-in document that begins with `keyword`.
int row_of(const std::string& text, std::string_view keyword) {
  const text_document d(text);
  for (int row = 0; row < d.line_count(); ++row)
    if (d.line(row).rfind(keyword, 0) == 0) return row;
  ADD_FAILURE() << keyword;
  return 0;
}

TEST(LspFeatures, ACompletionAcceptedOnAWholeRecordKeepsIt) {
  // Accepting the offer that names a line's own record changes nothing:
  // a curve keeps its side and class (once "curvad3" became "curva").
  const std::string line = built_in_line();
  for (const bool snippets : {true, false}) {
    client c;
    c.initialize(snippets
                     ? json{{"textDocument",
                             {{"completion", {{"completionItem", {{"snippetSupport", true}}}}}}}}
                     : json::object());
    c.open(line_uri, line);
    for (const char* keyword : {"curvad3", "curvas2", "ripetizione segnali", "pendenza"}) {
      const int row = row_of(line, keyword);
      const json items = c.at("textDocument/completion", line_uri, row, 5)["result"]["items"];
      bool offered = false;
      for (const json& i : items) {
        text_document d(line);
        const json& edit = i["textEdit"];
        d.replace({row, edit["range"]["start"]["character"]},
                  {row, edit["range"]["end"]["character"]}, edit["newText"].get<std::string>());
        if (d.text() == line) offered = true;
        EXPECT_EQ(i["insertTextFormat"], snippets ? i["insertTextFormat"] : json(1));
      }
      EXPECT_TRUE(offered) << keyword << " snippets " << snippets;
    }
  }
}

TEST(LspDiagnostics, ABurstOfEditsIsCheckedOnceForItsLastVersion) {
  client c;
  c.initialize();
  const std::string line = built_in_line(), train = built_in_train();
  c.open(line_uri, line);
  c.open(train_uri, train);
  c.received.clear();
  c.burst = true;
  const int row = row_of(line, "lunghezza");
  const int column = static_cast<int>(text_document(line).line(row).find('9'));
  for (int version = 2; version < 12; ++version) {
    const json range = {{"start", {{"line", row}, {"character", column}}},
                        {"end", {{"line", row}, {"character", column + 1}}}};
    c.notify("textDocument/didChange",
             {{"textDocument", {{"uri", line_uri}, {"version", version}}},
              {"contentChanges", json::array({{{"range", range}, {"text", "9"}}})}});
  }
  EXPECT_TRUE(c.received.empty());
  for (const std::string& m : c.server.idle()) c.received.push_back(json::parse(m));
  // One list for each document of the pair, for the last version.
  ASSERT_EQ(c.received.size(), 2u);
  std::set<std::string> uris;
  for (const json& m : c.received) uris.insert(m["params"]["uri"]);
  EXPECT_EQ(uris, (std::set<std::string>{line_uri, train_uri}));
  EXPECT_EQ(c.received[0]["params"]["version"], 11);
  EXPECT_TRUE(c.server.idle().empty());
}

TEST(LspDiagnostics, APartnerOnTheDiskLosesItsDiagnosticsWhenItsTrainCloses) {
  client c;
  c.disk.directories.insert("/work");
  c.disk.files["/work/Borvasco_Lestrano_linea.txt"] =
      runtime::to_windows1252(with(built_in_line(), "lunghezza percorso", "lunghezza percroso"));
  c.initialize();
  c.open(train_uri, built_in_train());
  ASSERT_FALSE(c.diagnostics(line_uri).empty());
  c.notify("textDocument/didClose", {{"textDocument", {{"uri", train_uri}}}});
  EXPECT_TRUE(c.diagnostics(line_uri).empty());
  EXPECT_TRUE(c.diagnostics(train_uri).empty());
}

TEST(LspSession, ColumnsCountInTheEncodingTheClientOffers) {
  struct encoding_case {
    json offered;
    const char* chosen;
    int column;  // of the value after an astral character, a degree sign, ",  "
  };
  const encoding_case cases[] = {
      {json::array({"utf-8"}), "utf-8", 9},
      {json::array({"utf-32", "utf-16"}), "utf-32", 5},
      {json::array({"utf-16", "utf-8"}), "utf-16", 6},
      {nullptr, "utf-16", 6},
  };
  for (const encoding_case& e : cases) {
    client c;
    json capabilities = json::object();
    if (!e.offered.is_null()) capabilities["general"]["positionEncodings"] = e.offered;
    const json answer = c.call("initialize", {{"capabilities", capabilities}});
    EXPECT_EQ(answer["result"]["capabilities"]["positionEncoding"], e.chosen);
    c.open("file:///f/x-.txt", "[generale]\r\n\xF0\x9F\x98\x80\xC2\xB0,  12abc\r\n");
    // An edit in those units lands on the characters meant.
    const json range = {{"start", {{"line", 1}, {"character", e.column}}},
                        {"end", {{"line", 1}, {"character", e.column + 2}}}};
    c.notify("textDocument/didChange",
             {{"textDocument", {{"uri", "file:///f/x-.txt"}}},
              {"contentChanges", json::array({{{"range", range}, {"text", "XY"}}})}});
    EXPECT_EQ(c.server.held("file:///f/x-.txt")->text(),
              "[generale]\r\n\xF0\x9F\x98\x80\xC2\xB0,  XYabc\r\n")
        << e.chosen;
  }
}

TEST(LspRobustness, ADroppedNotificationIsLogged) {
  test_support::memory_disk disk;
  std::ostringstream log;
  lsp_server server(disk, &log);
  server.handle(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})");
  server.handle(
      R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":"file:///a-.txt","text":"x"}}})");
  server.handle(
      R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":"file:///a-.txt"},"contentChanges":[{"range":{"start":{"line":"0","character":0},"end":{"line":0,"character":1}},"text":"y"}]}})");
  EXPECT_NE(log.str().find("textDocument/didChange dropped"), std::string::npos) << log.str();
  EXPECT_EQ(server.held("file:///a-.txt")->text(), "x");
}

}  // namespace

namespace {

// A document with the edits of a list applied (the last first, so that the
// earlier ranges stay where they were).
std::string applied(const std::string& text, const json& edits) {
  std::vector<json> list(edits.begin(), edits.end());
  std::sort(list.begin(), list.end(), [](const json& a, const json& b) {
    return std::pair{a["range"]["start"]["line"].get<int>(),
                     a["range"]["start"]["character"].get<int>()} >
           std::pair{b["range"]["start"]["line"].get<int>(),
                     b["range"]["start"]["character"].get<int>()};
  });
  text_document d(text);
  for (const json& e : list)
    d.replace({e["range"]["start"]["line"], e["range"]["start"]["character"]},
              {e["range"]["end"]["line"], e["range"]["end"]["character"]},
              e["newText"].get<std::string>());
  return d.text();
}

// The code actions offered at the start of a line of the train document.
json code_actions_on_train_line(client& c, int row) {
  return c.call(
      "textDocument/codeAction",
      {{"textDocument", {{"uri", train_uri}}},
       {"range",
        {{"start", {{"line", row}, {"character", 0}}}, {"end", {{"line", row}, {"character", 0}}}}},
       {"context", {{"diagnostics", json::array()}}}})["result"];
}

TEST(LspCapabilities, QuickFixesMendWhatTheDiagnosticsSay) {
  struct fix_case {
    std::string train;  // the train document, planted
    std::string_view on_line_with;
    std::string title_part;
    std::string train_after;  // expected after the fix
  };
  const std::string train = built_in_train();
  const std::string mangled_name = "SAN DALM\xC3\x83\xC5\x92O";  // "Ì" saved as UTF-8, read as 1252
  const std::string no_end = with(train, "[fine]\r\n", "");
  const fix_case cases[] = {
      {with(train, "segnale", "sengale"), "sengale", "Replace with 'segnale'", train},
      {with(train, "stazione,      50,", "stazione,      60,"), "stazione,      60",
       "Round 60 to 50", train},
      {with(train, "SAN DALMIO", mangled_name), mangled_name, "letters meant",
       with(train, "SAN DALMIO", "SAN DALM\xC3\x8CO")},
      {no_end, "[generale]", "\"[fine]\"", no_end + "[fine]\r\n"},
  };
  for (const fix_case& k : cases) {
    SCOPED_TRACE(k.title_part);
    client c;
    c.initialize();
    c.open(line_uri, built_in_line());
    c.open(train_uri, k.train);
    const text_document planted(k.train);
    int row = 0;
    while (row < planted.line_count() &&
           planted.line(row).find(k.on_line_with) == std::string_view::npos)
      ++row;
    const json actions = code_actions_on_train_line(c, row);
    const json* chosen = nullptr;
    for (const json& a : actions)
      if (a["title"].get<std::string>().find(k.title_part) != std::string::npos) chosen = &a;
    ASSERT_NE(chosen, nullptr) << actions.dump();
    EXPECT_EQ((*chosen)["kind"], "quickfix");
    EXPECT_EQ(applied(k.train, (*chosen)["edit"]["changes"][train_uri]), k.train_after);
  }
}

// The findings a code action mends are those of the documents' last
// version: the check kept since the diagnostics is dropped by each edit.
TEST(LspCapabilities, QuickFixesFollowEachEdit) {
  const std::string train = built_in_train();
  const std::string misspelt = with(train, "segnale", "sengale");
  client c;
  c.initialize();
  c.open(line_uri, built_in_line());
  c.open(train_uri, misspelt);
  const text_document planted(misspelt);
  int row = 0;
  while (planted.line(row).find("sengale") == std::string_view::npos) ++row;
  auto fixes = [&] {
    const json actions = code_actions_on_train_line(c, row);
    std::vector<std::string> titles;
    for (const json& a : actions) titles.push_back(a["title"]);
    return titles;
  };
  auto replace_train = [&](const std::string& text) {
    c.notify("textDocument/didChange", {{"textDocument", {{"uri", train_uri}, {"version", 2}}},
                                        {"contentChanges", json::array({{{"text", text}}})}});
  };
  EXPECT_FALSE(fixes().empty());
  replace_train(train);
  EXPECT_TRUE(fixes().empty());
  replace_train(misspelt);
  EXPECT_FALSE(fixes().empty());
}

TEST(LspCapabilities, SignatureHelpNamesEveryFieldOfAStation) {
  client c;
  c.initialize();
  const std::string train = built_in_train();
  c.open(train_uri, train);
  const int row = row_of(train, "stazione");
  const std::string line(text_document(train).line(row));
  const auto fields = compiler::record_of(compiler::record_kind::station).fields;
  ASSERT_EQ(fields.size(), 17u);
  // The first character of each value, after each comma.
  std::vector<int> starts;
  for (size_t i = 0; i < line.size(); ++i)
    if (line[i] == ',') starts.push_back(static_cast<int>(line.find_first_not_of(' ', i + 1)));
  ASSERT_EQ(starts.size(), 17u);
  for (size_t i = 0; i < starts.size(); ++i) {
    const json help = c.at("textDocument/signatureHelp", train_uri, row, starts[i])["result"];
    ASSERT_TRUE(help.is_object()) << i;
    EXPECT_EQ(help["activeParameter"], static_cast<int>(i)) << line.substr(starts[i]);
    const json& p = help["signatures"][0]["parameters"][i];
    EXPECT_EQ(p["label"], std::string(fields[i].name));
    EXPECT_NE(p["documentation"].get<std::string>().find(std::string(fields[i].meaning)),
              std::string::npos);
  }
  EXPECT_EQ(c.at("textDocument/signatureHelp", train_uri, row, 2)["result"], nullptr);
}

TEST(LspCapabilities, InlayHintsGiveTheTrainSheetsKilometres) {
  client c;
  c.initialize();
  c.open(line_uri, built_in_line());
  const std::string train = built_in_train();
  c.open(train_uri, train);
  const text_document doc(train);
  const json hints =
      c.call("textDocument/inlayHint",
             {{"textDocument", {{"uri", train_uri}}},
              {"range",
               {{"start", {{"line", 0}, {"character", 0}}},
                {"end", {{"line", doc.line_count()}, {"character", 0}}}}}})["result"];
  int stations = 0;
  for (const json& h : hints) {
    const std::string_view line = doc.line(h["position"]["line"]);
    if (line.rfind("stazione", 0) != 0) continue;
    for (std::string_view name :
         {"SAN DALMIO", "COLLE SERVO", "PONTE ARSINO", "MERLANA", "LESTRANO"})
      if (line.find(name) != std::string_view::npos) {
        EXPECT_EQ(h["label"], " km " + sheet_kilometre(name)) << name;
        ++stations;
      }
  }
  EXPECT_EQ(stations, 5);
}

// Beside a speed the package keeps packed, what it keeps: a speed limit's
// count of 5 km/h steps, a board's word of two speeds; and the speeds a
// train reads back where they differ from the written ones.
TEST(LspCapabilities, InlayHintsSayHowThePackageKeepsASpeed) {
  client c;
  c.initialize();
  const char* uri = "file:///o/O_1-.txt";
  const std::string train = "[generale]\r\nvelocita,  0,  75\r\nvelocita,  3000,  77\r\n[fine]\r\n";
  c.open(uri, train);
  const char* board_uri = "file:///o/O_linea.txt";
  c.open(board_uri,
         "[generale]\r\nlunghezza percorso,    5000\r\n[cartelli]\r\n"
         "indicatori_vmax,  3000,  65,  60,  50,  1,  65,  ,  ,  0\r\n[fine]\r\n");
  auto labels = [&](const char* doc) {
    std::vector<std::string> out;
    const json hints =
        c.call("textDocument/inlayHint", {{"textDocument", {{"uri", doc}}},
                                          {"range",
                                           {{"start", {{"line", 0}, {"character", 0}}},
                                            {"end", {{"line", 10}, {"character", 0}}}}}})["result"];
    for (const json& h : hints)
      out.push_back(std::to_string(h["position"]["line"].get<int>()) + ":" +
                    std::to_string(h["position"]["character"].get<int>()) +
                    h["label"].get<std::string>());
    return out;
  };
  EXPECT_EQ(labels(uri),
            (std::vector<std::string>{"1:17 kept as 15", "2:20 kept as 15 (75 km/h)"}));
  // The A speeds 65 and 65 in one word; B and C with their "d" speeds left
  // empty, which read as 0.
  EXPECT_EQ(labels(board_uri), (std::vector<std::string>{"3:46 kept as 1313 (65|65 km/h)",
                                                         "3:49 kept as 1200 (60|0 km/h)",
                                                         "3:52 kept as 1000 (50|0 km/h)"}));
}

TEST(LspCapabilities, FormattingAlignsColumnsAndChangesNothingElse) {
  client c;
  c.initialize();
  // The built-in line description with the blanks after its commas taken
  // out, and a few put in the wrong places.
  std::string messy = built_in_line();
  for (size_t at; (at = messy.find(",  ")) != std::string::npos;) messy.replace(at, 3, ",");
  messy = with(messy, "pendenza,", "pendenza ,    ");
  c.open(line_uri, messy);
  const json edits = c.call("textDocument/formatting", {{"textDocument", {{"uri", line_uri}}},
                                                        {"options", {{"tabSize", 2}}}})["result"];
  ASSERT_FALSE(edits.empty());
  const std::string formatted = applied(messy, edits);
  // The compile reads the same: the same records, the same findings.
  const std::string t = runtime::to_windows1252(built_in_train());
  std::vector<std::string> before, after;
  for (const compiler::finding& f :
       checker::check_documents({runtime::to_windows1252(messy), t}, {}))
    before.push_back(std::to_string(f.line) + " " + f.message);
  for (const compiler::finding& f :
       checker::check_documents({runtime::to_windows1252(formatted), t}, {}))
    after.push_back(std::to_string(f.line) + " " + f.message);
  EXPECT_EQ(after, before);
  EXPECT_EQ(text_document(formatted).line_count(), text_document(messy).line_count());
  // Formatting what is formatted changes nothing.
  c.notify("textDocument/didChange", {{"textDocument", {{"uri", line_uri}, {"version", 2}}},
                                      {"contentChanges", json::array({{{"text", formatted}}})}});
  EXPECT_TRUE(c.call("textDocument/formatting", {{"textDocument", {{"uri", line_uri}}},
                                                 {"options", {{"tabSize", 2}}}})["result"]
                  .empty());
}

TEST(LspCapabilities, ThePlacesAndShapesOfADocument) {
  client c;
  c.initialize();
  const std::string line = built_in_line(), train = built_in_train();
  c.open(line_uri, line);
  c.open(train_uri, train);
  // References: the records at a signal's place, in both documents;
  // highlights only in its own.
  const int signal = row_of(train, "segnale");
  const json refs = c.at("textDocument/references", train_uri, signal, 2)["result"];
  std::set<std::string> documents;
  for (const json& r : refs) documents.insert(r["uri"]);
  EXPECT_EQ(documents, (std::set<std::string>{line_uri, train_uri})) << refs.dump();
  const json highlights = c.at("textDocument/documentHighlight", train_uri, signal, 2)["result"];
  EXPECT_FALSE(highlights.empty());
  EXPECT_LT(highlights.size(), refs.size());
  // Folding: one range for each section that holds records.
  const json folds =
      c.call("textDocument/foldingRange", {{"textDocument", {{"uri", line_uri}}}})["result"];
  EXPECT_EQ(folds.size(), 6u) << folds.dump();  // every section but "[fine]"
  // Semantic tokens: five numbers each; the first is the "[generale]"
  // section header on line 0.
  const json tokens = c.call("textDocument/semanticTokens/full",
                             {{"textDocument", {{"uri", line_uri}}}})["result"]["data"];
  ASSERT_GE(tokens.size(), 5u);
  EXPECT_EQ(tokens.size() % 5, 0u);
  EXPECT_EQ(tokens[0], 0);
  EXPECT_EQ(tokens[2], 10);  // "[generale]"
  EXPECT_EQ(tokens[3], 3);   // namespace
  // Workspace symbols: the stations and signals of what is open.
  const json found = c.call("workspace/symbol", {{"query", "dalmio"}})["result"];
  ASSERT_EQ(found.size(), 1u) << found.dump();
  EXPECT_EQ(found[0]["name"], "SAN DALMIO");
  EXPECT_EQ(found[0]["location"]["uri"], train_uri);
}

}  // namespace

namespace {

TEST(LspCapabilities, ATakenCellNamesTheRecordThatHoldsIt) {
  client c;
  c.initialize();
  c.open(line_uri, built_in_line());
  // The third signal moved onto the second one's cell.
  std::string train = built_in_train();
  const text_document doc(train);
  const int first = row_of(train, "segnale");
  const std::string second(doc.line(first + 1));
  const std::string third(doc.line(first + 2));
  const std::string second_position = second.substr(
      second.find(',') + 1, second.find(',', second.find(',') + 1) - second.find(',') - 1);
  const size_t comma = third.find(','), next = third.find(',', comma + 1);
  train = with(train, third, third.substr(0, comma + 1) + second_position + third.substr(next));
  c.open(train_uri, train);
  bool named = false;
  for (const json& d : c.diagnostics(train_uri))
    if (d["code"] == 16) {
      ASSERT_TRUE(d.contains("relatedInformation")) << d.dump();
      const json& r = d["relatedInformation"][0];
      EXPECT_EQ(r["location"]["uri"], train_uri);
      EXPECT_EQ(r["location"]["range"]["start"]["line"], first + 1);
      // The holder's whole record, as the check's JSON gives it.
      EXPECT_EQ(r["location"]["range"]["start"]["character"], 0);
      EXPECT_EQ(r["location"]["range"]["end"]["character"],
                static_cast<int>(second.find_last_not_of(' ') + 1));
      EXPECT_EQ(r["message"], "the signal that holds this cell");
      named = true;
    }
  EXPECT_TRUE(named);

  // A gradient whose position goes backwards names the one before it.
  client lone;
  lone.initialize();
  const char* uri = "file:///o/O_linea.txt";
  lone.open(uri,
            "[generale]\r\nlunghezza percorso,    5000\r\n[pendenze]\r\n"
            "pendenza,  2000,  3\r\npendenza,  1000,  4\r\n[fine]\r\n");
  bool backwards = false;
  for (const json& d : lone.diagnostics(uri))
    if (d["code"] == "out-of-order") {
      ASSERT_TRUE(d.contains("relatedInformation")) << d.dump();
      EXPECT_EQ(d["relatedInformation"][0]["location"]["range"]["start"]["line"], 3);
      backwards = true;
    }
  EXPECT_TRUE(backwards) << lone.diagnostics(uri).dump();

  // The one just before, not the first of its kind; a curve between them
  // is not of its kind.
  const char* later = "file:///o/P_linea.txt";
  lone.open(later,
            "[generale]\r\nlunghezza percorso,    5000\r\n[pendenze]\r\n"
            "pendenza,  1000,  3\r\npendenza,  3000,  4\r\ncurvas1,  100,  50\r\n"
            "pendenza,  2000,  5\r\n[fine]\r\n");
  int named_line = -1;
  for (const json& d : lone.diagnostics(later))
    if (d["code"] == "out-of-order" && d["range"]["start"]["line"] == 6)
      named_line = d["relatedInformation"][0]["location"]["range"]["start"]["line"];
  EXPECT_EQ(named_line, 4) << lone.diagnostics(later).dump();
}

}  // namespace

}  // namespace lsp
