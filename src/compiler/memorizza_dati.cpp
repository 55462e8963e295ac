#include "compiler/memorizza_dati.h"

#include "compiler/compile_context.h"
#include "compiler/line_reader.h"
#include "compiler/train_reader.h"
#include "model/file_names.h"

bool memorizza_dati(run_state& st, disk& d, io_failure* failure) {
  compile_context ctx(st, d);
  ctx.line_path = line_document_path(st);
  ctx.train_path = train_document_path(st);
  flow f = read_line_document(ctx);
  if (f == flow::next) f = read_train_document(ctx);
  if (f == flow::trap && !ctx.io_failed) {
    // The compile's one fault handler: whatever the run-time fault, both
    // source documents go and the fault is recorded as code 25.
    for (const std::string* path : {&ctx.line_path, &ctx.train_path})
      if (d.stat(*path) == disk::entry::file && !delete_document(ctx, *path)) break;
  }
  if (ctx.io_failed) *failure = ctx.failure;
  return !ctx.io_failed;
}
