// The Windows disk on a real (or Wine's) file system: names Windows would
// take for something else refused by name, folders in any script, files
// created exclusively, a file another program holds open waited for and
// reported, the directory lock.

#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "runtime/disk.h"

namespace runtime {

namespace {

std::wstring wide(const std::string& utf8) {
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

// A fresh folder under the system's temporary folder, named in two scripts.
class WindowsDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    ASSERT_GT(GetTempPathA(MAX_PATH, temp), 0u);
    dir_ = std::string(temp) + "scenario-" + std::to_string(GetCurrentProcessId()) + "-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name() + "-Società-Заметки";
    ASSERT_TRUE(CreateDirectoryW(wide(dir_).c_str(), nullptr));
  }
  void TearDown() override {
    std::vector<std::string> names;
    std::string err;
    if (d_.list_directory(dir_, &names, &err))
      for (const std::string& n : names) DeleteFileW(wide(path(n)).c_str());
    RemoveDirectoryW(wide(dir_).c_str());
  }
  std::string path(const std::string& name) const { return dir_ + "\\" + name; }
  bool put(const std::string& name, const std::string& bytes) {
    int h = -1;
    std::string err;
    return d_.create_file(path(name), &h, &err) && d_.write(h, bytes, &err) && d_.close(h, &err);
  }
  std::string read(const std::string& name) {
    std::string contents, err;
    EXPECT_TRUE(d_.read_file(path(name), &contents, &err)) << err;
    return contents;
  }

