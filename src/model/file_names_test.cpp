// The scenario an author's document names give, and the packages a
// directory holds.

#include <gtest/gtest.h>

#include "model/file_names.h"

namespace model {

namespace {

TEST(FileNames, TheDocumentsNamesGiveTheLineAndTheTrain) {
  struct {
    const char* line;
    const char* train;
    std::optional<std::string> line_name, train_number;
  } cases[] = {
      {"Valmora_Castelpino_linea.txt", "Valmora_Castelpino_2101-.txt", "Valmora_Castelpino",
       "2101"},
      {"routes/Foo_linea.txt", "routes/Foo_123-.txt", "Foo", "123"},
      {"C:\\Routes\\Foo_LINEA.TXT", "Foo_7-.TXT", "Foo", "7"},
      // A train document of another line still gives its number.
      {"Foo_linea.txt", "Bar_Baz_9-.txt", "Foo", "9"},
      // Without a line name from the line description, the train
      // document's gives both.
      {"line.txt", "Bar_Baz_9-.txt", "Bar_Baz", "9"},
      {"line.txt", "train.txt", std::nullopt, std::nullopt},
      {"_linea.txt", "-.txt", std::nullopt, std::nullopt},
      {"Foo_linea.txt", "Foo_-.txt", "Foo", ""},
  };
  for (const auto& c : cases) {
    const named_parts parts = names_from_documents(c.line, c.train);
    EXPECT_EQ(parts.line_name, c.line_name) << c.line << " " << c.train;
    EXPECT_EQ(parts.train_number, c.train_number) << c.line << " " << c.train;
  }
}

TEST(FileNames, ATableFileBesideItsPlanIsAPackage) {
  const std::vector<scenario_identity> found = packages_among(
      {"Borvasco_Lestrano_linea.dat", "Borvasco_Lestrano_40817.sim", "Borvasco_Lestrano_40817.dat",
       "Borvasco_linea.dat", "Orphan_1.sim", "Borvasco_Lestrano_9.sim", "notes.txt"});
  ASSERT_EQ(found.size(), 2u);
  // The longest line name wins: "Borvasco" is a line too.
  EXPECT_EQ(found[0].line_name, "Borvasco_Lestrano");
  EXPECT_EQ(found[0].train_number, "40817");
  EXPECT_EQ(found[1].line_name, "Borvasco_Lestrano");
  EXPECT_EQ(found[1].train_number, "9");
  EXPECT_TRUE(packages_among({"a.sim", "x_linea.dat"}).empty());
}

}  // namespace

}  // namespace model
