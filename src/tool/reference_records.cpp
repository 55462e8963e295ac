// The format reference's records, read from the compiler's table of records.

#include "compiler/record_table.h"
#include "tool/format_reference.h"

namespace tool {

namespace {

std::string storage_words(compiler::field_storage storage) {
  switch (storage) {
    case compiler::field_storage::i32:
      return "a whole number (32 bits)";
    case compiler::field_storage::i16:
      return "a whole number from -32768 to 32767";
    case compiler::field_storage::u8:
      return "a whole number from 0 to 255";
    case compiler::field_storage::text:
      return "a text, up to the next comma or the end of the line";
  }
  return "";
}

std::string matching_words(const compiler::keyword_test& test) {
  std::string s = "its keyword field contains \"" + std::string(test.word) + "\"";
  if (!test.other_word.empty()) s += " and \"" + std::string(test.other_word) + "\"";
  s += test.with_case ? ", with this case" : ", in any case";
  return s;
}

std::vector<reference_code> codes_of(std::span<const compiler::value_code> codes) {
  std::vector<reference_code> out;
  for (const compiler::value_code& c : codes)
    out.push_back({std::string(c.value), std::string(c.meaning)});
  return out;
}

}  // namespace

std::vector<reference_record> reference_records() {
  std::vector<reference_record> out;
  for (const compiler::record_description& d : compiler::all_records()) {
    reference_record r;
    r.keyword = std::string(d.keyword);
    r.matching = matching_words(d.test);
    r.document = std::string(compiler::document_name_of(d.place));
    r.section = d.place == compiler::record_place::line_header ? "[generale], in the general header"
                                                               : std::string(d.section);
    r.summary = std::string(d.summary);
    r.meaning = std::string(d.meaning);
    for (const compiler::keyword_part& part : d.keyword_parts)
      r.keyword_parts.push_back(
          {std::string(part.name), "", "", "written in the keyword", codes_of(part.codes), ""});
    for (const compiler::record_field& f : d.fields) {
      reference_field field;
      field.name = std::string(f.name);
      field.unit = std::string(f.unit);
      field.range = std::string(f.accepts);
      field.storage = storage_words(f.storage);
      field.meaning = std::string(f.meaning);
      field.codes = codes_of(f.codes);
      r.fields.push_back(std::move(field));
    }
    out.push_back(std::move(r));
  }
  return out;
}

}  // namespace tool
