// Internal to Jzon: the scanner that cuts stripped JSON text into tokens.
// Tokens are pulled one at a time, so a document never exists as a whole
// token list in memory; a token refers to its characters by position.
#ifndef JZON_TEXT_SCANNER_H
#define JZON_TEXT_SCANNER_H

#include <cstddef>
#include <string>

#include "jzon_detail.h"

namespace Jzon {
namespace detail {

/// One token of stripped text. For TokenValue and TokenUnknown, [begin,
/// begin + length) holds the word or the string's content between its quotes.
struct Token {
  TokenKind kind;
  ValueType valueKind;  ///< for TokenValue only
  std::size_t begin;
  std::size_t length;
};

/// Reads tokens from the front of a stripped text, which must outlive it.
class TokenScanner {
 public:
  explicit TokenScanner(const std::string& text);

  /// The next token, or false when the text is used up.
  bool Next(Token& token);
  /// The scalar a TokenValue or TokenUnknown stands for: a string's content
  /// with its escapes as written, a keyword's normalised text, or the word.
  TokenPayload Payload(const Token& token) const;

 private:
  void ScanString(Token& token);
  void ScanWord(Token& token);

  const std::string& text_;
  std::size_t cursor_;
};

/// What a bare word is: true with its kind for a keyword (any letter case) or
/// a number; false for anything else.
bool ClassifyWord(const char* word, std::size_t length, ValueType& kind);

/// A word as failure messages show it: at most 40 bytes of it, then "..."
/// when it is longer, with bytes outside printable ASCII spelled \xHH, so a
/// message stays one short line whatever the input holds.
std::string QuoteForMessage(const std::string& word);

}  // namespace detail
}  // namespace Jzon

#endif  // JZON_TEXT_SCANNER_H
