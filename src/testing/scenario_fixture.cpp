#include "testing/scenario_fixture.h"

#include "model/file_names.h"

std::string line_description(int route_length, std::string_view records) {
  std::string text =
      "[generale]\n"
      "lunghezza percorso,    " +
      std::to_string(route_length) +
      "\n"
      "progressiva chilometrica uno,    0,    0,    0\n"
      "progressiva chilometrica due,    0,    0,    0\n"
      "progressiva chilometrica tre,    0,    0,    0\n"
      "sfondo uno,    0\n"
      "sfondo due,    0\n"
      "sfondo tre,    0\n"
      "ripetizione segnali 4 codici,    0,    0\n"
      "[curve]\n";
  text += records;
  text += "[fine]\n";
  return text;
}

std::string train_document(std::string_view records) {
  std::string text =
      "[generale]\n"
      "numero vetture,    4\n"
      "percentuale massa frenata,    120\n"
      "sabbia,    1\n"
      "orologio,    9               30            0 \n";
  text += records;
  text += "[fine]\n";
  return text;
}

std::string compiled_scenario::file(std::string_view name) const {
  auto it = disk.files.find(std::string(test_directory) + "/" + std::string(name));
  return it == disk.files.end() ? std::string() : it->second;
}

std::unique_ptr<compiled_scenario> compile_documents(const std::string& line,
                                                     const std::string& train, int j) {
  auto c = std::make_unique<compiled_scenario>();
  c->st.line_name = "Borvasco_Lestrano";
  c->st.train_number = "40817";
  c->st.directory = test_directory;
  c->disk.files[line_document_path(c->st)] = line;
  c->disk.files[train_document_path(c->st)] = train;
  c->result = memorizza_percorso(c->st, c->disk, j);
  return c;
}
