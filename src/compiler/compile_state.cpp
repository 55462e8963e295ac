#include "compiler/compile_state.h"

#include "runtime/windows1252.h"

void record_fault(compile_state& cs, fault_code code) {
  compile_fault f;
  f.code = code;
  f.position = cs.fault_position;
  f.document = cs.document;
  f.line = cs.record_line;
  f.column = cs.record_column;
  f.keyword = cs.record_keyword;
  cs.fault = std::move(f);
}

void record_fault_at(compile_state& cs, fault_code code, int32_t position) {
  cs.fault_position = position;
  record_fault(cs, code);
  cs.fault->has_position = true;
}

step reject(compile_state& cs, fault_code code) {
  record_fault(cs, code);
  return step::stop;
}

step reject_at(compile_state& cs, fault_code code, int32_t position) {
  record_fault_at(cs, code, position);
  return step::stop;
}

step runtime_fault(compile_state& cs, const std::string& detail) {
  record_fault(cs, fault_code::runtime_fault);
  cs.fault->detail = detail;
  return step::runtime_fault;
}

step reader_fault(compile_state& cs) {
  return runtime_fault(cs, cs.reader->fault());
}

step after_laying(compile_state& cs, std::optional<fault_code> own, int32_t position) {
  if (!own && cs.fault) own = cs.fault->code;
  if (!own) return step::next;
  return reject_at(cs, *own, position);
}

bool inside_grid(const compile_state& cs, int32_t p, int32_t margin) {
  return (static_cast<double>(p) + margin) / 50.0 <= cs.sc.last_cell();
}

step range_check(compile_state& cs, int32_t p, int32_t margin) {
  if (inside_grid(cs, p, margin)) return step::next;
  record_fault_at(cs, fault_code::beyond_grid, p);
  return step::end_document;
}

bool read_keyword_field(compile_state& cs) {
  if (!cs.reader->read_text(&cs.field)) return false;
  cs.record_line = cs.reader->field_line();
  cs.record_column = cs.reader->field_column();
  // The keyword is kept for messages only: a field of megabytes is not
  // copied whole.
  cs.record_keyword.assign(cs.field, 0, longest_kept_keyword);
  return true;
}

step next_record_field(compile_state& cs) {
  field_reader& reader = *cs.reader;
  if (reader.at_end()) return step::end_document;
  if (!read_keyword_field(cs)) return reader_fault(cs);
  if (reader.at_end()) return step::end_document;
  for (int i = 0; i < 2 && contains(cs.field, "-"); ++i) {
    if (!read_keyword_field(cs)) return reader_fault(cs);
    if (reader.at_end()) return step::end_document;
  }
  return step::next;
}
