// Escapes shared by the string setters (decoding) and the emitter
// (encoding): the eight two-character escapes, and \uXXXX, which is decoded
// to UTF-8 and written for control characters that have no short escape.
#include "jzon_detail.h"

namespace Jzon {
namespace detail {

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

char FindCharForEscape(char c, char next) {
  for (int i = 0; i < kEscapeCount; ++i) {
    if (EscapeSequences[i][0] == c && EscapeSequences[i][1] == next) {
      return EscapeChars[i];
    }
  }
  return EscapeChars[kEscapeCount];
}

namespace {

// The value of four hex digits at p, or -1 when they are not all hex.
long HexQuad(const char* p) {
  long value = 0;
  for (int i = 0; i < 4; ++i) {
    const char c = p[i];
    const int digit = (c >= '0' && c <= '9')   ? c - '0'
                      : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                      : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                               : -1;
    if (digit < 0) return -1;
    value = value * 16 + digit;
  }
  return value;
}

void AppendUtf8(std::string& out, unsigned long code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

constexpr unsigned long kReplacement = 0xFFFD;

// Decodes the \uXXXX at text[i] (already known to start "\u" and four hex
// digits) and a low surrogate \uXXXX right after a high one. A surrogate
// without its partner becomes U+FFFD, so the result is always valid UTF-8.
// Returns how many characters were consumed.
std::size_t DecodeUnicodeEscape(const std::string& text, std::size_t i, std::string& out) {
  const long unit = HexQuad(text.data() + i + 2);
  if (unit < 0xD800 || unit > 0xDFFF) {
    AppendUtf8(out, static_cast<unsigned long>(unit));
    return 6;
  }
  if (unit <= 0xDBFF && i + 12 <= text.size() && text[i + 6] == '\\' && text[i + 7] == 'u') {
    const long low = HexQuad(text.data() + i + 8);
    if (low >= 0xDC00 && low <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((static_cast<unsigned long>(unit) - 0xD800) << 10) +
                          (static_cast<unsigned long>(low) - 0xDC00));
      return 12;
    }
  }
  AppendUtf8(out, kReplacement);
  return 6;
}

}  // namespace

std::string UnescapeText(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  const std::string::size_type n = text.size();
  for (std::string::size_type i = 0; i < n;) {
    const char c = text[i];
    const char next = i + 1 < n ? text[i + 1] : '\0';
    if (c == '\\' && next == 'u' && i + 6 <= n && HexQuad(text.data() + i + 2) >= 0) {
      i += DecodeUnicodeEscape(text, i, result);
      continue;
    }
    const char decoded = FindCharForEscape(c, next);
    if (decoded != '\0') {
      result += decoded;
      i += 2;  // the pair's second character is consumed with it
    } else {
      result += c;
      ++i;
    }
  }
  return result;
}

std::string EscapeText(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    const int i = EscapeIndex(c);
    const auto byte = static_cast<unsigned char>(c);
    if (i < kEscapeCount) {
      result += EscapeSequences[i];
    } else if (byte < 0x20) {
      // No short escape: raw control characters are not valid JSON.
      result += "\\u00";
      result += kHex[byte >> 4];
      result += kHex[byte & 0xF];
    } else {
      result += c;
    }
  }
  return result;
}

}  // namespace detail
}  // namespace Jzon