  disk& d_ = real_disk();
  std::string dir_;
};

TEST_F(WindowsDisk, NamesWindowsTakesForSomethingElseAreRefusedByName) {
  const std::string long_name(256, 'a');
  struct refused_case {
    std::string name, reason;
  } cases[] = {
      {"CON", "'CON' is a name Windows reserves for a device"},
      {"nul.txt", "'nul.txt' is a name Windows reserves for a device"},
      {"Com1.dat", "'Com1.dat' is a name Windows reserves for a device"},
      {"LPT9", "'LPT9' is a name Windows reserves for a device"},
      {"AUX .txt", "'AUX .txt' is a name Windows reserves for a device"},
      {"CONOUT$", "'CONOUT$' is a name Windows reserves for a device"},
      {"COM\xC2\xB9", "is a name Windows reserves for a device"},
      {"lavoro.", "'lavoro.' ends in a dot or a blank, which Windows drops"},
      {"lavoro ", "'lavoro ' ends in a dot or a blank"},
      {"a<b", "holds a character Windows does not allow"},
      {"a:b", "holds a character Windows does not allow"},
      {"a?b", "holds a character Windows does not allow"},
      {long_name, "is too long for Windows (at most 255 characters)"},
      {std::string(200, 'b') + "\\" + std::string(100, 'c'), "the path is too long for Windows"},
      {"NUL\\linea.txt", "'NUL' is a name Windows reserves for a device"},
  };
  for (const refused_case& c : cases) {
    SCOPED_TRACE(c.name);
    int handle = -1;
    std::string err;
    EXPECT_FALSE(d_.create_file(path(c.name), &handle, &err));
    EXPECT_NE(err.find(c.reason), std::string::npos) << err;
    std::string contents;
    err.clear();
    EXPECT_FALSE(d_.read_file(path(c.name), &contents, &err));
    EXPECT_NE(err.find(c.reason), std::string::npos) << err;
    EXPECT_EQ(d_.stat(path(c.name)), disk::entry::missing);
  }
  // Names that only look like them are ordinary names.
  for (const std::string name : {"CONSOLE.txt", "com10.txt", "nullo", "aux_linea.txt", "Così"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(put(name, "x"));
    EXPECT_EQ(read(name), "x");
  }
}

TEST_F(WindowsDisk, FilesInAFolderOfAnyScriptAreWrittenReadListedAndRenamed) {
  ASSERT_TRUE(put("Заметки.txt", "uno\r\ndue\r\n"));
  EXPECT_EQ(read("Заметки.txt"), "uno\r\ndue\r\n");
  std::string err;
  ASSERT_TRUE(d_.rename_file(path("Заметки.txt"), path("Società.txt"), &err)) << err;
  std::vector<std::string> names;
  ASSERT_TRUE(d_.list_directory(dir_, &names, &err)) << err;
  EXPECT_EQ(names, std::vector<std::string>{"Società.txt"});
  EXPECT_EQ(d_.stat(path("Società.txt")), disk::entry::file);
  EXPECT_EQ(d_.stat(dir_), disk::entry::directory);
  EXPECT_EQ(d_.stat(path("assente")), disk::entry::missing);
  // Both separators are taken.
  EXPECT_EQ(d_.stat(dir_ + "/Società.txt"), disk::entry::file);
  ASSERT_TRUE(d_.link_file(path("Società.txt"), path("secondo.txt"), &err)) << err;
  EXPECT_EQ(read("secondo.txt"), "uno\r\ndue\r\n");
  ASSERT_TRUE(d_.remove_file(path("secondo.txt"), &err)) << err;
  EXPECT_EQ(d_.stat(path("secondo.txt")), disk::entry::missing);
}

TEST_F(WindowsDisk, ANewFileIsCreatedOnlyWhereNothingIs) {
  ASSERT_TRUE(put("vecchio.txt", "old"));
  int handle = -1;
  std::string err;
  EXPECT_FALSE(d_.create_file(path("vecchio.txt"), &handle, &err));
  EXPECT_FALSE(err.empty());
  EXPECT_EQ(read("vecchio.txt"), "old");
  ASSERT_TRUE(CreateDirectoryW(wide(path("cartella")).c_str(), nullptr));
  EXPECT_FALSE(d_.create_file(path("cartella"), &handle, &err));
  std::string contents;
  EXPECT_FALSE(d_.read_file(path("cartella"), &contents, &err));
  EXPECT_EQ(err, "not a regular file (a directory)");
  RemoveDirectoryW(wide(path("cartella")).c_str());
}

TEST_F(WindowsDisk, AWriteAtAnOffsetLeavesTheWritingPositionWhereItWas) {
  int handle = -1;
  std::string err;
  ASSERT_TRUE(d_.create_file(path("f.dat"), &handle, &err)) << err;
  d_.reserve(handle, 1 << 20);
  ASSERT_TRUE(d_.write(handle, "abc", &err));
  ASSERT_TRUE(d_.write_at(handle, 10, "xy", &err));
  ASSERT_TRUE(d_.write(handle, "def", &err));
  ASSERT_TRUE(d_.close(handle, &err));
  EXPECT_EQ(read("f.dat"), std::string("abcdef\0\0\0\0xy", 12));
}

TEST_F(WindowsDisk, AFileAnotherProgramHoldsIsWaitedForThenReportedAndKept) {
  ASSERT_TRUE(put("pacchetto.sim", "old package"));
  ASSERT_TRUE(put("nuovo.sim", "new package"));
  // Held as the simulator may hold it: open, sharing nothing.
  HANDLE held = CreateFileW(wide(path("pacchetto.sim")).c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::string err, contents;
  EXPECT_FALSE(d_.rename_file(path("nuovo.sim"), path("pacchetto.sim"), &err));
  EXPECT_NE(err.find("in use by another program"), std::string::npos) << err;
  err.clear();
  EXPECT_FALSE(d_.read_file(path("pacchetto.sim"), &contents, &err));
  EXPECT_NE(err.find("in use by another program"), std::string::npos) << err;
  err.clear();
  EXPECT_FALSE(d_.remove_file(path("pacchetto.sim"), &err));
  EXPECT_NE(err.find("in use by another program"), std::string::npos) << err;
  CloseHandle(held);
  EXPECT_EQ(read("pacchetto.sim"), "old package");
  EXPECT_EQ(read("nuovo.sim"), "new package");
  ASSERT_TRUE(d_.rename_file(path("nuovo.sim"), path("pacchetto.sim"), &err)) << err;
  EXPECT_EQ(read("pacchetto.sim"), "new package");
}

TEST_F(WindowsDisk, OneRunAtATimeHoldsTheDirectory) {
  std::string err;
  std::unique_ptr<directory_lock> first = d_.lock_directory(dir_, &err, 0);
  ASSERT_TRUE(first) << err;
  EXPECT_EQ(d_.stat(path(lock_file_name)), disk::entry::file);
  EXPECT_FALSE(d_.lock_directory(dir_, &err, 200));
  EXPECT_EQ(err, directory_in_use);
  first.reset();
  // The lock file goes with the last run that held it.
  EXPECT_EQ(d_.stat(path(lock_file_name)), disk::entry::missing);
  std::unique_ptr<directory_lock> again = d_.lock_directory(dir_, &err, 0);
  EXPECT_TRUE(again) << err;
}

TEST_F(WindowsDisk, TheProgramsDirectoryIsTheExecutablesFolder) {
  wchar_t module[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, module, MAX_PATH);
  ASSERT_GT(n, 0u);
  const std::string directory = application_path();
  ASSERT_FALSE(directory.empty());
  EXPECT_EQ(d_.stat(directory), disk::entry::directory);
  EXPECT_EQ(wide(directory), std::wstring(module, n).substr(0, wide(directory).size()));
  EXPECT_EQ(path_separator, '\\');
}

}  // namespace

}  // namespace runtime
