#include "lsp/uri.h"

#include "runtime/windows1252.h"

namespace {

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<std::string> path_of_uri(std::string_view uri) {
  constexpr std::string_view scheme = "file://";
  if (uri.size() < scheme.size() || lower_text(uri.substr(0, scheme.size())) != scheme)
    return std::nullopt;
  uri.remove_prefix(scheme.size());
  // An authority ("localhost") before the path is passed over.
  const size_t slash = uri.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
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
  return path;
}

std::string uri_of_path(std::string_view path) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string uri = "file://";
  for (char ch : path) {
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

std::string uri_key(std::string_view uri) {
  if (auto path = path_of_uri(uri)) return "file:" + *path;
  return std::string(uri);
}

uri_parts split_uri(std::string_view uri) {
  const size_t slash = uri.rfind('/');
  if (slash == std::string_view::npos) return {"", std::string(uri)};
  return {std::string(uri.substr(0, slash + 1)), std::string(uri.substr(slash + 1))};
}
