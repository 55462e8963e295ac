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

std::optional<std::string> path_of_uri(std::string_view uri);
std::string uri_of_path(std::string_view path);

// One spelling for every URI of the same file, to compare them.
std::string uri_key(std::string_view uri);

// The folder of a URI (up to and with its last '/') and the name after it.
struct uri_parts {
  std::string folder;
  std::string name;
};
uri_parts split_uri(std::string_view uri);
