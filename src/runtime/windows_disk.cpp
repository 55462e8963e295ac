// The file system of Windows, where the executable lives, the console, and
// the waiting window and message box the generator shows.
//
// Paths are UTF-8 inside the programs and UTF-16 towards the system. A name
// the system would take for something else is refused by name before any
// call: a device name (CON, NUL, COM1...), a name Win32 would cut (a
// trailing dot or blank), a character no file name may hold, or a path
// longer than the MAX_PATH the simulator and most Windows programs can open.
// A file held open by another program (the simulator, an editor) is waited
// for briefly, then reported as in use; nothing of the old files is lost.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "runtime/desktop.h"
#include "runtime/disk.h"
#include "runtime/memory_pages.h"

namespace runtime {

const char path_separator = '\\';
const char path_separators[] = "\\/";

namespace {

// How long a file held open by another program is waited for.
constexpr DWORD in_use_wait_ms = 1000;
constexpr DWORD pause_ms = 50;

constexpr const char* in_use_reason =
    "in use by another program (it holds the file open): close it there and run again";

std::wstring wide(std::string_view utf8) {
  if (utf8.empty()) return std::wstring();
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

std::string narrow(std::wstring_view text) {
  if (text.empty()) return std::string();
  const int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

bool valid_utf8(std::string_view text) {
  return text.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                             static_cast<int>(text.size()), nullptr, 0) > 0;
}

// The system's own words for an error code, without the closing period.
std::string system_reason(DWORD code) {
  wchar_t* buffer = nullptr;
  const DWORD n = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text = n > 0 && buffer ? std::wstring(buffer, n) : std::wstring();
  if (buffer) LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ' ||
                           text.back() == L'.'))
    text.pop_back();
  if (text.empty()) return "system error " + std::to_string(code);
  return narrow(text);
}

bool fail(std::string* err, DWORD code) {
  *err = code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ? in_use_reason
                                                                         : system_reason(code);
  return false;
}

bool fail(std::string* err) {
  return fail(err, GetLastError());
}

bool fail(std::string* err, std::string reason) {
  *err = std::move(reason);
  return false;
}

bool ascii_equal(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (x != b[i]) return false;
  }
  return true;
}

