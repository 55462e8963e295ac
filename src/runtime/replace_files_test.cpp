#include "runtime/replace_files.h"

#include <gtest/gtest.h>

#include "runtime/memory_disk.h"
#include "runtime/output_file.h"

namespace {

// Three files of an earlier package, and the new content written under the
// temporary names.
struct package_on_disk : testing::Test {
  memory_disk d;
  std::vector<std::string> paths = {"/p/a.dat", "/p/b.sim", "/p/c.dat"};
  void SetUp() override {
    for (const std::string& p : paths) {
      d.files[p] = "old " + p;
      d.files[temporary_name(p)] = "new " + p;
    }
  }
  void expect_old() {
    for (const std::string& p : paths) EXPECT_EQ(d.files[p], "old " + p);
    EXPECT_EQ(d.files.size(), paths.size()) << "temporary or backup files left behind";
  }
};

TEST_F(package_on_disk, ReplacesTheWholeSet) {
  io_failure failure;
  ASSERT_TRUE(replace_together(d, paths, &failure));
  for (const std::string& p : paths) EXPECT_EQ(d.files[p], "new " + p);
  EXPECT_EQ(d.files.size(), paths.size());
}

TEST_F(package_on_disk, ARenameThatFailsHalfWayPutsTheEarlierFilesBack) {
  d.failures.push_back({"rename", "c.dat", "Input/output error"});
  io_failure failure;
  ASSERT_FALSE(replace_together(d, paths, &failure));
  EXPECT_EQ(failure.path, "/p/c.dat");
  EXPECT_EQ(failure.reason, "Input/output error");
  expect_old();
}

TEST_F(package_on_disk, ADirectoryInTheWayChangesNothing) {
  d.files.erase("/p/b.sim");
  d.directories.insert("/p/b.sim");
  io_failure failure;
  ASSERT_FALSE(replace_together(d, paths, &failure));
  EXPECT_EQ(failure.path, "/p/b.sim");
  EXPECT_EQ(failure.reason, "Is a directory");
  EXPECT_EQ(d.files["/p/a.dat"], "old /p/a.dat");
  EXPECT_EQ(d.files.count(temporary_name("/p/a.dat")), 0u);
}

TEST_F(package_on_disk, NewFilesWhereNoneWereBeforeAreRemovedOnFailure) {
  d.files.erase("/p/a.dat");
  d.failures.push_back({"rename", "b.sim", "Read-only file system"});
  io_failure failure;
  ASSERT_FALSE(replace_together(d, paths, &failure));
  EXPECT_EQ(d.files.count("/p/a.dat"), 0u);
  EXPECT_EQ(d.files["/p/b.sim"], "old /p/b.sim");
}

TEST(OutputFile, WritesLittleEndianValuesAndReportsAFullDisk) {
  memory_disk d;
  output_file out(d, "/f");
  ASSERT_TRUE(out.open());
  out.put_u8(0x03);
  out.put_i16(60);
  out.put_i16(-2);
  out.put_i32(-1);
  out.put_f64(1.0);
  ASSERT_TRUE(out.finish());
  EXPECT_EQ(d.files["/f"], std::string("\x03\x3C\x00\xFE\xFF\xFF\xFF\xFF\xFF"
                                       "\x00\x00\x00\x00\x00\x00\xF0\x3F",
                                       17));

  d.space_left = 5;
  output_file full(d, "/g");
  ASSERT_TRUE(full.open());
  full.put("0123456789");
  EXPECT_FALSE(full.finish());
  EXPECT_EQ(full.error(), "No space left on device");
  EXPECT_EQ(d.open_files(), 0u);
}

}  // namespace
