#include "text_encoding.h"

namespace focusrate {

namespace {

// Length of the well-formed UTF-8 character starting at text[i], or 0.
size_t CharLength(const std::string& text, size_t i) {
  const auto at = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  const unsigned char lead = at(i);
  if (lead < 0x80) return 1;
  size_t length;
  unsigned char low = 0x80, high = 0xBF;  // allowed range of the second byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // overlong
    if (lead == 0xED) high = 0x9F;  // surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;   // overlong
    if (lead == 0xF4) high = 0x8F;  // past U+10FFFF
  } else {
    return 0;
  }
  if (i + length > text.size() || at(i + 1) < low || at(i + 1) > high) return 0;
  for (size_t k = 2; k < length; ++k) {
    if ((at(i + k) & 0xC0) != 0x80) return 0;
  }
  return length;
}

}  // namespace

bool IsValidUtf8(const std::string& text) {
  for (size_t i = 0, n; i < text.size(); i += n) {
    if ((n = CharLength(text, i)) == 0) return false;
  }
  return true;
}

std::string ToValidUtf8(const std::string& text) {
  std::string valid;
  for (size_t i = 0; i < text.size();) {
    const size_t n = CharLength(text, i);
    if (n == 0) {
      valid += "\xEF\xBF\xBD";
      ++i;
    } else {
      valid.append(text, i, n);
      i += n;
    }
  }
  return valid;
}

std::string Base64(const std::string& bytes) {
  static const char kDigits[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    unsigned long group = 0;
    const size_t take = bytes.size() - i < 3 ? bytes.size() - i : 3;
    for (size_t k = 0; k < 3; ++k) {
      group = group << 8 | (k < take ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    }
    for (size_t k = 0; k < 4; ++k) {
      out += k <= take ? kDigits[(group >> (18 - 6 * k)) & 0x3F] : '=';
    }
  }
  return out;
}

}  // namespace focusrate
