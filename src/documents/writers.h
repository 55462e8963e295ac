#pragma once
// The five writers of the run: each lays one built-in document down in the
// run's directory, replacing what was there.

#include "model/run_state.h"
#include "runtime/disk.h"
#include "runtime/replace_files.h"

bool dati_linea(const run_state& st, disk& d, io_failure* failure);
bool dati_treno(const run_state& st, disk& d, io_failure* failure);
bool dati_note(const run_state& st, disk& d, io_failure* failure);
bool dati_rallentamenti(const run_state& st, disk& d, io_failure* failure);
bool dati_scheda(const run_state& st, disk& d, io_failure* failure);
