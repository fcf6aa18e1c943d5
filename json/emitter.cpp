// The two layout constants and the Emitter, which builds the whole document
// as one text in memory by a depth-first walk of the tree.
#include "jzon_detail.h"

namespace Jzon {

const WriteStyle CompactStyle = {false, false, false, 0};
const WriteStyle IndentedStyle = {true, true, true, 1};

namespace detail {

// A WriteStyle turned into the three texts the writers append.
struct ResolvedStyle {
  ResolvedStyle() : indentChar(' ') { Apply(CompactStyle); }

  void Apply(const WriteStyle& applied) {
    style = applied;
    indentChar = style.indentWithTabs ? '\t' : ' ';
    spacer = style.spaced ? " " : "";
    lineBreak = style.multiLine ? "\n" : spacer;
  }

  // Without line breaks there is nothing to indent, whatever the width says.
  void AppendIndentation(std::string& out, unsigned depth) const {
    if (style.multiLine) {
      out.append(static_cast<std::size_t>(style.indentWidth) * depth, indentChar);
    }
  }

  const std::string& LineBreak() const { return lineBreak; }
  const std::string& Spacer() const { return spacer; }

  WriteStyle style;
  char indentChar;
  std::string lineBreak;
  std::string spacer;
};

}  // namespace detail

Emitter::Emitter(const Node& root, const WriteStyle& style)
    : layout_(new detail::ResolvedStyle()), root_(&root) {
  SetStyle(style);
}

Emitter::~Emitter() = default;

void Emitter::SetStyle(const WriteStyle& style) { layout_->Apply(style); }

void Emitter::Write() {
  result_.clear();
  WriteNode(*root_, 0);
}

const std::string& Emitter::GetResult() const { return result_; }

void Emitter::WriteNode(const Node& node, unsigned depth) {
  switch (node.Kind()) {
    case ObjectNode:
      WriteObject(node.AsObject(), depth);
      break;
    case ArrayNode:
      WriteArray(node.AsArray(), depth);
      break;
    case ValueNode:
      WriteValue(node.AsValue());
      break;
  }
}

// Separators open the next member rather than close the previous one, so
// none follows the last member and an empty container still gets one break
// before its closing bracket.
void Emitter::WriteObject(const Object& object, unsigned depth) {
  result_ += '{';
  result_ += layout_->LineBreak();
  bool first = true;
  for (const auto& member : object) {
    if (!first) {
      result_ += ',';
      result_ += layout_->LineBreak();
    }
    first = false;
    layout_->AppendIndentation(result_, depth + 1);
    result_ += '"';
    result_ += detail::EscapeText(member.first);
    result_ += "\":";
    result_ += layout_->Spacer();
    WriteNode(member.second, depth + 1);
  }
  result_ += layout_->LineBreak();
  layout_->AppendIndentation(result_, depth);
  result_ += '}';
}

void Emitter::WriteArray(const Array& array, unsigned depth) {
  result_ += '[';
  result_ += layout_->LineBreak();
  bool first = true;
  for (const Node& element : array) {
    if (!first) {
      result_ += ',';
      result_ += layout_->LineBreak();
    }
    first = false;
    layout_->AppendIndentation(result_, depth + 1);
    WriteNode(element, depth + 1);
  }
  result_ += layout_->LineBreak();
  layout_->AppendIndentation(result_, depth);
  result_ += ']';
}

void Emitter::WriteValue(const Value& value) {
  if (value.IsString()) {
    result_ += '"';
    result_ += detail::EscapeText(value.ToString());
    result_ += '"';
  } else {
    result_ += value.ToString();
  }
}

}  // namespace Jzon
