// The format reference's records, read from the compiler's table of records.

#include "compiler/record_forms.h"
#include "tool/format_reference.h"

std::vector<reference_record> reference_records() {
  std::vector<reference_record> out;
  for (const record_form& f : all_record_forms()) {
    reference_record r;
    r.keyword = std::string(f.keyword);
    r.matching = "its keyword field contains \"" + r.keyword + "\"";
    r.document = f.place == record_place::train_records ? "train document" : "line description";
    r.section = f.place == record_place::line_header ? "[generale]" : "";
    r.summary = std::string(f.what);
    r.meaning = std::string(f.what);
    for (size_t i = 0; i < f.fields.size(); ++i)
      r.fields.push_back({"field " + std::to_string(i + 1), "", "", "", {}});
    out.push_back(std::move(r));
  }
  return out;
}
