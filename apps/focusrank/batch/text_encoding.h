// A path is bytes; JSON text is UTF-8. These let a JSON row show any path
// readably and still carry its exact bytes.
#ifndef FOCUSRATE_TEXT_ENCODING_H
#define FOCUSRATE_TEXT_ENCODING_H

#include <string>

namespace focusrate {

/// Whether text is well-formed UTF-8 (no overlong forms, surrogates or
/// code points past U+10FFFF).
bool IsValidUtf8(const std::string& text);

/// text with each byte that is not part of a well-formed UTF-8 character
/// replaced by U+FFFD.
std::string ToValidUtf8(const std::string& text);

/// Standard base64 (RFC 4648, with padding).
std::string Base64(const std::string& bytes);

}  // namespace focusrate

#endif  // FOCUSRATE_TEXT_ENCODING_H
