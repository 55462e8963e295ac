#pragma once
// From compiled documents to a package on disk, and how that ended, for both
// programs: the generator compiles the documents it wrote itself and deletes
// them; the authoring tool compiles the author's and never touches them.

#include <iosfwd>
#include <string>
#include <string_view>

#include "compiler/compile.h"
#include "model/file_names.h"
#include "model/package_writer.h"
#include "runtime/disk.h"
#include "runtime/replace_files.h"

namespace run {

enum class package_outcome {
  written,        // the fault of the compile, if any, is in the compile result
  no_grid,        // the compile stopped before the grid existed: nothing written
  reserved_slot,  // a reserved slot was taken: nothing written
  io_failed,      // the disk failed: the earlier package is untouched
};

struct package_step {
  package_outcome outcome = package_outcome::written;
  model::stamp_outcome stamp = model::stamp_outcome::stamped;  // with reserved_slot
  runtime::io_failure failure;                                 // with io_failed
};

// Stamps the compiled scenario and writes its package into `directory`.
package_step stamp_and_write(compiler::compile_result& compiled, const model::scenario_identity& id,
                             const std::string& directory, bool with_plan, runtime::disk& d);

// The generator's compile: reads the two source documents of `directory`
// (a document that is not there is missing to the compile), compiles them,
// deletes the ones the compile consumed, and stamps and writes the package.
struct directory_build {
  compiler::compile_result compile;
  package_step package;
};
directory_build build_package_in(runtime::disk& d, const model::scenario_identity& id,
                                 const std::string& directory, bool with_plan);
// Its first half: reads, compiles and deletes the documents, leaving the
// package to stamp_and_write. False, with out->package saying why, when a
// document could not be read or deleted: nothing is then to be written.
bool compile_in_directory(runtime::disk& d, const model::scenario_identity& id,
                          const std::string& directory, bool with_plan, directory_build* out);

// The names under which the author knows the two documents; located fault
// messages use them.
struct document_names {
  std::string line_description;
  std::string train_document;
};

// One line for a compile fault, for both programs. Without document names:
// "PROGRAM: error CODE at POS m: MEANING", the code and position first so that
// a script can read them. With them, the editors' form
// "FILE:LINE:COLUMN: error: MEANING at POS m (record "KEYWORD") [code N]"
// (compiler/finding.h), the position only when the fault recorded one of its own.
void report_fault(std::ostream& err, std::string_view program, const compiler::compile_fault& fault,
                  const document_names* names);

// The fault message of a taken reserved slot: " Errore n. " and its number.
void report_reserved_slot(std::ostream& err, model::stamp_outcome stamp);

// Reports how the compile and the package step ended and returns the exit
// status.
int report_package_step(std::ostream& err, std::string_view program,
                        const compiler::compile_result& compiled, const package_step& step,
                        const document_names* names);

}  // namespace run
