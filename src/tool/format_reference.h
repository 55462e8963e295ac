#pragma once
// The reference of the two documents' format, for authors: every record with
// its fields, units, ranges and codes, as the compiler's table of records
// gives them. Printed three ways: one record in the terminal ("scenario-tool
// help segnale"), the whole as a manual page (scenario-documents(5)) and as
// one HTML page.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace tool {

struct reference_code {
  std::string value;
  std::string meaning;
};

struct reference_field {
  std::string name;
  std::string unit;   // "m", "km/h", "‰"; empty for a plain number or a text
  std::string range;  // what the field may hold, in words; empty when anything
  std::string meaning;
  std::vector<reference_code> codes;
  std::string storage;  // how it is read: "a whole number from 0 to 255"
};

struct reference_record {
  std::string keyword;   // as the documents write it
  std::string matching;  // how the compile recognises the keyword field
  std::string document;  // "line description" or "train document"
  std::string section;   // the section it is written under, "[segnali]"
  std::string summary;   // a few words
  std::string meaning;   // a paragraph
  std::vector<reference_field> fields;
  // Values written inside the keyword itself (a curve's side and class).
  std::vector<reference_field> keyword_parts;
};

// Every record, line description first, in the order the documents hold
// them.
std::vector<reference_record> reference_records();

// The records a help topic names: those whose keyword equals the topic,
// else those whose keyword contains it (without regard to case).
std::vector<reference_record> records_for_topic(std::string_view topic);

void write_record_help(std::ostream& out, const reference_record& record);
void write_reference_man(std::ostream& out);
void write_reference_html(std::ostream& out);

// The worked example of the reference (a 12 km line and its train), which
// compiles without a message.
std::string_view example_line_description();
std::string_view example_train_document();

}  // namespace tool
