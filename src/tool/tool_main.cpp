// scenario-tool: compiles any scenario's documents, writes the built-in ones,
// and reads and draws a package.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

#include "lsp/server.h"
#include "lsp/transport.h"
#include "run/exit_status.h"
#include "runtime/disk.h"
#include "tool/check_command.h"
#include "tool/compile_command.h"
#include "tool/package_commands.h"

namespace {

constexpr const char* version = "scenario-tool 1.0";

constexpr const char* usage =
    "usage: scenario-tool COMMAND [OPTIONS]\n"
    "\n"
    "Commands:\n"
    "  check      report every problem in a line description and a train document\n"
    "  compile    compile a line description and a train document into a package\n"
    "  documents  write the built-in scenario's five documents\n"
    "  inspect    print what a package holds, as text or JSON\n"
    "  lsp        serve an editor: diagnostics, hover, completion and outline\n"
    "             over the Language Server Protocol on stdin and stdout\n"
    "  render     draw a package as an SVG file\n"
    "  view       write a package as an HTML page to zoom, pan and search\n"
    "\n"
    "Run 'scenario-tool COMMAND --help' for a command's options.\n"
    "Options: --help, --version\n";

int run_command(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << usage;
    return exit_usage;
  }
  const char* command = argv[1];
  if (!std::strcmp(command, "--help") || !std::strcmp(command, "-h") ||
      !std::strcmp(command, "help")) {
    std::cout << usage;
    return exit_clean;
  }
  if (!std::strcmp(command, "--version")) {
    std::cout << version << "\n";
    return exit_clean;
  }
  if (!std::strcmp(command, "check"))
    return check_command(argc, argv, real_disk(), std::cout, std::cerr);
  if (!std::strcmp(command, "compile"))
    return compile_command(argc, argv, real_disk(), std::cout, std::cerr);
  if (!std::strcmp(command, "documents"))
    return documents_command(argc, argv, real_disk(), std::cout, std::cerr);
  if (!std::strcmp(command, "inspect"))
    return inspect_command(argc, argv, real_disk(), std::cout, std::cerr);
  if (!std::strcmp(command, "lsp")) {
    if (argc > 2) {
      const bool help = !std::strcmp(argv[2], "--help") || !std::strcmp(argv[2], "-h");
      (help ? std::cout : std::cerr)
          << "usage: scenario-tool lsp\n"
             "\n"
             "Serves one editor over the Language Server Protocol (JSON-RPC with\n"
             "Content-Length framing) on standard input and output, until the editor\n"
             "sends \"exit\". Status 0 after \"shutdown\" and \"exit\", 1 otherwise.\n";
      return help ? exit_clean : exit_usage;
    }
    std::ios::sync_with_stdio(false);
    // An editor that quits closes the pipe: writing to it is then an error
    // that ends the session, not a signal that kills the process.
    ignore_broken_pipes();
    return serve_lsp(std::cin, std::cout, real_disk(), standard_input_waiting);
  }
  if (!std::strcmp(command, "render"))
    return render_command(argc, argv, real_disk(), std::cout, std::cerr);
  if (!std::strcmp(command, "view"))
    return view_command(argc, argv, real_disk(), std::cout, std::cerr);
  std::cerr << "scenario-tool: unknown command '" << command << "'\n" << usage;
  return exit_usage;
}

}  // namespace

int main(int argc, char** argv) {
  const int status = run_command(argc, argv);
  // Whatever went to standard output must have arrived: a full disk or a
  // closed pipe behind it is a failure, never a clean exit.
  std::cout.flush();
  if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::cerr << "scenario-tool: cannot write standard output: " << std::strerror(errno) << "\n";
    return exit_io_failure;
  }
  return status;
}
