#pragma once
// The last stage of a run: the checks of the reserved slots, the stamps and
// check codes, and the three binary files of the scenario package.

#include "model/run_state.h"
#include "runtime/disk.h"
#include "runtime/output_file.h"
#include "runtime/replace_files.h"

// Checks that the four reserved slots are still 0 and stamps them. Returns 0,
// or the number of the failed check (1250 or 1251), after which nothing may
// be written.
int check_and_stamp(run_state& st);

// Byte layouts of the records, as the files hold them.
void put_track_cell(output_file& out, const track_cell& c);
void put_scenario_entry(output_file& out, const scenario_entry& e);
void put_line_plan(output_file& out, const line_plan& plan);

// Writes the line plan (only when j is non-zero), the scenario table and the
// track grid. The files are replaced as a set: on failure the earlier package
// stays whole and *failure names the file and the reason.
bool write_package(run_state& st, disk& d, io_failure* failure);
