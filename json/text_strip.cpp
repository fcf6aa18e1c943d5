// Removal of comments and whitespace outside strings, and kind detection.
#include <cstddef>
#include <string>

#include "jzon_detail.h"

namespace Jzon {
namespace {

// How a character of plain text (outside strings and comments) is handled.
enum PlainClass : unsigned char {
  kCopy,     // kept as it is
  kBlank,    // whitespace, dropped
  kSpecial,  // may start or end a string or comment: needs the full rule
};

struct PlainTable {
  PlainClass of[256];
  constexpr PlainTable() : of() {
    for (PlainClass& c : of) c = kCopy;
    for (unsigned char c : {'\n', ' ', '\t', '\r', '\f'}) of[c] = kBlank;
    for (unsigned char c : {'"', '\\', '/', '*'}) of[c] = kSpecial;
  }
};

constexpr PlainTable kPlain;

// The stripping state machine. Quotes outside comments flip the string
// state unless an odd run of backslashes precedes them; comment markers
// count only outside strings; block comments nest.
class Stripper {
 public:
  Stripper(const std::string& in, char* out, std::size_t limit)
      : src_(in.data()), n_(in.size()), dst_(out), limit_(limit) {}

  // Writes up to limit significant characters; returns how many.
  std::size_t Run() {
    while (i_ < n_ && kept_ < limit_) {
      const bool hidden = lineComment_ || depth_ > 0;
      if (!hidden && !inString_) {
        CopyPlain();
      } else if (!hidden) {
        CopyStringContent();
      }
      if (i_ < n_ && kept_ < limit_) Step();
    }
    return kept_;
  }

 private:
  // Fast path: plain characters up to the next special one.
  void CopyPlain() {
    const std::size_t from = i_;
    while (i_ < n_ && kept_ < limit_) {
      const PlainClass c = kPlain.of[static_cast<unsigned char>(src_[i_])];
      if (c == kSpecial) break;
      if (c == kCopy) dst_[kept_++] = src_[i_];
      ++i_;
    }
    if (i_ != from) escaped_ = false;
  }

  // Fast path: string content up to the closing quote; a backslash takes
  // the next character with it, so an escaped quote never closes.
  void CopyStringContent() {
    while (i_ < n_ && kept_ < limit_ && src_[i_] != '"') {
      const char c = src_[i_++];
      dst_[kept_++] = c;
      if (c == '\\' && i_ < n_ && kept_ < limit_) dst_[kept_++] = src_[i_++];
      escaped_ = false;
    }
  }

  // The full rule for the character at i_.
  void Step() {
    const char c = src_[i_++];
    // Inside a comment quotes and backslashes mean nothing: a quote there
    // must not open a string that swallows the rest of the document.
    const bool inComment = lineComment_ || depth_ > 0;
    if (c == '"' && !escaped_ && !inComment) inString_ = !inString_;
    escaped_ = (c == '\\') && !escaped_ && !inComment;
    if (!inString_) {
      const char next = (i_ < n_) ? src_[i_] : '\0';
      if (c == '/' && next == '*') {
        ++depth_;
        ++i_;
        return;
      }
      if (c == '*' && next == '/') {
        --depth_;
        ++i_;
        return;
      }
      if (c == '/' && next == '/') {
        lineComment_ = true;
        ++i_;
        return;
      }
      if (c == '\n') lineComment_ = false;
    }
    if (lineComment_ || depth_ > 0) return;
    if (!inString_ && kPlain.of[static_cast<unsigned char>(c)] == kBlank) return;
    dst_[kept_++] = c;
  }

  const char* src_;
  std::size_t n_;
  char* dst_;
  std::size_t limit_;
  std::size_t i_ = 0;
  std::size_t kept_ = 0;
  bool inString_ = false;
  bool lineComment_ = false;
  long long depth_ = 0;   // a stray "*/" may drive it below zero
  bool escaped_ = false;  // an odd run of backslashes stands right before i_
};

}  // namespace

namespace detail {

void StripCommentsAndWhitespace(const std::string& in, std::string& out) {
  out.assign(in.size(), '\0');
  out.resize(Stripper(in, &out[0], in.size()).Run());
}

}  // namespace detail

NodeType DetectNodeType(const std::string& json) {
  char first = '\0';
  if (Stripper(json, &first, 1).Run() == 0) return ValueNode;
  if (first == '{') return ObjectNode;
  if (first == '[') return ArrayNode;
  return ValueNode;
}

}  // namespace Jzon
