// Benchmarks of the compile and of writing each binary file: the built-in
// scenario, and a 1 000 000 m route with dense records of every kind (made by
// make_large_scenario.py at build time).

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "compiler/compile.h"
#include "documents/builtin_documents.h"
#include "lsp/server.h"
#include "model/package_format.h"
#include "model/package_reader.h"
#include "model/package_writer.h"
#include "run/generator.h"
#include "runtime/disk.h"
#include "runtime/windows1252.h"
#include "test_support/memory_disk.h"
#include "tool/html_view.h"
#include "tool/svg_drawing.h"

namespace {

std::string join_lines(std::span<const std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) text.append(line).append("\r\n");
  return text;
}

std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

struct document_pair {
  std::string line, train;
};

const document_pair& built_in() {
  static const document_pair d{join_lines(documents::line_document_lines()),
                               join_lines(documents::train_document_lines())};
  return d;
}

const document_pair& large() {
  static const document_pair d{read_file(SCENARIO_LARGE_DIR "/large_linea.txt"),
                               read_file(SCENARIO_LARGE_DIR "/large_treno.txt")};
  return d;
}

compiler::compile_result compile_pair(const document_pair& docs) {
  compiler::compile_input input;
  input.line_description = docs.line;
  input.train_document = docs.train;
  input.line_name = run::built_in_line_name;
  input.train_number = run::built_in_train_number;
  return compiler::compile_documents(input);
}

// The compile alone: both readers and the approach-marker pass.
void compile(benchmark::State& state, const document_pair& docs) {
  for (auto _ : state) {
    compiler::compile_result r = compile_pair(docs);
    if (r.fault) state.SkipWithError("the documents do not compile cleanly");
    benchmark::DoNotOptimize(r.compiled.grid.data());
  }
}

void BM_CompileBuiltIn(benchmark::State& state) {
  compile(state, built_in());
}
void BM_CompileLarge(benchmark::State& state) {
  compile(state, large());
}

// Writing one file of the large package to the real disk, in a directory of
// its own.
template <typename Put>
void write_file(benchmark::State& state, Put put) {
  static const model::scenario st = compile_pair(large()).compiled;
  char pattern[] = "/tmp/scenario-bench-XXXXXX";
  if (!mkdtemp(pattern)) {
    state.SkipWithError("cannot make a directory");
    return;
  }
  const std::string path = std::string(pattern) + "/file";
  int64_t bytes = 0;
  for (auto _ : state) {
    runtime::output_file out(runtime::real_disk(), path);
    out.open();
    put(out, st);
    if (!out.finish()) state.SkipWithError("write failed");
    bytes += static_cast<int64_t>(std::filesystem::file_size(path));
  }
  state.SetBytesProcessed(bytes);
  std::filesystem::remove_all(pattern);
}

void BM_WritePlanFile(benchmark::State& state) {
  write_file(state, [](runtime::output_file& out, const model::scenario& st) {
    model::put_line_plan(out, st.plan);
  });
}

void BM_WriteTableFile(benchmark::State& state) {
  write_file(state, [](runtime::output_file& out, const model::scenario& st) {
    for (const model::scenario_entry& e : st.table) model::put_scenario_entry(out, e);
  });
}

void BM_WriteGridFile(benchmark::State& state) {
  write_file(state, [](runtime::output_file& out, const model::scenario& st) {
    for (const model::track_cell& c : st.grid) model::put_track_cell(out, c);
  });
}

// The large package on the real disk, written once by the package writer,
// for render and view.
const std::string& large_package_dir() {
  static const std::string dir = [] {
    char pattern[] = "/tmp/scenario-bench-package-XXXXXX";
    if (!mkdtemp(pattern)) return std::string();
    compiler::compile_result r = compile_pair(large());
    runtime::io_failure failure;
    if (model::stamp_reserved_slots(r.compiled) != model::stamp_outcome::stamped ||
        !model::write_package(r.compiled, run::built_in_identity(), pattern, true,
                              runtime::real_disk(), &failure))
      return std::string();
    return std::string(pattern);
  }();
  return dir;
}

