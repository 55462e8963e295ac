#include "testing/lsp_fuzz_input.h"

#include <sstream>
#include <string>

#include <nlohmann/json.hpp>

#include "lsp/server.h"
#include "lsp/transport.h"
#include "testing/memory_disk.h"

namespace testing {

namespace {

// A session is opened for the input, so that it reaches the handlers of
// documents and positions and not only the refusal of an uninitialised
// server: an "initialize" request goes first unless the input begins with
// "!".
constexpr std::string_view initialize =
    R"({"jsonrpc":"2.0","id":0,"method":"initialize","params":{"capabilities":{}}})";

}  // namespace

bool run_lsp_fuzz_input(std::string_view input) {
  std::string stream;
  if (!input.empty() && input[0] == '!')
    input.remove_prefix(1);
  else
    stream = lsp::framed(initialize);
  stream.append(input);
  std::istringstream in(stream);
  std::ostringstream out;
  memory_disk d;
  d.directories.insert("/d");
  d.files["/d/A_linea.txt"] = "[generale]\r\nlunghezza percorso,    5000\r\n[fine]\r\n";
  const int status = lsp::serve_lsp(in, out, d);
  if (status != 0 && status != 1) return false;
  // Every answer is a framed JSON object.
  std::istringstream answers(out.str());
  lsp::frame_reader r(answers);
  std::string body;
  lsp::frame_status s;
  while ((s = r.next(&body)) == lsp::frame_status::message) {
    const nlohmann::json m = nlohmann::json::parse(body, nullptr, false);
    if (m.is_discarded() || !m.is_object() || m.value("jsonrpc", "") != "2.0") return false;
  }
  return s == lsp::frame_status::end_of_input;
}

}  // namespace testing
