#pragma once
// The writer of the built-in documents: each is laid down in `directory`,
// named after the scenario's identity, replacing what was there.

#include <string>

#include "model/file_names.h"
#include "runtime/disk.h"
#include "runtime/replace_files.h"

namespace documents {

// The five documents in order (the line description, the train document,
// the notes, the slowdown order, the train sheet); stops at the first that
// fails.
bool write_builtin_documents(runtime::disk& d, const std::string& directory,
                             const model::scenario_identity& id, runtime::io_failure* failure);

}  // namespace documents
