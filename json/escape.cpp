// The eight two-character escapes shared by the string setters (decoding)
// and the emitter (encoding). No \u sequence is produced or decoded.
#include "jzon.h"

namespace Jzon {

namespace {

constexpr int kEscapeCount = 8;

// Position of c among the eight escapable characters, or kEscapeCount.
// The NUL that ends EscapeChars is never matched: NUL has no escape.
int EscapeIndex(char c) {
  for (int i = 0; i < kEscapeCount; ++i) {
    if (EscapeChars[i] == c) return i;
  }
  return kEscapeCount;
}

}  // namespace

const char EscapeChars[9] = {'\\', '/', '"', '\n', '\t', '\b', '\f', '\r', '\0'};
const char* const EscapeSequences[9] = {"\\\\", "\\/", "\\\"", "\\n", "\\t",
                                        "\\b",  "\\f", "\\r",  ""};

const std::string FindEscapeFor(char c) { return EscapeSequences[EscapeIndex(c)]; }

char FindCharForEscape(char c, char next) {
  for (int i = 0; i < kEscapeCount; ++i) {
    if (EscapeSequences[i][0] == c && EscapeSequences[i][1] == next) {
      return EscapeChars[i];
    }
  }
  return EscapeChars[kEscapeCount];
}

std::string UnescapeText(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  const std::string::size_type n = text.size();
  for (std::string::size_type i = 0; i < n; ++i) {
    const char c = text[i];
    const char next = i + 1 < n ? text[i + 1] : '\0';
    const char decoded = FindCharForEscape(c, next);
    if (decoded != '\0') {
      result += decoded;
      ++i;  // the pair's second character is consumed with it
    } else {
      result += c;
    }
  }
  return result;
}

std::string EscapeText(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    const int i = EscapeIndex(c);
    if (i < kEscapeCount) {
      result += EscapeSequences[i];
    } else {
      result += c;
    }
  }
  return result;
}

}  // namespace Jzon
