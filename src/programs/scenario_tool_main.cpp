// scenario-tool: compiles any scenario's documents, writes the built-in ones,
// and reads and draws a package.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lsp/server.h"
#include "lsp/transport.h"
#include "run/exit_status.h"
#include "runtime/desktop.h"
#include "runtime/disk.h"
#include "runtime/nearest_word.h"
#include "tool/check_command.h"
#include "tool/compile_command.h"
#include "tool/help_command.h"
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
    "  help       a command's options, or the reference of a record of the documents\n"
    "             (scenario-tool help segnale); --man and --html print the whole reference\n"
    "\n"
    "Run 'scenario-tool help COMMAND' or 'scenario-tool COMMAND --help' for a command's options.\n"
    "Options: --help, --version\n";

// Serves one editor until it sends "exit".
int lsp_command(int argc, char** argv, runtime::disk& d, std::ostream& out, std::ostream& err) {
  if (argc > 2) {
    const bool help = !std::strcmp(argv[2], "--help") || !std::strcmp(argv[2], "-h");
    (help ? out : err)
        << "usage: scenario-tool lsp\n"
           "\n"
           "Serves one editor over the Language Server Protocol (JSON-RPC with\n"
           "Content-Length framing) on standard input and output, until the editor\n"
           "sends \"exit\". Status 0 after \"shutdown\" and \"exit\", 1 otherwise.\n";
    return help ? run::exit_clean : run::exit_usage;
  }
  std::ios::sync_with_stdio(false);
  // An editor that quits closes the pipe: writing to it is then an error
  // that ends the session, not a signal that kills the process.
  lsp::ignore_broken_pipes();
  return lsp::serve_lsp(std::cin, out, d, lsp::standard_input_waiting, &err);
}

using command_function = int (*)(int, char**, runtime::disk&, std::ostream&, std::ostream&);

struct command {
  const char* name;
  command_function run;
};

constexpr command commands[] = {
    {"check", tool::check_command},
    {"compile", tool::compile_command},
    {"documents", tool::documents_command},
    {"inspect", tool::inspect_command},
    {"lsp", lsp_command},
    {"render", tool::render_command},
    {"view", tool::view_command},
};

const command* find_command(std::string_view name) {
  for (const command& c : commands)
    if (name == c.name) return &c;
  return nullptr;
}

int run_command(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << usage;
    return run::exit_usage;
  }
  const std::string_view name = argv[1];
  if (name == "--help" || name == "-h" || (name == "help" && argc == 2)) {
    std::cout << usage;
    return run::exit_clean;
  }
  if (name == "--version") {
    std::cout << version << "\n";
    return run::exit_clean;
  }
  if (name == "help") {
    // "help COMMAND" is the command's own --help.
    if (const command* c = argc == 3 ? find_command(argv[2]) : nullptr) {
      char help_flag[] = "--help";
      char* help_argv[] = {argv[0], argv[2], help_flag, nullptr};
      return c->run(3, help_argv, runtime::real_disk(), std::cout, std::cerr);
    }
    return tool::help_command(argc, argv, std::cout, std::cerr);
  }
  if (const command* c = find_command(name))
    return c->run(argc, argv, runtime::real_disk(), std::cout, std::cerr);

  std::cerr << "scenario-tool: unknown command '" << name << "'";
  std::vector<std::string> names{"help"};
  for (const command& c : commands) names.push_back(c.name);
  if (std::optional<std::string> near = runtime::nearest_word(name, names))
    std::cerr << "; did you mean '" << *near << "'?";
  std::cerr << "\n" << usage;
  return run::exit_usage;
}

}  // namespace

int main(int argc, char** argv) {
  runtime::prepare_standard_streams();
  // The arguments in UTF-8 whatever the system hands over.
  std::vector<std::string> args = runtime::program_arguments(argc, argv);
  std::vector<char*> pointers = {argc > 0 ? argv[0] : const_cast<char*>("scenario-tool")};
  for (std::string& arg : args) pointers.push_back(arg.data());
  pointers.push_back(nullptr);
  const int status = run_command(static_cast<int>(args.size() + 1), pointers.data());
  // Whatever went to standard output must have arrived: a full disk or a
  // closed pipe behind it is a failure, never a clean exit.
  std::cout.flush();
  if (!std::cout || std::fflush(stdout) != 0 || std::ferror(stdout)) {
    std::cerr << "scenario-tool: cannot write standard output: " << std::strerror(errno) << "\n";
    return run::exit_io_failure;
  }
  return status;
}
