#pragma once
// The last stage of building a package: the checks of the reserved slots, the
// stamps and check codes, and the three files written as one set.

#include <string>
#include <vector>

#include "model/file_names.h"
#include "model/scenario.h"
#include "runtime/disk.h"
#include "runtime/replace_files.h"

namespace model {

// What stamping found in the reserved slots.
enum class stamp_outcome {
  stamped,
  stamp_slot_taken,  // entry 85 w24 or cell 1 w2 was not 0: " Errore n. 1250"
  code_slot_taken,   // entry 85 l40 or cell 1 w4 was not 0: " Errore n. 1251"
};

// The number the run shows for a taken slot (1250 or 1251).
int reserved_slot_error_number(stamp_outcome outcome);

// Checks that the four reserved slots are still 0 and stamps them: the two
// constants, then the two check codes of the names in entries 85 and 86.
// After a taken slot nothing may be written. Needs a grid.
stamp_outcome stamp_reserved_slots(scenario& sc);

// Writes the package of `sc` into `directory`: the line plan (only when
// `with_plan`), the scenario table and the track grid, named after `id`. The
// files are replaced as a set: on failure the earlier package stays whole and
// *failure names the file and the reason.
bool write_package(const scenario& sc, const scenario_identity& id, const std::string& directory,
                   bool with_plan, runtime::disk& d, runtime::io_failure* failure);

// write_package in two halves, for a caller that decides in between whether
// the new package takes its place: the files under their temporary names
// (none is left behind on failure), then replace_together(paths) to put them
// in place or discard_temporaries(paths) to drop them.
std::vector<std::string> package_files(const scenario_identity& id, const std::string& directory,
                                       bool with_plan);
bool write_package_temporaries(const scenario& sc, const scenario_identity& id,
                               const std::string& directory, bool with_plan, runtime::disk& d,
                               runtime::io_failure* failure);

// The plan's file alone under its temporary name (none is left behind on
// failure), for a caller that writes it while the rest of the scenario is
// still being compiled; write_package_temporaries without the plan then
// writes the other two.
bool write_plan_temporary(const line_plan& plan, const scenario_identity& id,
                          const std::string& directory, runtime::disk& d,
                          runtime::io_failure* failure);

}  // namespace model