// The names Win32 takes for a device in any folder, with any extension.
bool device_name(std::string_view name) {
  std::string_view base = name.substr(0, name.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  for (const char* device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"})
    if (ascii_equal(base, device)) return true;
  if (base.size() >= 4 &&
      (ascii_equal(base.substr(0, 3), "COM") || ascii_equal(base.substr(0, 3), "LPT"))) {
    const std::string_view number = base.substr(3);
    // COM0 to COM9, and the superscripts one, two and three in UTF-8.
    if (number.size() == 1 && number[0] >= '0' && number[0] <= '9') return true;
    if (number == "\xC2\xB9" || number == "\xC2\xB2" || number == "\xC2\xB3") return true;
  }
  return false;
}

// Why Windows cannot take `path` as the name of a file of its own, or empty
// when it can.
std::string refusal(std::string_view path) {
  if (path.empty()) return "an empty path";
  if (!valid_utf8(path)) return "the path is not valid UTF-8";
  if (path.size() >= 4 && (path[0] == '\\' || path[0] == '/') &&
      (path[1] == '\\' || path[1] == '/') && (path[2] == '?' || path[2] == '.') &&
      (path[3] == '\\' || path[3] == '/'))
    return "a device path (\\\\.\\ or \\\\?\\), not a file's";
  size_t at = 0;
  // A drive ("C:") or the server and share of a network path come first.
  if (path.size() >= 2 && path[1] == ':' &&
      ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')))
    at = 2;
  for (size_t next; at <= path.size(); at = next + 1) {
    next = path.find_first_of("\\/", at);
    if (next == std::string_view::npos) next = path.size();
    const std::string_view name = path.substr(at, next - at);
    if (name.empty() || name == "." || name == "..") continue;
    const std::string quoted = "'" + std::string(name) + "'";
    if (wide(name).size() > 255)
      return "the name " + quoted + " is too long for Windows (at most 255 characters)";
    for (const char c : name) {
      const unsigned char u = static_cast<unsigned char>(c);
      if (u < 0x20 || std::string_view("<>:\"|?*").find(c) != std::string_view::npos)
        return "the name " + quoted + " holds a character Windows does not allow in a file name";
    }
    if (name.back() == '.' || name.back() == ' ')
      return "the name " + quoted + " ends in a dot or a blank, which Windows drops";
    if (device_name(name)) return quoted + " is a name Windows reserves for a device";
  }
  return std::string();
}

// The UTF-16 path the system is given for `path`, or false with *err when
// the name is refused. The full path must fit MAX_PATH.
bool system_path(const std::string& path, std::wstring* out, std::string* err) {
  std::string why = refusal(path);
  if (!why.empty()) return fail(err, std::move(why));
  *out = wide(path);
  const DWORD n = GetFullPathNameW(out->c_str(), 0, nullptr, nullptr);
  if (n == 0) return fail(err);
  // n counts the terminating zero; MAX_PATH does too.
  if (n > MAX_PATH)
    return fail(err, "the path is too long for Windows (" + std::to_string(n - 1) +
                         " characters, at most " + std::to_string(MAX_PATH - 1) + ")");
  return true;
}

int handle_number(HANDLE h) {
  // Kernel handles are 32-bit values on 64-bit Windows too, sign-extended.
  return static_cast<int>(reinterpret_cast<intptr_t>(h));
}

HANDLE handle_of(int number) {
  return reinterpret_cast<HANDLE>(static_cast<intptr_t>(number));
}

// True when another process holds `path` open in a way that keeps it from
// being deleted or replaced.
bool held_by_another_program(const std::wstring& path) {
  HANDLE h = CreateFileW(
      path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
      OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    CloseHandle(h);
    return false;
  }
  return GetLastError() == ERROR_SHARING_VIOLATION;
}

// Runs `attempt` until it succeeds or fails for another reason than a file
// in use by another program, waiting up to in_use_wait_ms for that one.
// `in_use` tells whether a failure was that one (given the error code).
template <typename Attempt, typename InUse>
bool waiting_while_in_use(Attempt attempt, InUse in_use, std::string* err) {
  for (DWORD waited = 0;; waited += pause_ms) {
    if (attempt()) return true;
    const DWORD code = GetLastError();
    const bool busy = in_use(code);
    if (!busy || waited >= in_use_wait_ms) {
      if (busy) return fail(err, in_use_reason);
      return fail(err, code);
    }
    Sleep(pause_ms);
  }
}

// What an open file is, for a message when it is not a regular file.
std::string not_regular(HANDLE h) {
  const DWORD type = GetFileType(h);
  if (type == FILE_TYPE_PIPE) return "not a regular file (a pipe)";
  if (type == FILE_TYPE_CHAR) return "not a regular file (a device)";
  if (type != FILE_TYPE_DISK) return "not a regular file";
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(h, &info)) return "not a regular file";
  if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
    return "a symbolic link or junction, not a regular file";
  if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return "not a regular file (a directory)";
  return std::string();
}

std::string too_large_reason(int64_t size) {
  return "too large: " + std::to_string(size) + " bytes (at most " +
         std::to_string(max_read_bytes) + " are read)";
}

// Opens a regular file for reading, never through a link or junction, and
// refuses anything else by its kind or size. INVALID_HANDLE_VALUE with *err.
HANDLE open_for_reading(const std::string& path, int64_t* size, std::string* err) {
  std::wstring name;
  if (!system_path(path, &name, err)) return INVALID_HANDLE_VALUE;
  HANDLE h = INVALID_HANDLE_VALUE;
  const bool opened = waiting_while_in_use(
      [&] {
        h = CreateFileW(
            name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING,
            FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN,
            nullptr);
        return h != INVALID_HANDLE_VALUE;
      },
      [](DWORD code) { return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION; },
      err);
  if (!opened) return INVALID_HANDLE_VALUE;
  std::string why = not_regular(h);
  LARGE_INTEGER bytes;
  if (why.empty() && !GetFileSizeEx(h, &bytes)) why = system_reason(GetLastError());
  if (why.empty() && bytes.QuadPart > max_read_bytes) why = too_large_reason(bytes.QuadPart);
  if (!why.empty()) {
    CloseHandle(h);
    fail(err, std::move(why));
    return INVALID_HANDLE_VALUE;
  }
  *size = bytes.QuadPart;
  return h;
}

// Reads up to `room` bytes; false with *err on failure, *got 0 at the end.
bool read_some(HANDLE h, char* into, size_t room, DWORD* got, std::string* err) {
  if (!ReadFile(h, into, static_cast<DWORD>(room), got, nullptr)) {
    const DWORD code = GetLastError();
    CloseHandle(h);
    return fail(err, code);
  }
  return true;
}

bool write_all(HANDLE h, std::string_view bytes, OVERLAPPED* at, std::string* err) {
  while (!bytes.empty()) {
    const DWORD part = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD done = 0;
    if (!WriteFile(h, bytes.data(), part, &done, at)) return fail(err);
    if (done == 0) return fail(err, ERROR_WRITE_FAULT);
    bytes.remove_prefix(done);
    if (at) {
      ULARGE_INTEGER next;
      next.LowPart = at->Offset;
      next.HighPart = at->OffsetHigh;
      next.QuadPart += done;
      at->Offset = next.LowPart;
      at->OffsetHigh = next.HighPart;
    }
  }
  return true;
}

disk::entry entry_of(DWORD attributes) {
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return disk::entry::directory;
  return disk::entry::file;
}

struct windows_lock : directory_lock {
  explicit windows_lock(HANDLE h) : h_(h) {}
  // The lock file was opened to be deleted when its last handle closes: the
  // name goes once no run holds or waits on it, also after a killed run.
  ~windows_lock() override { CloseHandle(h_); }

 private:
  HANDLE h_;
};

struct windows_disk : disk {
  entry stat(const std::string& path) override {
    std::wstring name;
    std::string ignored;
    if (!system_path(path, &name, &ignored)) return entry::missing;
    // Opened without any access, which no sharing mode refuses, and with the
    // links and junctions on the way followed.
    HANDLE h = CreateFileW(name.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
      const DWORD attributes = GetFileAttributesW(name.c_str());
      if (attributes == INVALID_FILE_ATTRIBUTES) return entry::missing;
      return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? entry::missing : entry_of(attributes);
    }
    entry what = entry::other;
    BY_HANDLE_FILE_INFORMATION info;
    if (GetFileType(h) == FILE_TYPE_DISK && GetFileInformationByHandle(h, &info))
      what = entry_of(info.dwFileAttributes);
    CloseHandle(h);
    return what;
  }

  entry stat_no_follow(const std::string& path) override {
    std::wstring name;
    std::string ignored;
    if (!system_path(path, &name, &ignored)) return entry::missing;
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return entry::missing;
    if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return entry::other;
    return entry_of(attributes);
  }

  bool read_file(const std::string& path, std::string* contents, std::string* err) override {
    int64_t size = 0;
    HANDLE h = open_for_reading(path, &size, err);
    if (h == INVALID_HANDLE_VALUE) return false;
    try {
      contents->clear();
      contents->reserve(static_cast<size_t>(size));
      char buf[64 * 1024];
      for (;;) {
        DWORD n = 0;
        if (!read_some(h, buf, sizeof buf, &n, err)) return false;
        if (n == 0) break;
        // A file that grows while it is read is still held to the bound.
        if (static_cast<int64_t>(contents->size()) + n > max_read_bytes) {
          CloseHandle(h);
          return fail(err, too_large_reason(static_cast<int64_t>(contents->size()) + n));
        }
        contents->append(buf, n);
      }
    } catch (const std::bad_alloc&) {
      contents->clear();
      contents->shrink_to_fit();
      CloseHandle(h);
      return fail(err, "not enough memory to read " + std::to_string(size) + " bytes");
    }
    CloseHandle(h);
    return true;
  }

  bool read_file_parts(const std::string& path, const part_reader& part,
                       std::string* err) override {
    int64_t size = 0;
    HANDLE h = open_for_reading(path, &size, err);
    if (h == INVALID_HANDLE_VALUE) return false;
    std::vector<char> buf(256 * 1024);
    int64_t total = 0;
    for (;;) {
      DWORD n = 0;
      if (!read_some(h, buf.data(), buf.size(), &n, err)) return false;
      if (n == 0) break;
      total += n;
      if (total > max_read_bytes) {
        CloseHandle(h);
        return fail(err, too_large_reason(total));
      }
      if (!part(std::string_view(buf.data(), n))) break;
    }
    CloseHandle(h);
    return true;
  }

  bool create_file(const std::string& path, int* handle, std::string* err) override {
    std::wstring name;
    if (!system_path(path, &name, err)) return false;
    // CREATE_NEW fails on any name already there, a link or junction
    // included, which is then neither followed nor opened.
    HANDLE h = CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return fail(err);
    *handle = handle_number(h);
    return true;
  }

  bool write(int handle, std::string_view bytes, std::string* err) override {
    return write_all(handle_of(handle), bytes, nullptr, err);
  }

  void reserve(int handle, int64_t bytes) override {
    if (bytes <= 0) return;
    FILE_ALLOCATION_INFO room;
    room.AllocationSize.QuadPart = bytes;
    (void)SetFileInformationByHandle(handle_of(handle), FileAllocationInfo, &room, sizeof room);
  }

  bool write_at(int handle, int64_t offset, std::string_view bytes, std::string* err) override {
    // A positioned write moves the file pointer of a synchronous handle:
    // it is put back, so that write() goes on where it was.
    HANDLE h = handle_of(handle);
    LARGE_INTEGER zero{}, position{};
    if (!SetFilePointerEx(h, zero, &position, FILE_CURRENT)) return fail(err);
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(static_cast<uint64_t>(offset) & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
    const bool ok = write_all(h, bytes, &at, err);
    if (!SetFilePointerEx(h, position, nullptr, FILE_BEGIN) && ok) return fail(err);
    return ok;
  }

  bool close(int handle, std::string* err) override {
    if (!CloseHandle(handle_of(handle))) return fail(err);
    return true;
  }

  bool rename_file(const std::string& from, const std::string& to, std::string* err) override {
    std::wstring source, target;
    if (!system_path(from, &source, err) || !system_path(to, &target, err)) return false;
    // MoveFileExW renames the names themselves: a link at `to` is replaced,
    // never written through.
    return waiting_while_in_use(
        [&] { return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0; },
        [&](DWORD code) {
          return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION ||
                 (code == ERROR_ACCESS_DENIED &&
                  (held_by_another_program(target) || held_by_another_program(source)));
        },
        err);
  }

  bool link_file(const std::string& from, const std::string& to, std::string* err) override {
    std::wstring source, target;
    if (!system_path(from, &source, err) || !system_path(to, &target, err)) return false;
    return waiting_while_in_use(
        [&] {
          // A file another program holds could get its second name, but the
          // name could then not be removed: it is waited for here instead,
          // before any name is made.
          if (held_by_another_program(source)) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return false;
          }
          if (CreateHardLinkW(target.c_str(), source.c_str(), nullptr)) return true;
          const DWORD code = GetLastError();
          // A volume without hard links (FAT on a memory stick): a copy
          // keeps the old content just as well under the second name.
          if (code != ERROR_INVALID_FUNCTION && code != ERROR_NOT_SUPPORTED) return false;
          return CopyFileW(source.c_str(), target.c_str(), TRUE) != 0;
        },
        [](DWORD code) { return code == ERROR_SHARING_VIOLATION || code == ERROR_LOCK_VIOLATION; },
        err);
  }

  bool remove_file(const std::string& path, std::string* err) override {
    std::wstring name;
    if (!system_path(path, &name, err)) return false;
    return waiting_while_in_use(
        [&] { return DeleteFileW(name.c_str()) != 0; },
        [&](DWORD code) {
          return code == ERROR_SHARING_VIOLATION ||
                 (code == ERROR_ACCESS_DENIED && held_by_another_program(name));
        },
        err);
  }

  bool make_directory(const std::string& path, std::string* err) override {
    std::wstring name;
    if (!system_path(path, &name, err)) return false;
    if (!CreateDirectoryW(name.c_str(), nullptr)) return fail(err);
    return true;
  }

  bool list_directory(const std::string& dir, std::vector<std::string>* names,
                      std::string* err) override {
    std::wstring name;
    if (!system_path(dir, &name, err)) return false;
    if (!name.empty() && name.back() != L'\\' && name.back() != L'/') name += L'\\';
    name += L'*';
    WIN32_FIND_DATAW found;
    HANDLE h =
        FindFirstFileExW(name.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (h == INVALID_HANDLE_VALUE) return fail(err);
    names->clear();
    do {
      const std::wstring found_name = found.cFileName;
      if (found_name != L"." && found_name != L"..") names->push_back(narrow(found_name));
    } while (FindNextFileW(h, &found));
    const DWORD code = GetLastError();
    FindClose(h);
    if (code != ERROR_NO_MORE_FILES) return fail(err, code);
    return true;
  }

  std::unique_ptr<directory_lock> lock_directory(const std::string& dir, std::string* err,
                                                 int wait_ms = lock_wait_ms) override {
    const std::string path = dir + path_separator + lock_file_name;
    std::wstring name;
    if (!system_path(path, &name, err)) {
      *err = path + ": " + *err;
      return nullptr;
    }
    for (int waited = 0;; waited += static_cast<int>(pause_ms)) {
      // Every run opens the lock file to be deleted when the last handle to
      // it closes; while that is pending, a new open is refused (access
      // denied) and waits like one that finds the lock taken.
      HANDLE h =
          CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE | DELETE,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_OPEN_REPARSE_POINT |
                          FILE_FLAG_DELETE_ON_CLOSE,
                      nullptr);
      DWORD code = ERROR_SUCCESS;
      if (h == INVALID_HANDLE_VALUE) {
        code = GetLastError();
        if (code != ERROR_ACCESS_DENIED && code != ERROR_SHARING_VIOLATION) {
          *err = path + ": " + system_reason(code);
          return nullptr;
        }
      } else {
        const std::string why = not_regular(h);
        if (!why.empty()) {
          CloseHandle(h);
          *err = path + ": " + why;
          return nullptr;
        }
        OVERLAPPED whole{};
        if (LockFileEx(h, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole))
          return std::make_unique<windows_lock>(h);
        code = GetLastError();
        CloseHandle(h);
        if (code != ERROR_LOCK_VIOLATION && code != ERROR_IO_PENDING) {
          *err = path + ": " + system_reason(code);
          return nullptr;
        }
      }
      if (waited >= wait_ms) {
        *err = code == ERROR_ACCESS_DENIED ? path + ": " + system_reason(code) : directory_in_use;
        return nullptr;
      }
      Sleep(pause_ms);
    }
  }
};

// The console code page a run found, put back when it ends.
UINT console_page_found = 0;

void restore_console_page() {
  if (console_page_found != 0) SetConsoleOutputCP(console_page_found);
}

// True when `h` is a usable standard handle.
bool usable(HANDLE h) {
  return h != nullptr && h != INVALID_HANDLE_VALUE;
}

}  // namespace

disk& real_disk() {
  static windows_disk the_disk;
  return the_disk;
}

int64_t process_number() {
  return static_cast<int64_t>(GetCurrentProcessId());
}

void populate_pages(char*, size_t) {
  // Windows has no call that gives private memory its pages ahead of the
  // writes; they come as they are written.
}

std::string application_path() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    if (buffer.size() >= 32768) return std::string();
    buffer.resize(buffer.size() * 2);
  }
  const size_t slash = buffer.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return std::string();
  std::wstring directory = buffer.substr(0, slash);
  // "C:" alone names the drive's current folder, not its root.
  if (directory.size() == 2 && directory[1] == L':') directory += L'\\';
  return narrow(directory);
}

