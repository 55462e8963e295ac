#include "lsp/uri.h"

#include "runtime/disk.h"
#include "runtime/windows1252.h"

namespace lsp {

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool drive_letter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char upper(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}
char lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// "/c:/Users/x" -> "C:\Users\x"; with a host, "\\host\share\x".
std::string windows_path(std::string path, std::string_view host) {
  if (path.size() >= 3 && path[0] == '/' && drive_letter(path[1]) && path[2] == ':' &&
      (path.size() == 3 || path[3] == '/')) {
    path.erase(0, 1);
    path[0] = upper(path[0]);
  } else if (!host.empty()) {
    path = "//" + std::string(host) + path;
  }
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

}  // namespace

path_style native_path_style() {
  return runtime::path_separator == '\\' ? path_style::windows : path_style::posix;
}

std::optional<std::string> path_of_uri(std::string_view uri, path_style style) {
  constexpr std::string_view scheme = "file://";
  if (uri.size() < scheme.size() || runtime::lower_text(uri.substr(0, scheme.size())) != scheme)
    return std::nullopt;
  uri.remove_prefix(scheme.size());
  // An authority ("localhost") before the path is passed over; on Windows
  // another host names a network path.
  const size_t slash = uri.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  std::string_view host = uri.substr(0, slash);
  if (runtime::lower_text(host) == "localhost") host = {};
  uri.remove_prefix(slash);
  std::string path;
  for (size_t i = 0; i < uri.size(); ++i) {
    if (uri[i] == '%' && i + 2 < uri.size() && hex_value(uri[i + 1]) >= 0 &&
        hex_value(uri[i + 2]) >= 0) {
      path += static_cast<char>(hex_value(uri[i + 1]) * 16 + hex_value(uri[i + 2]));
      i += 2;
    } else {
      path += uri[i];
    }
  }
  if (style == path_style::windows) return windows_path(std::move(path), host);
  return path;
}

std::string uri_of_path(std::string_view path, path_style style) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string uri = "file://";
  std::string spelled(path);
  if (style == path_style::windows) {
    for (char& c : spelled)
      if (c == '\\') c = '/';
    if (spelled.size() >= 2 && drive_letter(spelled[0]) && spelled[1] == ':') {
      spelled[0] = lower(spelled[0]);
      spelled.insert(0, "/");
    } else if (spelled.starts_with("//")) {
      // A network path: its server is the URI's host.
      spelled.erase(0, 2);
    }
  }
  for (char ch : spelled) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
        std::string_view("-._~/").find(ch) != std::string_view::npos) {
      uri += ch;
    } else {
      uri += '%';
      uri += digits[c >> 4];
      uri += digits[c & 15];
    }
  }
  return uri;
}

std::string uri_key(std::string_view uri, path_style style) {
  if (auto path = path_of_uri(uri, style)) return "file:" + *path;
  return std::string(uri);
}

uri_parts split_uri(std::string_view uri) {
  const size_t slash = uri.rfind('/');
  if (slash == std::string_view::npos) return {"", std::string(uri)};
  return {std::string(uri.substr(0, slash + 1)), std::string(uri.substr(slash + 1))};
}

}  // namespace lsp
