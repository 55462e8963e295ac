#pragma once
// The editors name documents by URI; the disk by path.
//
//   file:///a%20b/c.txt  <->  /a b/c.txt
//
// A URI of another scheme has no path. Two spellings of one file (a
// percent-escaped letter, "file://localhost/") name the same document.

#include <optional>
#include <string>
#include <string_view>

namespace lsp {

// How a system spells paths. On Windows a URI's drive letter comes in
// either case and with its colon escaped or not (VS Code sends
// "file:///c%3A/Users/..."): the path is "C:\Users\...", and a URI with a host
// names a network path ("\\host\share\..."); URIs made from paths take
// VS Code's spelling.
enum class path_style { posix, windows };
// The style of the system the program runs on.
path_style native_path_style();

std::optional<std::string> path_of_uri(std::string_view uri,
                                       path_style style = native_path_style());
std::string uri_of_path(std::string_view path, path_style style = native_path_style());

// One spelling for every URI of the same file, to compare them.
std::string uri_key(std::string_view uri, path_style style = native_path_style());

// The folder of a URI (up to and with its last '/') and the name after it.
struct uri_parts {
  std::string folder;
  std::string name;
};
uri_parts split_uri(std::string_view uri);

}  // namespace lsp
