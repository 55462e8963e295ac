#pragma once
// What the programs need of the system beyond files: their arguments and
// standard streams as the system hands them over, and the two things the
// generator shows on a screen (a waiting window and a message box). On POSIX
// (posix_disk.cpp) the arguments and streams are used as they come and
// nothing is shown; on Windows (windows_disk.cpp) see each function.

#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// Sets up the standard streams before anything is read or written. On
// Windows they then carry bytes unchanged (no CR LF translation, no end of
// file at Ctrl-Z), a console shows the UTF-8 the programs write (its code
// page is set for the run and put back at the end), and a program built as
// a window program that was started from a console writes to that console;
// started with no console at all (a double click), its lines go nowhere.
void prepare_standard_streams();

// The program's arguments after the program's name, in UTF-8. On Windows
// they are read from the wide command line, so that a folder named
// "Società" or "Заметки" arrives whole whatever the system's code page.
std::vector<std::string> program_arguments(int argc, char** argv);

// The arguments of a Windows command line, after the program's name, by the
// rules of the C runtime (quotes group, backslashes escape a quote only
// right before one). Portable, so that it is tested on every system.
std::vector<std::wstring> split_command_line(std::wstring_view line);

// True when a person may be watching: on Windows, when the error output is a
// console or nothing (a double click), not a file or a pipe (a script that
// reads the lines, and that a message box would keep waiting). Never on
// POSIX.
bool watched_by_a_person();

// A small window showing `text` from its construction to its destruction.
// Nothing is shown where there is no screen (and on POSIX).
class waiting_window {
 public:
  waiting_window(std::string_view title, std::string_view text);
  ~waiting_window();
  waiting_window(const waiting_window&) = delete;
  waiting_window& operator=(const waiting_window&) = delete;

 private:
  void* window_ = nullptr;
};

// A message box with `text` and one button; returns once it is closed.
// Nothing on POSIX.
void show_message_box(std::string_view title, std::string_view text);

}  // namespace runtime
