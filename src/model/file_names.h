#pragma once
// The names of the run's files, all in the run's directory.

#include <string>
#include <string_view>

#include "model/run_state.h"

// directory, separator, line name, suffix: "<dir>/Borvasco_Lestrano_linea.txt".
std::string line_file(const run_state& st, std::string_view suffix);
// directory, separator, line name, "_", train number, suffix.
std::string train_file(const run_state& st, std::string_view suffix);

std::string line_document_path(const run_state& st);   // ..._linea.txt
std::string train_document_path(const run_state& st);  // ..._<train>-.txt
std::string plan_file_path(const run_state& st);       // ..._linea.dat
std::string table_file_path(const run_state& st);      // ..._<train>.sim
std::string grid_file_path(const run_state& st);       // ..._<train>.dat
