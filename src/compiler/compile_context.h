#pragma once
// What the compiler's procedures share while the two source documents are
// read: the run state, the disk, the open document and how a step ended.

#include <cstdint>
#include <string>

#include "model/run_state.h"
#include "runtime/disk.h"
#include "runtime/field_reader.h"
#include "runtime/replace_files.h"

// How a record step ends.
enum class flow {
  next,         // go on with the next record
  end_reading,  // stop reading this document; its completion steps still run
  leave,        // leave the compile at once (the document is already deleted)
  trap,         // a run-time fault: the compile's fault handler takes over
};

inline constexpr int no_document = 0;
inline constexpr int in_line_document = 1;
inline constexpr int in_train_document = 2;

struct compile_context {
  compile_context(run_state& state, disk& the_disk) : st(state), d(the_disk) {}

  run_state& st;
  disk& d;
  std::string line_path;
  std::string train_path;

  int document = no_document;  // the document being read
  field_reader* reader = nullptr;
  int record_line = 0;  // line of the keyword field of the record being read
  std::string record_keyword;

  bool io_failed = false;
  io_failure failure;
};

// Records a compile fault, and where in the documents it was found.
void set_error(compile_context& ctx, int32_t code);
void set_error_at(compile_context& ctx, int32_t code, int32_t position);

// Deletes a source document; false (with the failure noted) when the disk
// refuses.
bool delete_document(compile_context& ctx, const std::string& path);
// Deletes the document being read, records the fault and leaves the compile.
flow reject_document(compile_context& ctx, int32_t code);
flow reject_document_at(compile_context& ctx, int32_t code, int32_t position);

// A run-time fault: what the reader or a conversion said is kept for the
// authoring tool.
flow raise_trap(compile_context& ctx, const std::string& detail);
// The reader's own fault.
flow reader_trap(compile_context& ctx);

// A positioned record at metre p lies inside the grid when
// (p + margin) / 50 is not beyond the last cell (margin 100, stations 800).
bool inside_grid(const run_state& st, int32_t p, int32_t margin);
// The range check of a record: on failure error 15 at p and the end of the
// document's reading.
flow range_check(compile_context& ctx, int32_t p, int32_t margin = 100);

// Reads the next field in keyword position into current_field and notes
// where the record stands.
bool read_keyword_field(compile_context& ctx);

// The next record's keyword field, for the record loops: up to two fields in
// a row that contain a dash are passed over. flow::end_reading when the
// document ends first (the field that ends it is never examined),
// flow::trap on a run-time fault, else flow::next.
flow next_record_field(compile_context& ctx);
