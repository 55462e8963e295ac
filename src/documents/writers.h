#pragma once
// The five writers of the built-in documents: each lays one document down in
// `directory`, named after the scenario's identity, replacing what was there.

#include <string>

#include "model/file_names.h"
#include "runtime/disk.h"
#include "runtime/replace_files.h"

namespace documents {

bool write_line_description(runtime::disk& d, const std::string& directory,
                            const model::scenario_identity& id, runtime::io_failure* failure);
bool write_train_document(runtime::disk& d, const std::string& directory,
                          const model::scenario_identity& id, runtime::io_failure* failure);
bool write_notes(runtime::disk& d, const std::string& directory, const model::scenario_identity& id,
                 runtime::io_failure* failure);
bool write_slowdown_order(runtime::disk& d, const std::string& directory,
                          const model::scenario_identity& id, runtime::io_failure* failure);
bool write_train_sheet(runtime::disk& d, const std::string& directory,
                       const model::scenario_identity& id, runtime::io_failure* failure);

// All five, in that order; stops at the first that fails.
bool write_builtin_documents(runtime::disk& d, const std::string& directory,
                             const model::scenario_identity& id, runtime::io_failure* failure);

}  // namespace documents
