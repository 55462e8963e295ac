#include "compiler/compile_context.h"

#include "runtime/windows1252.h"

void set_error(compile_context& ctx, int32_t code) {
  ctx.st.error_code = code;
  ctx.st.fault.document = ctx.document;
  ctx.st.fault.line = ctx.record_line;
  ctx.st.fault.keyword = ctx.record_keyword;
  ctx.st.fault.detail.clear();
}

void set_error_at(compile_context& ctx, int32_t code, int32_t position) {
  set_error(ctx, code);
  ctx.st.error_position = position;
}

bool delete_document(compile_context& ctx, const std::string& path) {
  std::string err;
  if (ctx.d.remove_file(path, &err)) return true;
  ctx.io_failed = true;
  ctx.failure = {path, err, "delete"};
  return false;
}

flow reject_document(compile_context& ctx, int32_t code) {
  set_error(ctx, code);
  delete_document(ctx, ctx.document == in_line_document ? ctx.line_path : ctx.train_path);
  return flow::leave;
}

flow reject_document_at(compile_context& ctx, int32_t code, int32_t position) {
  ctx.st.error_position = position;
  return reject_document(ctx, code);
}

flow raise_trap(compile_context& ctx, const std::string& detail) {
  set_error(ctx, 25);
  ctx.st.fault.detail = detail;
  return flow::trap;
}

flow reader_trap(compile_context& ctx) {
  return raise_trap(ctx, ctx.reader->fault());
}

bool inside_grid(const run_state& st, int32_t p, int32_t margin) {
  return (static_cast<double>(p) + margin) / 50.0 <= st.grid_last_index;
}

flow range_check(compile_context& ctx, int32_t p, int32_t margin) {
  if (inside_grid(ctx.st, p, margin)) return flow::next;
  set_error_at(ctx, 15, p);
  return flow::end_reading;
}

bool read_keyword_field(compile_context& ctx) {
  if (!ctx.reader->read_text(&ctx.st.current_field)) return false;
  ctx.record_line = ctx.reader->field_line();
  ctx.record_keyword = ctx.st.current_field;
  return true;
}

flow next_record_field(compile_context& ctx) {
  field_reader& reader = *ctx.reader;
  if (reader.at_end()) return flow::end_reading;
  if (!read_keyword_field(ctx)) return reader_trap(ctx);
  if (reader.at_end()) return flow::end_reading;
  for (int i = 0; i < 2 && contains(ctx.st.current_field, "-"); ++i) {
    if (!read_keyword_field(ctx)) return reader_trap(ctx);
    if (reader.at_end()) return flow::end_reading;
  }
  return flow::next;
}
