#include "xmp_root.h"

#include <cstring>

namespace focusrate {

namespace {

constexpr const char* kSpace = " \t\r\n";

bool StartsAt(const std::string& text, std::string::size_type at, const char* with) {
  return text.compare(at, std::strlen(with), with) == 0;
}

// Past the end of the first `end` at or after from; npos when there is none.
std::string::size_type After(const std::string& text, std::string::size_type from,
                             const char* end) {
  const std::string::size_type at = text.find(end, from);
  return at == std::string::npos ? at : at + std::strlen(end);
}

// The namespace URI an attribute of the start tag at `at` declares for
// prefix ("" the default namespace); "" when none does.
std::string Declared(const std::string& text, std::string::size_type at,
                     const std::string& prefix) {
  const std::string wanted = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
  for (;;) {
    at = text.find_first_not_of(kSpace, at);
    if (at == std::string::npos || text[at] == '>' || text[at] == '/') return std::string();
    const std::string::size_type eq = text.find('=', at);
    if (eq == std::string::npos) return std::string();
    const std::string name = text.substr(at, text.find_last_not_of(kSpace, eq - 1) + 1 - at);
    const std::string::size_type open = text.find_first_not_of(kSpace, eq + 1);
    if (open == std::string::npos || (text[open] != '"' && text[open] != '\''))
      return std::string();
    const std::string::size_type close = text.find(text[open], open + 1);
    if (close == std::string::npos) return std::string();
    if (name == wanted) return text.substr(open + 1, close - open - 1);
    at = close + 1;
  }
}

}  // namespace

bool HasXmpRoot(const std::string& text) {
  std::string::size_type at = StartsAt(text, 0, "\xEF\xBB\xBF") ? 3 : 0;
  for (;;) {
    at = text.find_first_not_of(kSpace, at);
    if (at == std::string::npos || text[at] != '<') return false;
    if (StartsAt(text, at, "<?")) {
      at = After(text, at, "?>");
    } else if (StartsAt(text, at, "<!--")) {
      at = After(text, at + 4, "-->");
    } else {
      break;
    }
  }
  const std::string::size_type end = text.find_first_of(" \t\r\n/>", at);
  if (end == std::string::npos) return false;
  const std::string name = text.substr(at + 1, end - at - 1);
  const std::string::size_type colon = name.find(':');
  const std::string prefix = colon == std::string::npos ? "" : name.substr(0, colon);
  const std::string local = colon == std::string::npos ? name : name.substr(colon + 1);
  const std::string ns = Declared(text, end, prefix);
  return (local == "xmpmeta" && ns == "adobe:ns:meta/") ||
         (local == "RDF" && ns == "http://www.w3.org/1999/02/22-rdf-syntax-ns#");
}

}  // namespace focusrate
