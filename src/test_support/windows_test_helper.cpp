// What the Windows tests need another program for:
//
//   hold FILE READY SECONDS    holds FILE open sharing nothing, as the
//                              simulator or an editor may, for SECONDS
//   lock DIR READY SECONDS     holds DIR's lock as another run would
//   box TITLE SECONDS          waits for a message box titled TITLE and
//                              prints its text
//   press TITLE SECONDS        the same, then presses its button
//   errore NUMBER              shows the generator's box for a taken
//                              reserved slot (" Errore n. NUMBER"), which its
//                              built-in documents never cause
//   find TITLE TEXT SECONDS    waits for a window titled TITLE that shows
//                              TEXT; status 0 once found
//
// READY is a file created once the file or lock is held.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "run/exit_status.h"
#include "run/generator.h"
#include "runtime/desktop.h"
#include "runtime/disk.h"

namespace test_support {

namespace {

std::wstring wide(const char* text) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n - 1 : 0), L'\0');
  if (n > 1) MultiByteToWideChar(CP_UTF8, 0, text, -1, out.data(), n);
  return out;
}

std::string narrow(const std::wstring& text) {
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n - 1 : 0), '\0');
  if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), n, nullptr, nullptr);
  return out;
}

void ready(const char* path) {
  HANDLE h = CreateFileW(wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
}

std::wstring window_text(HWND window) {
  wchar_t buffer[1024];
  const int n = GetWindowTextW(window, buffer, 1024);
  return std::wstring(buffer, static_cast<size_t>(n > 0 ? n : 0));
}

struct search {
  std::wstring title, text;
  HWND found = nullptr;
  std::wstring shown;
};

BOOL CALLBACK child_text(HWND child, LPARAM data) {
  search& s = *reinterpret_cast<search*>(data);
  const std::wstring text = window_text(child);
  if (!text.empty() && (s.text.empty() || text == s.text)) {
    s.shown = text;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK top_window(HWND window, LPARAM data) {
  search& s = *reinterpret_cast<search*>(data);
  if (!IsWindowVisible(window) || window_text(window) != s.title) return TRUE;
  s.shown.clear();
  EnumChildWindows(window, child_text, data);
  if (s.shown.empty()) return TRUE;
  s.found = window;
  return FALSE;
}

// Waits up to `seconds` for a visible window titled `title` with a child
// showing `text` (any text when empty).
bool wait_for(search& s, int seconds) {
  for (int waited = 0; waited < seconds * 1000; waited += 50) {
    s.found = nullptr;
    EnumWindows(top_window, reinterpret_cast<LPARAM>(&s));
    if (s.found) return true;
    Sleep(50);
  }
  return false;
}

}  // namespace

}  // namespace test_support

int main(int count, char** given) {
  runtime::prepare_standard_streams();
  // The arguments in UTF-8, as the programs take them.
  std::vector<std::string> args = runtime::program_arguments(count, given);
  std::vector<char*> pointers = {given[0]};
  for (std::string& arg : args) pointers.push_back(arg.data());
  const int argc = static_cast<int>(pointers.size());
  char** argv = pointers.data();
  if (argc == 5 && !std::strcmp(argv[1], "hold")) {
    HANDLE h = CreateFileW(test_support::wide(argv[2]).c_str(), GENERIC_READ, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return 1;
    test_support::ready(argv[3]);
    Sleep(static_cast<DWORD>(std::atoi(argv[4]) * 1000));
    CloseHandle(h);
    return 0;
  }
  if (argc == 5 && !std::strcmp(argv[1], "lock")) {
    std::string err;
    std::unique_ptr<runtime::directory_lock> lock =
        runtime::real_disk().lock_directory(argv[2], &err, 0);
    if (!lock) {
      std::fprintf(stderr, "%s\n", err.c_str());
      return 1;
    }
    test_support::ready(argv[3]);
    Sleep(static_cast<DWORD>(std::atoi(argv[4]) * 1000));
    return 0;
  }
  if (argc == 3 && !std::strcmp(argv[1], "errore")) {
    const std::string line = std::string(" Errore n. ") + argv[2] + "\n";
    runtime::show_message_box("scenario-gen", run::message_box_text(run::exit_reserved_slot, line));
    return 0;
  }
  if (argc == 4 && (!std::strcmp(argv[1], "press") || !std::strcmp(argv[1], "box"))) {
    test_support::search s{test_support::wide(argv[2]), L"", nullptr, L""};
    // The box's own text, not its button's.
    for (int waited = 0; waited < std::atoi(argv[3]) * 1000; waited += 50) {
      HWND box = FindWindowW(L"#32770", s.title.c_str());
      HWND text = box ? GetDlgItem(box, 0xFFFF) : nullptr;
      // The box is found as soon as it exists: its text may come a moment
      // later.
      if (text && IsWindowVisible(box) && !test_support::window_text(text).empty()) {
        std::printf("%s\n", test_support::narrow(test_support::window_text(text)).c_str());
        std::fflush(stdout);
        if (argv[1][0] == 'p') PostMessageW(box, WM_COMMAND, IDOK, 0);
        return 0;
      }
      Sleep(50);
    }
    return 1;
  }
  if (argc == 5 && !std::strcmp(argv[1], "find")) {
    test_support::search s{test_support::wide(argv[2]), test_support::wide(argv[3]), nullptr, L""};
    if (!test_support::wait_for(s, std::atoi(argv[4]))) return 1;
    std::printf("%s\n", test_support::narrow(s.shown).c_str());
    return 0;
  }
  std::fprintf(stderr,
               "usage: windows_test_helper hold FILE READY SECONDS | lock DIR READY SECONDS | "
               "box|press TITLE SECONDS | errore NUMBER | find TITLE TEXT SECONDS\n");
  return 2;
}
