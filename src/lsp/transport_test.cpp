// The framing of messages, and the loop that serves them.

#include <gtest/gtest.h>

#include <sstream>

#include <nlohmann/json.hpp>

#include "lsp/protocol.h"
#include "lsp/server.h"
#include "lsp/transport.h"
#include "lsp/uri.h"
#include "test_support/memory_disk.h"

namespace lsp {

using nlohmann::json;

namespace {

TEST(LspFraming, ReadsMessagesAndRefusesBadHeaders) {
  struct frame_case {
    std::string input;
    std::vector<frame_status> statuses;
  };
  const frame_case cases[] = {
      {"Content-Length: 2\r\n\r\n{}", {frame_status::message, frame_status::end_of_input}},
      {"content-length:2\n\n{}Content-Length: 1\r\nContent-Type: x\r\n\r\n1",
       {frame_status::message, frame_status::message, frame_status::end_of_input}},
      {"Content-Length: x\r\n\r\n", {frame_status::bad_header, frame_status::end_of_input}},
      {"Nonsense\r\n\r\nContent-Length: 1\r\n\r\n7",
       {frame_status::bad_header, frame_status::message, frame_status::end_of_input}},
      {"Content-Length: 99999999999\r\n\r\n", {frame_status::bad_header}},
      {"Content-Length: 10\r\n\r\n{}", {frame_status::end_of_input}},
      // A header that begins within a line, in any case: the line's start
      // is left.
      {"ccCcontent-LENGTH: 1\r\n\r\n7", {frame_status::message, frame_status::end_of_input}},
      {"c: 1\r\nCONTENTcontent-length: 1\r\n\r\n7",
       {frame_status::message, frame_status::end_of_input}},
      {"Content-Lengt: 1\r\n\r\n7", {frame_status::bad_header, frame_status::end_of_input}},
  };
  for (const frame_case& c : cases) {
    std::istringstream in(c.input);
    frame_reader r(in);
    std::string body;
    for (frame_status expected : c.statuses) EXPECT_EQ(r.next(&body), expected) << c.input;
  }
}

// A length too long for its body ends the body where its JSON ends: quotes,
// brackets and backslashes inside strings, and a string that runs on past
// one block of reading, do not end it early or late.
TEST(LspFraming, ABodyTooLongForItsJsonEndsWhereTheJsonEnds) {
  const std::string long_text(100000, 'a');
  const std::string bodies[] = {
      R"({"a":"}\"}"})",
      R"({"a":"\\","b":["[",{"c":"\"]}"}]})",
      R"([1,"x\\\"]\\",{}] )",
      "{\"t\":\"" + long_text + "\\\\\\\"}" + long_text + "\"}",
      // The backslash the last byte of the first block (64 KiB with the
      // 25 bytes of the header), the quote it escapes the first of the next.
      "{\"t\":\"" + std::string(65504, 'a') + "\\\"}\"}",
  };
  for (const std::string& body : bodies) {
    const std::string next = R"({"jsonrpc":"2.0"})";
    std::istringstream in("Content-Length: " + std::to_string(body.size() + 40) + "\r\n\r\n" +
                          body + next);
    frame_reader r(in);
    std::string read;
    ASSERT_EQ(r.next(&read), frame_status::message) << body.substr(0, 40);
    EXPECT_EQ(read, body) << body.substr(0, 40);
    // What follows is read as the next message's headers.
    EXPECT_EQ(r.next(&read), frame_status::end_of_input) << body.substr(0, 40);
  }
}

// Brackets count towards the nesting only outside strings.
TEST(LspFraming, NestingIsCountedOutsideStrings) {
  const std::string deep(max_json_nesting + 1, '[');
  const std::pair<std::string, bool> cases[] = {
      {deep, true},
      {"[\"" + deep + "\"]", false},
      {"[\"\\\"" + deep + "\"]", false},
      {"[\"\\\\\"" + deep, true},
      {"\"" + deep, false},
      {"\"\\", false},
  };
  for (const auto& [body, too_deep] : cases)
    EXPECT_EQ(nesting_too_deep(body), too_deep) << body.substr(0, 8);
}

// The answers a session writes, one JSON value each.
std::vector<json> answers_of(const std::string& output) {
  std::istringstream in(output);
  frame_reader r(in);
  std::vector<json> out;
  std::string body;
  while (r.next(&body) == frame_status::message) out.push_back(json::parse(body));
  return out;
}