void prepare_standard_streams() {
  // A window program started from a console has no standard handles of its
  // own: it writes to the console it was started from, if any.
  const bool has_handles =
      usable(GetStdHandle(STD_OUTPUT_HANDLE)) || usable(GetStdHandle(STD_ERROR_HANDLE));
  if (!has_handles) {
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
      (void)std::freopen("CONOUT$", "w", stdout);
      (void)std::freopen("CONOUT$", "w", stderr);
      // The system's handles too, so that the console is found below.
      SetStdHandle(STD_OUTPUT_HANDLE, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stdout))));
      SetStdHandle(STD_ERROR_HANDLE, reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stderr))));
    } else {
      // Started with no console (a double click): the lines go nowhere,
      // which is not a failure to write them.
      (void)std::freopen("NUL", "w", stdout);
      (void)std::freopen("NUL", "w", stderr);
    }
  }
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  DWORD mode = 0;
  const HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if ((usable(out) && GetConsoleMode(out, &mode)) ||
      (usable(error) && GetConsoleMode(error, &mode))) {
    console_page_found = GetConsoleOutputCP();
    if (console_page_found != CP_UTF8 && SetConsoleOutputCP(CP_UTF8))
      std::atexit(restore_console_page);
  }
}

std::vector<std::string> program_arguments(int argc, char** argv) {
  (void)argc;
  (void)argv;
  std::vector<std::string> args;
  for (const std::wstring& arg : split_command_line(GetCommandLineW())) args.push_back(narrow(arg));
  return args;
}

