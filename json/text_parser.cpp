// TextParser: builds a node tree below the caller's root from stripped text,
// pulling one token at a time from the scanner.
#include <memory>
#include <utility>
#include <vector>

#include "jzon.h"
#include "text_scanner.h"

namespace Jzon {

// The token types are internal to Jzon.
using namespace detail;

namespace {

// Deeper documents are refused so that every tree the parser accepts can be
// copied, written and destroyed by recursive walks without exhausting the
// call stack.
constexpr std::size_t kMaxDepth = 1000;

// One container (or the root value) still being filled.
struct OpenNode {
  std::string name;             // attached under this name when it closes
  NodeType kind;                // kept to spare a virtual call per child
  Node* node;                   // the caller's root, or owned below
  std::unique_ptr<Node> owned;  // null for the root, which the caller owns
};

void Fill(Value& value, const TokenPayload& payload) {
  // Without a backslash there is nothing to decode, so skip UnescapeText.
  if (payload.kind == StringValue && payload.text.find('\\') != std::string::npos) {
    value.Set(payload.text);
  } else {
    value.SetRaw(payload.kind, payload.text);
  }
}

// The stack of open containers and the pending member name of one run.
// Closed containers move into their parent, so building is linear in the
// size of the document whatever its depth.
class TreeBuilder {
 public:
  TreeBuilder(Node& root, std::string& error) : root_(root), error_(error), containers_(0) {}

  bool Open(TokenKind kind) {
    const bool object = (kind == TokenObjectBegin);
    if (containers_ >= kMaxDepth) return Fail("Maximum nesting depth exceeded");
    if (stack_.empty()) {
      if (object && !root_.IsObject()) return Fail("The given root node is not an object");
      if (!object && !root_.IsArray()) return Fail("The given root node is not an array");
      stack_.push_back(OpenNode{std::move(name_), root_.Kind(), &root_, nullptr});
    } else {
      std::unique_ptr<Node> node;
      if (object) {
        node = std::make_unique<Object>();
      } else {
        node = std::make_unique<Array>();
      }
      Node* raw = node.get();
      stack_.push_back(OpenNode{std::move(name_), raw->Kind(), raw, std::move(node)});
    }
    name_.clear();
    ++containers_;
    return true;
  }

  bool Close(TokenKind kind) {
    if (stack_.empty()) return Fail("Found end of object or array without beginning");
    const NodeType top = stack_.back().kind;
    if (kind == TokenObjectEnd && top != ObjectNode) {
      return Fail("Mismatched end and beginning of object");
    }
    if (kind == TokenArrayEnd && top != ArrayNode) {
      return Fail("Mismatched end and beginning of array");
    }
    OpenNode closed = std::move(stack_.back());
    stack_.pop_back();
    --containers_;
    if (stack_.empty()) return true;  // the root itself was closed
    const OpenNode& parent = stack_.back();
    if (parent.kind == ObjectNode) {
      static_cast<Object*>(parent.node)->Adopt(closed.name, std::move(closed.owned));
    } else if (parent.kind == ArrayNode) {
      static_cast<Array*>(parent.node)->Adopt(std::move(closed.owned));
    } else {
      return Fail("Can only add elements to objects and arrays");
    }
    return true;
  }

  bool Name(TokenPayload payload) {
    if (payload.kind != StringValue) return Fail("A name has to be a string");
    // Decoded like a string value, so a name read from text means the same
    // as one given to Add.
    name_ = payload.text.find('\\') == std::string::npos ? std::move(payload.text)
                                                         : UnescapeText(payload.text);
    return true;
  }

  bool Place(const TokenPayload& payload) {
    if (stack_.empty()) {
      if (!root_.IsValue()) return Fail("The given root node is not a value");
      Fill(root_.AsValue(), payload);
      stack_.push_back(OpenNode{std::move(name_), ValueNode, &root_, nullptr});
    } else {
      const OpenNode& parent = stack_.back();
      // A value below a root value has nowhere to go and is dropped.
      if (parent.kind != ValueNode) {
        std::unique_ptr<Value> value = std::make_unique<Value>();
        Fill(*value, payload);
        if (parent.kind == ObjectNode) {
          static_cast<Object*>(parent.node)->Adopt(name_, std::move(value));
        } else {
          static_cast<Array*>(parent.node)->Adopt(std::move(value));
        }
      }
    }
    name_.clear();
    return true;
  }

 private:
  bool Fail(const char* message) {
    error_ = message;
    return false;
  }

  Node& root_;
  std::string& error_;
  std::vector<OpenNode> stack_;
  std::string name_;
  std::size_t containers_;  // open containers; a root value is not one
};

}  // namespace

TextParser::TextParser(Node& root, const std::string& json) : root_(root) { SetText(json); }

void TextParser::SetText(const std::string& json) { StripCommentsAndWhitespace(json, text_); }

bool TextParser::Run() { return BuildTree(); }

const std::string& TextParser::ErrorMessage() const { return error_; }

bool TextParser::BuildTree() {
  TokenScanner scanner(text_);
  TreeBuilder builder(root_, error_);
  detail::Token token;
  detail::Token ahead;
  bool haveAhead = false;
  for (;;) {
    if (haveAhead) {
      token = ahead;
      haveAhead = false;
    } else if (!scanner.Next(token)) {
      return true;
    }
    bool ok = true;
    switch (token.kind) {
      case TokenUnknown:
        error_ = "Unknown token: " + detail::QuoteForMessage(scanner.Payload(token).text);
        return false;
      case TokenObjectBegin:
      case TokenArrayBegin:
        ok = builder.Open(token.kind);
        break;
      case TokenObjectEnd:
      case TokenArrayEnd:
        ok = builder.Close(token.kind);
        break;
      case TokenValue:
        // A value followed by a colon is a member name.
        haveAhead = scanner.Next(ahead);
        if (haveAhead && ahead.kind == TokenColon) {
          haveAhead = false;
          ok = builder.Name(scanner.Payload(token));
        } else {
          ok = builder.Place(scanner.Payload(token));
        }
        break;
      case TokenComma:
      case TokenColon:
        break;  // separators are optional and may repeat
    }
    if (!ok) return false;
  }
}

}  // namespace Jzon