TEST(LspFraming, ABadFrameCostsOneErrorAndTheNextMessageIsAnswered) {
  const std::string initialize =
      R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}})";
  const std::string oversized = "Content-Length: " + std::to_string(max_message_bytes + 1) +
                                "\r\n\r\n" + std::string(max_message_bytes + 1, 'x');
  const std::string bad_frames[] = {
      "Content-Length: abc\r\n\r\n{}",
      "Content-Length: -5\r\n\r\n{}",
      "Content-Length: 99999999999999999999\r\n\r\n{}",
      "Content-Type: text/plain\r\n\r\n{}",                                  // no length
      "Content-Length: 8\r\n\r\n{\"jsonrpc\":\"2.0\",\"id\":9}",             // too short
      "Content-Length: 4000\r\n\r\n{\"jsonrpc\":\"2.0\",\"method\":\"x\"}",  // too long
      oversized,
  };
  for (const std::string& bad : bad_frames) {
    std::istringstream in(bad + framed(initialize));
    std::ostringstream out;
    test_support::memory_disk d;
    serve_lsp(in, out, d);
    const std::vector<json> answers = answers_of(out.str());
    bool initialized = false;
    for (const json& a : answers) initialized |= a.value("id", json()) == 1 && a.contains("result");
    EXPECT_TRUE(initialized) << bad.substr(0, 60) << "\n" << out.str().substr(0, 400);
    EXPECT_LE(answers.size(), 3u) << bad.substr(0, 60);
  }
}

TEST(LspUri, FileUrisAndPathsConvertBothWays) {
  struct uri_case {
    const char* uri;
    std::optional<std::string> path;
  };
  const uri_case cases[] = {
      {"file:///a%20b/c.txt", "/a b/c.txt"},
      {"FILE:///x/y", "/x/y"},
      {"file://localhost/etc/z_linea.txt", "/etc/z_linea.txt"},
      {"file:///%C3%A8/%zz%4", "/\xC3\xA8/%zz%4"},  // a broken escape stays as it is
      {"untitled:Untitled-1", std::nullopt},
      {"file://host", std::nullopt},
  };
  constexpr path_style posix = path_style::posix;
  for (const uri_case& c : cases) EXPECT_EQ(path_of_uri(c.uri, posix), c.path) << c.uri;
  for (const char* path : {"/a b/c.txt", "/w/\xC3\xA8-.txt", "/x/%41"})
    EXPECT_EQ(path_of_uri(uri_of_path(path, posix), posix), path) << path;
  EXPECT_EQ(uri_key("file:///a/%62.txt", posix), uri_key("file:///a/b.txt", posix));
}

// The URIs Windows editors send: a drive letter in either case, its colon
// escaped or not, and network paths.
TEST(LspUri, WindowsFileUrisAndPaths) {
  constexpr path_style windows = path_style::windows;
  struct uri_case {
    const char* uri;
    std::optional<std::string> path;
  };
  const uri_case cases[] = {
      {"file:///c%3A/Users/Societ%C3%A0/linea.txt", "C:\\Users\\Societ\xC3\xA0\\linea.txt"},
      {"file:///C:/Users/x/y%20z.txt", "C:\\Users\\x\\y z.txt"},
      {"file:///d%3a/", "D:\\"},
      {"file://localhost/c:/Routes/a.txt", "C:\\Routes\\a.txt"},
      {"file://server/share/Routes/a.txt", "\\\\server\\share\\Routes\\a.txt"},
      {"untitled:Untitled-1", std::nullopt},
  };
  for (const uri_case& c : cases) EXPECT_EQ(path_of_uri(c.uri, windows), c.path) << c.uri;
  // Paths become URIs spelled as VS Code spells them, and back.
  EXPECT_EQ(uri_of_path("C:\\Users\\Societ\xC3\xA0\\a b.txt", windows),
            "file:///c%3A/Users/Societ%C3%A0/a%20b.txt");
  EXPECT_EQ(uri_of_path("\\\\server\\share\\a.txt", windows), "file://server/share/a.txt");
  for (const char* path : {"C:\\Routes\\Foo_linea.txt", "\\\\server\\share\\x.txt", "D:\\"})
    EXPECT_EQ(path_of_uri(uri_of_path(path, windows), windows), path) << path;
  // One document whatever the spelling of its drive.
  EXPECT_EQ(uri_key("file:///c%3A/Routes/a.txt", windows),
            uri_key("file:///C:/Routes/a.txt", windows));
  // POSIX paths keep their colons and backslashes as they are.
  EXPECT_EQ(path_of_uri("file:///c%3A/x%5Cy", path_style::posix), "/c:/x\\y");
}

}  // namespace

}  // namespace lsp
