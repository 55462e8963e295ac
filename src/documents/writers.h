#pragma once
// The five writers of the built-in documents: each lays one document down in
// `directory`, named after the scenario's identity, replacing what was there.

#include <string>

#include "model/file_names.h"
#include "runtime/disk.h"
#include "runtime/replace_files.h"

bool write_line_description(disk& d, const std::string& directory, const scenario_identity& id,
                            io_failure* failure);
bool write_train_document(disk& d, const std::string& directory, const scenario_identity& id,
                          io_failure* failure);
bool write_notes(disk& d, const std::string& directory, const scenario_identity& id,
                 io_failure* failure);
bool write_slowdown_order(disk& d, const std::string& directory, const scenario_identity& id,
                          io_failure* failure);
bool write_train_sheet(disk& d, const std::string& directory, const scenario_identity& id,
                       io_failure* failure);

// All five, in that order; stops at the first that fails.
bool write_builtin_documents(disk& d, const std::string& directory, const scenario_identity& id,
                             io_failure* failure);
