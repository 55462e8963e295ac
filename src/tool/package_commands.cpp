#include "tool/package_commands.h"

#include <memory>
#include <ostream>
#include <set>
#include <string>

#include "compiler/compile.h"
#include "model/package_reader.h"
#include "run/directory_guard.h"
#include "run/exit_status.h"
#include "run/generator.h"
#include "runtime/output_file.h"
#include "runtime/replace_files.h"
#include "runtime/windows1252.h"
#include "tool/arguments.h"
#include "tool/author_documents.h"
#include "tool/html_view.h"
#include "tool/inspect_report.h"
#include "tool/package_differences.h"
#include "tool/svg_drawing.h"

namespace tool {

namespace {

constexpr const char* inspect_usage =
    "usage: scenario-tool inspect DIR [--json] [--line-name NAME] [--train-number NUMBER]\n"
    "\n"
    "Reads the scenario package in DIR (NAME_linea.dat, NAME_NUMBER.sim and\n"
    "NAME_NUMBER.dat) and prints what it holds: the header values, stamps and\n"
    "check codes, the kilometric ranges, the stations, the board texts, every\n"
    "cell with an object or a mark, the stretch bytes as runs and the plan's\n"
    "extent, length and turning. When DIR holds one package, NAME and NUMBER\n"
    "are found; give them where it holds several.\n"
    "\n"
    "  --json   print the same as one JSON document (texts in UTF-8)\n"
    "\n"
    "Exit status: 0 done, 2 usage error, 5 a file cannot be read, 6 the package\n"
    "is damaged (the message names the file and the byte).\n";

constexpr const char* render_usage =
    "usage: scenario-tool render DIR -o FILE.svg [--line-name NAME] [--train-number NUMBER]\n"
    "\n"
    "Reads the scenario package in DIR and draws it as one self-contained SVG\n"
    "file: the plan of the line with its stations and signals, the gradient and\n"
    "speed-limit profiles, and the objects along the route on a kilometre axis.\n"
    "An existing FILE is replaced whole, never left half-written. When DIR\n"
    "holds one package, NAME and NUMBER are found; give them where it holds\n"
    "several.\n"
    "\n"
    "  -o, --output FILE   the SVG file to write; - for standard output\n"
    "\n"
    "Exit status: 0 done, 2 usage error, 5 a file cannot be read or written,\n"
    "6 the package is damaged (the message names the file and the byte).\n";

constexpr const char* view_usage =
    "usage: scenario-tool view DIR -o FILE.html [--line FILE --train FILE]\n"
    "                          [--line-name NAME] [--train-number NUMBER]\n"
    "\n"
    "Reads the scenario package in DIR and writes one self-contained HTML page\n"
    "(it loads nothing, and opens from disk) with the drawing of render, that\n"
    "zooms and pans along the route: the mouse wheel zooms, dragging pans, the\n"
    "keys + - arrows Home End and 0 do the same, and \"fit\" shows the whole line.\n"
    "Hovering over an object shows what the package holds of it; the search box\n"
    "finds a station or a kilometre of the line (86+550); the table of stations\n"
    "beside the drawing jumps to each. An existing FILE is replaced whole. When\n"
    "DIR holds one package, NAME and NUMBER are found; give them where it holds\n"
    "several.\n"
    "\n"
    "  -o, --output FILE   the HTML file to write; - for standard output\n"
    "  --line FILE         the line description the package was compiled from\n"
    "  --train FILE        the train document; with --line, every object shows\n"
    "                      the document and line of the record that laid it\n"
    "\n"
    "Exit status: 0 done, 2 usage error, 5 a file cannot be read or written,\n"
    "6 the package is damaged (the message names the file and the byte).\n";

// Parses the arguments common to both commands. Returns the exit status when
// the command ends here (help or a usage error, with its message written),
// else -1.
int parse(int argc, char** argv, const char* command, const char* usage,
          std::set<std::string> with_value, std::set<std::string> flags, std::ostream& out,
          std::ostream& err, arguments* args) {
  with_value.insert({"--line-name", "--train-number"});
  flags.insert({"--help", "-h"});
  std::string error;
  if (!parse_arguments(argc, argv, 2, with_value, flags, args, &error)) {
    err << "scenario-tool " << command << ": " << error << "\n" << usage;
    return run::exit_usage;
  }
  if (args->has("--help") || args->has("-h")) {
    out << usage;
    return run::exit_clean;
  }
  if (args->positional.size() != 1) {
    err << "scenario-tool " << command << ": "
        << (args->positional.empty() ? "no package directory given" : "more than one directory")
        << "\n"
        << usage;
    return run::exit_usage;
  }
  const std::string line = args->option("--line-name", "x");
  const std::string train = args->option("--train-number", "");
  if (!model::names_files_safely({line, train})) {
    err << "scenario-tool " << command << ": the line name and train number must be file names\n";
    return run::exit_usage;
  }
  return -1;
}

// The package of the directory the arguments name: the one the options
// name in full; else the one package the directory holds (of the line and
// train the options give, when they give one). Returns the exit status on
// failure (with the message written), else -1.
int find_package(runtime::disk& d, const arguments& args, std::ostream& err,
                 model::scenario_identity* id) {
  const std::string& directory = args.positional[0];
  const bool named_line = args.options.count("--line-name") > 0;
  const bool named_train = args.options.count("--train-number") > 0;
  if (named_line && named_train) {
    *id = {args.option("--line-name"), args.option("--train-number")};
    return -1;
  }
  std::vector<std::string> names;
  std::string reason;
  if (!d.list_directory(directory, &names, &reason)) {
    err << "scenario-tool: " << directory << ": " << reason << "\n";
    return run::exit_io_failure;
  }
  std::vector<model::scenario_identity> found;
  for (const model::scenario_identity& p : model::packages_among(names))
    if ((!named_line || p.line_name == args.option("--line-name")) &&
        (!named_train || p.train_number == args.option("--train-number")))
      found.push_back(p);
  if (found.size() == 1) {
    *id = found[0];
    return -1;
  }
  if (found.empty()) {
    err << "scenario-tool: " << directory << " holds no scenario package"
        << (named_line || named_train ? " of that line and train" : "")
        << " (no NAME_NUMBER.sim beside a NAME_linea.dat); compile one with 'scenario-tool "
           "compile --out "
        << directory << "'\n";
    return run::exit_io_failure;
  }
  err << "scenario-tool: " << directory << " holds " << found.size() << " packages (";
  for (size_t i = 0; i < found.size(); ++i)
    err << (i ? ", " : "") << found[i].line_name << " " << found[i].train_number;
  err << "); name one with --line-name and --train-number\n";
  return run::exit_usage;
}

// Reads the package the arguments name. Returns the exit status on failure
// (with the message written), else -1.
int load(runtime::disk& d, const arguments& args, std::ostream& err, model::package* p,
         model::plan_reading how = model::plan_reading::rows) {
  model::scenario_identity id;
  if (const int status = find_package(d, args, err, &id); status >= 0) return status;
  model::package_error failure;
  const std::string& directory = args.positional[0];
  // A package whose replacement a killed run interrupted may be a mix of old
  // and new files: it is not decoded.
  std::string interrupted;
  if (runtime::find_interrupted_replacement(d, directory, model::package_paths(id, directory),
                                            &interrupted)) {
    err << "scenario-tool: " << interrupted << "\n";
    return run::exit_io_failure;
  }
  if (model::read_package(d, directory, id, p, &failure, how)) return -1;
  err << "scenario-tool: " << failure.message << "\n";
  return failure.problem == model::package_problem::damaged ? run::exit_package_damaged
                                                            : run::exit_io_failure;
}

}  // namespace

int inspect_command(int argc, char** argv, runtime::disk& d, std::ostream& out, std::ostream& err) {
  arguments args;
  model::package p;
  int status = parse(argc, argv, "inspect", inspect_usage, {}, {"--json"}, out, err, &args);
  if (status < 0) status = load(d, args, err, &p);
  if (status >= 0) return status;
  if (args.has("--json"))
    out << inspection_json(p);
  else
    write_inspection_text(out, p);
  return run::exit_clean;
}

namespace {

// The file the -o or --output option names; "" (with the message written)
// when neither or both are given.
std::string output_path(const arguments& args, const char* command, const char* usage,
                        const char* what, std::ostream& err) {
  if (args.options.count("-o") && args.options.count("--output")) {
    err << "scenario-tool " << command << ": -o and --output name the same file; give one\n"
        << usage;
    return "";
  }
  const std::string path = args.option("-o", args.option("--output"));
  if (path.empty())
    err << "scenario-tool " << command << ": no output file given (-o " << what << ")\n" << usage;
  return path;
}

// Writes `text` to `path` whole under a temporary name, then puts it in place
// of the old file, with the directory locked; "-" is standard output.
// Returns the exit status.
int write_replacing(runtime::disk& d, const std::string& path, const std::string& text,
                    std::ostream& out, std::ostream& err) {
  if (path == "-") {
    out << text;
    return run::exit_clean;
  }
  const std::unique_ptr<runtime::directory_lock> lock =
      run::take_directory(d, run::directory_of(path), {path}, "scenario-tool", err);
  if (!lock) return run::exit_io_failure;
  runtime::output_file file(d, runtime::temporary_name(path));
  if (file.open()) file.put(text);
  if (!file.finish()) {
    runtime::discard_temporaries(d, {path});
    err << "scenario-tool: " << runtime::describe(runtime::io_failure{path, file.error(), "write"})
        << "\n";
    return run::exit_io_failure;
  }
  runtime::io_failure failure;
  if (!runtime::replace_together(d, {path}, &failure)) {
    err << "scenario-tool: " << runtime::describe(failure) << "\n";
    return run::exit_io_failure;
  }
  return run::exit_clean;
}

}  // namespace

int render_command(int argc, char** argv, runtime::disk& d, std::ostream& out, std::ostream& err) {
  arguments args;
  int status = parse(argc, argv, "render", render_usage, {"-o", "--output"}, {}, out, err, &args);
  if (status >= 0) return status;
  const std::string path = output_path(args, "render", render_usage, "FILE.svg", err);
  if (path.empty()) return run::exit_usage;
  model::package p;
  status = load(d, args, err, &p, model::plan_reading::trace);
  if (status >= 0) return status;
  return write_replacing(d, path, draw_package(p), out, err);
}

int view_command(int argc, char** argv, runtime::disk& d, std::ostream& out, std::ostream& err) {
  arguments args;
  int status = parse(argc, argv, "view", view_usage, {"-o", "--output", "--line", "--train"}, {},
                     out, err, &args);
  if (status >= 0) return status;
  const std::string path = output_path(args, "view", view_usage, "FILE.html", err);
  if (path.empty()) return run::exit_usage;
  const bool with_documents = args.options.count("--line") || args.options.count("--train");
  if (with_documents && !(args.options.count("--line") && args.options.count("--train"))) {
    err << "scenario-tool view: --line and --train go together\n" << view_usage;
    return run::exit_usage;
  }
  model::package p;
  status = load(d, args, err, &p, model::plan_reading::trace);
  if (status >= 0) return status;

  view_sources sources;
  compiler::compile_origins origins;
  if (with_documents) {
    sources.line_description = args.option("--line");
    sources.train_document = args.option("--train");
    author_documents docs;
    if (!read_author_documents(d, {sources.line_description, sources.train_document}, &docs, err))
      return run::exit_io_failure;
    const std::string& line = docs.line_description;
    const std::string& train = docs.train_document;
    compiler::compile_input input;
    input.line_description = line;
    input.train_document = train;
    const std::string line_name = runtime::windows1252_to_utf8(p.table[model::entry_line].text);
    const std::string train_number = runtime::windows1252_to_utf8(p.table[model::entry_train].text);
    input.line_name = line_name;
    input.train_number = train_number;
    input.origins = &origins;
    const compiler::compile_result compiled = compiler::compile_documents(input);
    sources.differences = package_differences(compiled.compiled, p);
    if (sources.differences.empty()) {
      sources.origins = &origins;
    } else {
      err << "scenario-tool view: warning: the documents do not compile into this package; "
             "the page shows no records; they differ in:\n";
      for (const std::string& difference : sources.differences) err << "  " << difference << "\n";
    }
  }
  return write_replacing(d, path, view_page(p, sources), out, err);
}

}  // namespace tool
