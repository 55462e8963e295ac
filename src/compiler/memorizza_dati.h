#pragma once
// The compiler of the two source documents.

#include "model/run_state.h"
#include "runtime/disk.h"
#include "runtime/replace_files.h"

// Reads the line description, then the train document, from the run's
// directory into the track grid, the scenario table and the line plan, and
// deletes both documents. A fault in the documents is left in error_code and
// error_position and ends the compile early; a run-time fault while reading
// either document becomes code 25. Returns false only when the disk failed
// (a document could not be read or deleted), with *failure saying which.
bool memorizza_dati(run_state& st, disk& d, io_failure* failure);
