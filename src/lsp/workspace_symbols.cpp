#include "lsp/workspace_symbols.h"

#include "lsp/outline.h"
#include "lsp/uri.h"
#include "runtime/windows1252.h"

namespace lsp {

std::vector<symbol_information> workspace_symbols(const std::vector<const document_view*>& held,
                                                  std::string_view query) {
  std::vector<symbol_information> out;
  const std::string wanted = runtime::lower_text(query);
  for (const document_view* d : held) {
    const std::string container = split_uri(d->uri).name;
    auto take = [&](const document_symbol& s) {
      if (s.kind != symbol_kind::station && s.kind != symbol_kind::signal) return;
      if (runtime::lower_text(s.name).find(wanted) == std::string::npos) return;
      out.push_back({s.name, s.kind, {d->uri, s.range}, container});
    };
    for (const document_symbol& s : outline_of(*d)) {
      take(s);
      for (const document_symbol& c : s.children) take(c);
    }
  }
  return out;
}

}  // namespace lsp