// Reading the 1 000 000 m package (its plan streamed into a trace) and
// drawing it, as render and view do.
template <typename Make>
void show_large(benchmark::State& state, Make make) {
  const std::string& dir = large_package_dir();
  if (dir.empty()) {
    state.SkipWithError("cannot write the large package");
    return;
  }
  const model::scenario_identity id = run::built_in_identity();
  size_t bytes = 0;
  for (auto _ : state) {
    model::package p;
    model::package_error error;
    if (!model::read_package(runtime::real_disk(), dir, id, &p, &error,
                             model::plan_reading::trace)) {
      state.SkipWithError(error.message.c_str());
      return;
    }
    const std::string out = make(p);
    bytes = out.size();
    benchmark::DoNotOptimize(out.data());
  }
  state.counters["output_bytes"] = static_cast<double>(bytes);
}

void BM_RenderLarge(benchmark::State& state) {
  show_large(state, [](const model::package& p) { return tool::draw_package(p); });
}
void BM_ViewLarge(benchmark::State& state) {
  show_large(state,
             [](const model::package& p) { return tool::view_page(p, tool::view_sources{}); });
}

// The large pair opened in a language server, and a keystroke in its train
// document: the car count (line 2, column 19) retyped.
struct large_session {
  test_support::memory_disk d;
  lsp::lsp_server server{d};
  int version = 2;
  static constexpr const char* line_uri = "file:///bench/Large_linea.txt";
  static constexpr const char* train_uri = "file:///bench/Large_1-.txt";

  static std::string quoted(const std::string& windows1252) {
    std::string out = "\"";
    for (char c : runtime::windows1252_to_utf8(windows1252)) {
      if (c == '"' || c == '\\') out += '\\';
      if (c == '\r') {
        out += "\\r";
      } else if (c == '\n') {
        out += "\\n";
      } else {
        out += c;
      }
    }
    return out + "\"";
  }
  large_session() {
    server.handle(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{"capabilities":{}}})");
    for (const auto& [uri, text] :
         {std::pair{line_uri, &large().line}, std::pair{train_uri, &large().train}})
      server.handle(
          std::string(
              R"({"jsonrpc":"2.0","method":"textDocument/didOpen","params":{"textDocument":{"uri":")") +
          uri + R"(","languageId":"scenario","version":1,"text":)" + quoted(*text) + "}}}");
    server.idle();
  }
  void keystroke() {
    const std::string digit = std::to_string(version % 9 + 1);
    server.handle(
        std::string(
            R"({"jsonrpc":"2.0","method":"textDocument/didChange","params":{"textDocument":{"uri":")") +
        train_uri + R"(","version":)" + std::to_string(version++) +
        R"(},"contentChanges":[{"range":{"start":{"line":1,"character":19},"end":{"line":1,"character":20}},"text":")" +
        digit + R"("}]}})");
  }
};

// The language server's answer to one keystroke in the large train document:
// an incremental change through the change handler, then the pause after
// it, when the pair is checked and the diagnostics of both documents are
// published. This is what an author waits for after each edit.
void BM_LspEditLarge(benchmark::State& state) {
  large_session s;
  size_t published = 0;
  for (auto _ : state) {
    s.keystroke();
    published += s.server.idle().size();
  }
  if (published != 2 * static_cast<size_t>(state.iterations()))
    state.SkipWithError("each edit publishes the diagnostics of both documents");
}

// A burst of 50 keystrokes sent back to back, as a fast typist or a paste
// sends them, and the diagnostics of the last: the changes are applied as
// they come and the pair is checked once, when the input pauses. The time
// is that from the first keystroke to the last diagnostics.
void BM_LspBurstLarge(benchmark::State& state) {
  large_session s;
  size_t published = 0;
  for (auto _ : state) {
    for (int i = 0; i < 50; ++i) s.keystroke();
    published += s.server.idle().size();
  }
  if (published != 2 * static_cast<size_t>(state.iterations()))
    state.SkipWithError("a burst publishes the diagnostics of both documents once");
}

BENCHMARK(BM_CompileBuiltIn)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CompileLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WritePlanFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteTableFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WriteGridFile)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ViewLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LspEditLarge)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LspBurstLarge)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