bool watched_by_a_person() {
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  if (!usable(error)) return true;
  const DWORD type = GetFileType(error);
  return type != FILE_TYPE_DISK && type != FILE_TYPE_PIPE;
}

waiting_window::waiting_window(std::string_view title, std::string_view text) {
  constexpr int width = 280, height = 110;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  HWND window =
      CreateWindowExW(WS_EX_TOPMOST, L"STATIC", wide(title).c_str(),
                      WS_POPUP | WS_CAPTION | WS_BORDER | SS_CENTER | SS_CENTERIMAGE, x, y, width,
                      height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!window) return;
  // The text in the window's own static control, below the caption.
  RECT inside;
  GetClientRect(window, &inside);
  CreateWindowExW(0, L"STATIC", wide(text).c_str(),
                  WS_CHILD | WS_VISIBLE | SS_CENTER | SS_CENTERIMAGE, 0, 0, inside.right,
                  inside.bottom, window, nullptr, GetModuleHandleW(nullptr), nullptr);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  // The run has no message loop: what is waiting now (painting) is done.
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  window_ = window;
}

waiting_window::~waiting_window() {
  if (window_) DestroyWindow(static_cast<HWND>(window_));
}

void show_message_box(std::string_view title, std::string_view text) {
  MessageBoxW(nullptr, wide(text).c_str(), wide(title).c_str(),
              MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND | MB_TASKMODAL);
}

}  // namespace runtime
