#pragma once
// The names of a scenario's files. Every name is built from the line name
// and, for the train's files, the train number: "Borvasco_Lestrano_linea.txt",
// "Borvasco_Lestrano_40817.sim".

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace model {

// Which scenario a set of files belongs to.
struct scenario_identity {
  std::string line_name;
  std::string train_number;
};

// True when the identity can name files in a directory: a line name that is
// not empty, and neither part holding a path separator or a control
// character (which would put files elsewhere or into a terminal).
bool names_files_safely(const scenario_identity& id);

// line name + suffix
std::string line_file_name(const scenario_identity& id, std::string_view suffix);
// line name + "_" + train number + suffix
std::string train_file_name(const scenario_identity& id, std::string_view suffix);

// The two source documents and the three forms.
std::string line_description_name(const scenario_identity& id);  // _linea.txt
std::string train_document_name(const scenario_identity& id);    // _<train>-.txt
std::string notes_name(const scenario_identity& id);             // _<train>_note.txt
std::string slowdown_order_name(const scenario_identity& id);    // _<train>_rallentamenti.txt
std::string train_sheet_name(const scenario_identity& id);       // _<train>_scheda_treno.txt

// The three files of the package.
std::string plan_file_name(const scenario_identity& id);   // _linea.dat
std::string table_file_name(const scenario_identity& id);  // _<train>.sim
std::string grid_file_name(const scenario_identity& id);   // _<train>.dat

// A file of `directory`: the directory, the system's separator, the name.
std::string path_in(std::string_view directory, std::string_view name);

// The five documents of `directory`, in the order they are written.
std::vector<std::string> document_paths(const scenario_identity& id, std::string_view directory);
// The three files of the package of `directory`, in the order they are
// written.
std::vector<std::string> package_paths(const scenario_identity& id, std::string_view directory);

// What the names of an author's two documents say of the scenario, where
// they follow the pattern NAME_linea.txt and NAME_NUMBER-.txt (the suffixes
// in any case, in any directory): "Valmora_Castelpino_linea.txt" and
// "Valmora_Castelpino_2101-.txt" give "Valmora_Castelpino" and "2101". The
// train number is what follows the line name in the train document's name,
// or, where that begins otherwise, what follows its last "_". A part that
// neither name gives is left empty.
struct named_parts {
  std::optional<std::string> line_name;
  std::optional<std::string> train_number;
};
named_parts names_from_documents(std::string_view line_path, std::string_view train_path);

// The packages whose table file is among `names` (a directory's): every
// NAME_NUMBER.sim beside a NAME_linea.dat, by name, in name order.
std::vector<scenario_identity> packages_among(const std::vector<std::string>& names);

}  // namespace model
