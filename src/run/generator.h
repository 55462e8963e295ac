#pragma once
// The generator's whole run: the five documents, the compile and the
// package, in a fixed order, with the exit status that tells how it ended.

#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

#include "model/file_names.h"
#include "runtime/disk.h"

namespace run {

inline constexpr std::string_view built_in_line_name = "Borvasco_Lestrano";
inline constexpr std::string_view built_in_train_number = "40817";

// The built-in scenario's identity.
model::scenario_identity built_in_identity();

// Every file the generator writes into `directory`: the five documents and
// the three files of the package.
std::vector<std::string> generator_file_paths(const model::scenario_identity& id,
                                              const std::string& directory);

// Writes the built-in documents into `directory`, compiles the line
// description and the train document, deletes them and writes the package.
// Says "Attendere" on `out` first; reports on `err`. The directory is locked
// for the run, and a replacement a killed run left is finished first.
int run_generator(runtime::disk& d, const std::string& directory, std::ostream& out,
                  std::ostream& err);

// What a person watching the run is shown once it ended with `status` after
// writing `errors`: the message box's text (a taken slot's " Errore n. 1250"
// or " Errore n. 1251" as it stands, or the line naming the file and the
// reason without the program's name), or empty when the run shows no box.
std::string message_box_text(int status, std::string_view errors);

}  // namespace run
