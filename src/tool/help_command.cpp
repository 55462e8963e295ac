#include "tool/help_command.h"

#include <cstring>
#include <ostream>
#include <string>

#include "compiler/record_table.h"
#include "run/exit_status.h"
#include "runtime/nearest_word.h"
#include "tool/format_reference.h"

namespace tool {

int help_command(int argc, char** argv, std::ostream& out, std::ostream& err) {
  // argv: scenario-tool help TOPIC; the tool's main has answered a bare
  // "help" and "help COMMAND" already.
  if (argc != 3) {
    err << "usage: scenario-tool help [COMMAND | RECORD | --man | --html]\n";
    return run::exit_usage;
  }
  const std::string topic = argv[2];
  if (topic == "--man") {
    write_reference_man(out);
    return run::exit_clean;
  }
  if (topic == "--html") {
    write_reference_html(out);
    return run::exit_clean;
  }
  if (topic == "--topics") {  // for the shell's completion
    for (const reference_record& r : reference_records()) out << r.keyword << "\n";
    return run::exit_clean;
  }
  const std::vector<reference_record> records = records_for_topic(topic);
  if (records.empty()) {
    std::vector<std::string> keywords;
    for (const reference_record& r : reference_records()) keywords.push_back(r.keyword);
    err << "scenario-tool help: no command or record '" << topic << "'";
    if (std::optional<std::string> near = runtime::nearest_word(topic, keywords))
      err << "; did you mean '" << *near << "'?";
    err << "\nRun 'scenario-tool help' for the commands, 'scenario-tool help --man' for every "
           "record.\n";
    return run::exit_usage;
  }
  bool first = true;
  for (const reference_record& r : records) {
    if (!first) out << "\n";
    write_record_help(out, r);
    first = false;
  }
  return run::exit_clean;
}

}  // namespace tool
