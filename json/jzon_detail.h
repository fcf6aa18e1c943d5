// Internal to Jzon, never installed: the escape tables and text routines
// the string setters and the emitter share, and the parser's token types.
#ifndef JZON_JZON_DETAIL_H
#define JZON_JZON_DETAIL_H

#include <string>

#include "jzon.h"

namespace Jzon {
namespace detail {

/// Escape tables shared by the string setters and the emitter: eight
/// characters (then NUL) and their two-character escapes (then "").
extern const char EscapeChars[9];
extern const char* const EscapeSequences[9];

/// The character that the pair (c, next) stands for, or NUL when none.
char FindCharForEscape(char c, char next);
/// Decodes the eight escape pairs and \uXXXX (to UTF-8; a surrogate pair
/// becomes one character, a lone surrogate U+FFFD) left to right; anything
/// else is copied.
std::string UnescapeText(const std::string& text);
/// Replaces each of the eight escapable characters by its pair and every
/// other control character below 0x20 by \u00XX (lower-case hex), so the
/// result is always valid inside a JSON string.
std::string EscapeText(const std::string& text);

enum TokenKind {
  TokenUnknown = 0,
  TokenObjectBegin = 1,
  TokenObjectEnd = 2,
  TokenArrayBegin = 3,
  TokenArrayEnd = 4,
  TokenComma = 5,
  TokenColon = 6,
  TokenValue = 7
};

/// One scanned scalar: its kind and its text as written (strings raw).
struct TokenPayload {
  ValueType kind;
  std::string text;
};

/// Removes comments (// and nested /* */) and whitespace outside strings.
void StripCommentsAndWhitespace(const std::string& in, std::string& out);

}  // namespace detail
}  // namespace Jzon

#endif  // JZON_JZON_DETAIL_H
