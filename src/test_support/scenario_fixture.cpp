#include "test_support/scenario_fixture.h"
#include "model/file_names.h"

namespace test_support {

model::scenario_identity test_identity() {
  return {"Borvasco_Lestrano", "40817"};
}

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

int32_t built_package::code() const {
  return build.compile.fault ? compiler::fault_number(build.compile.fault->code) : 0;
}

int32_t built_package::position() const {
  return build.compile.fault ? build.compile.fault->position : 0;
}

std::string built_package::file(std::string_view name) const {
  auto it = disk.files.find(model::path_in(test_directory, name));
  return it == disk.files.end() ? std::string() : it->second;
}

std::unique_ptr<built_package> build_package_on(std::unique_ptr<built_package> prepared,
                                                bool with_plan) {
  prepared->build =
      run::build_package_in(prepared->disk, test_identity(), test_directory, with_plan);
  return prepared;
}

std::unique_ptr<built_package> build_package_from(const std::string& line, const std::string& train,
                                                  bool with_plan) {
  auto c = std::make_unique<built_package>();
  c->disk.files[test_line_path] = line;
  c->disk.files[test_train_path] = train;
  return build_package_on(std::move(c), with_plan);
}

}  // namespace test_support
