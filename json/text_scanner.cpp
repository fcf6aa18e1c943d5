// Tokenising of stripped JSON text and classification of bare words.
#include "text_scanner.h"

#include <cstring>

namespace Jzon {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsNumberChar(char c) { return IsDigit(c) || c == '.' || c == '-'; }

// Structural characters and the quote end a bare word.
struct WordEndTable {
  bool at[256];
  constexpr WordEndTable() : at() {
    for (unsigned char c : {'{', '}', '[', ']', ',', ':', '"'}) at[c] = true;
  }
};

constexpr WordEndTable kWordEnd;

bool IsWordEnd(char c) { return kWordEnd.at[static_cast<unsigned char>(c)]; }

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool EqualsUpper(const char* word, std::size_t length, const char* upper) {
  if (length != std::strlen(upper)) return false;
  for (std::size_t i = 0; i < length; ++i) {
    if (Upper(word[i]) != upper[i]) return false;
  }
  return true;
}

std::size_t SkipDigits(const char* p, std::size_t i, std::size_t n) {
  while (i < n && IsDigit(p[i])) ++i;
  return i;
}

// A number in strict JSON grammar that carries an exponent (1e5, -2.5E-3).
// Exponent-free numbers are already covered by the looser character test.
bool IsExponentNumber(const char* p, std::size_t n) {
  std::size_t i = 0;
  if (i < n && p[i] == '-') ++i;
  if (i >= n || !IsDigit(p[i])) return false;
  i = (p[i] == '0') ? i + 1 : SkipDigits(p, i, n);
  if (i < n && p[i] == '.') {
    if (i + 1 >= n || !IsDigit(p[i + 1])) return false;
    i = SkipDigits(p, i + 1, n);
  }
  if (i >= n || (p[i] != 'e' && p[i] != 'E')) return false;
  ++i;
  if (i < n && (p[i] == '+' || p[i] == '-')) ++i;
  if (i >= n || !IsDigit(p[i])) return false;
  return SkipDigits(p, i, n) == n;
}

}  // namespace

namespace detail {

bool ClassifyWord(const char* word, std::size_t length, ValueType& kind) {
  if (EqualsUpper(word, length, "NULL")) {
    kind = NullValue;
    return true;
  }
  if (EqualsUpper(word, length, "TRUE") || EqualsUpper(word, length, "FALSE")) {
    kind = BoolValue;
    return true;
  }
  bool numberChars = true;
  for (std::size_t i = 0; i < length && numberChars; ++i) numberChars = IsNumberChar(word[i]);
  if (numberChars || IsExponentNumber(word, length)) {
    kind = NumberValue;
    return true;
  }
  return false;
}

std::string QuoteForMessage(const std::string& word) {
  constexpr std::size_t kShown = 40;
  static const char kHex[] = "0123456789ABCDEF";
  std::string quoted;
  for (std::size_t i = 0; i < word.size() && i < kShown; ++i) {
    const auto byte = static_cast<unsigned char>(word[i]);
    if (byte >= 0x20 && byte < 0x7F) {
      quoted += word[i];
    } else {
      quoted += "\\x";
      quoted += kHex[byte >> 4];
      quoted += kHex[byte & 0xF];
    }
  }
  if (word.size() > kShown) quoted += "...";
  return quoted;
}

TokenScanner::TokenScanner(const std::string& text) : text_(text), cursor_(0) {}

bool TokenScanner::Next(Token& token) {
  if (cursor_ >= text_.size()) return false;
  token.begin = cursor_;
  token.length = 0;
  token.valueKind = NullValue;
  switch (text_[cursor_]) {
    case '{': token.kind = TokenObjectBegin; break;
    case '}': token.kind = TokenObjectEnd; break;
    case '[': token.kind = TokenArrayBegin; break;
    case ']': token.kind = TokenArrayEnd; break;
    case ',': token.kind = TokenComma; break;
    case ':': token.kind = TokenColon; break;
    case '"':
      ScanString(token);
      return true;
    default:
      ScanWord(token);
      return true;
  }
  ++cursor_;
  return true;
}

// The string ends at the first quote that is not escaped, i.e. not preceded
// by an odd run of backslashes; without one it takes the rest of the text.
void TokenScanner::ScanString(Token& token) {
  const char* text = text_.data();
  const std::size_t n = text_.size();
  const std::size_t begin = cursor_ + 1;
  std::size_t end = n;
  for (std::size_t from = begin; from < n;) {
    const void* hit = std::memchr(text + from, '"', n - from);
    if (hit == nullptr) break;
    const std::size_t quote = static_cast<std::size_t>(static_cast<const char*>(hit) - text);
    std::size_t run = 0;
    while (quote - run > begin && text[quote - run - 1] == '\\') ++run;
    if (run % 2 == 0) {
      end = quote;
      break;
    }
    from = quote + 1;
  }
  token.kind = TokenValue;
  token.valueKind = StringValue;
  token.begin = begin;
  token.length = end - begin;
  cursor_ = (end < n) ? end + 1 : n;
}

void TokenScanner::ScanWord(Token& token) {
  const std::size_t n = text_.size();
  std::size_t end = cursor_;
  while (end < n && !IsWordEnd(text_[end])) ++end;
  token.begin = cursor_;
  token.length = end - cursor_;
  token.kind = ClassifyWord(text_.data() + cursor_, token.length, token.valueKind)
                   ? TokenValue
                   : TokenUnknown;
  cursor_ = end;
}

TokenPayload TokenScanner::Payload(const Token& token) const {
  if (token.kind == TokenUnknown) {
    return TokenPayload{StringValue, text_.substr(token.begin, token.length)};
  }
  switch (token.valueKind) {
    case NullValue:
      return TokenPayload{NullValue, std::string()};
    case BoolValue:
      return TokenPayload{BoolValue, Upper(text_[token.begin]) == 'T' ? "true" : "false"};
    default:
      return TokenPayload{token.valueKind, text_.substr(token.begin, token.length)};
  }
}

}  // namespace detail
}  // namespace Jzon
