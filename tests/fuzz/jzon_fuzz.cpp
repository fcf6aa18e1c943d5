// libFuzzer target: arbitrary bytes are parsed into each kind of root; the
// tree is written, cloned and destroyed. Whatever the parser builds must
// also read back from its own written text to the same text.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "jzon.h"

namespace {

std::string Write(const Jzon::Node& node, const Jzon::WriteStyle& style) {
  Jzon::Emitter emitter(node, style);
  emitter.Write();
  return emitter.GetResult();
}

std::unique_ptr<Jzon::Node> MakeRoot(Jzon::NodeType kind) {
  switch (kind) {
    case Jzon::ObjectNode:
      return std::make_unique<Jzon::Object>();
    case Jzon::ArrayNode:
      return std::make_unique<Jzon::Array>();
    default:
      return std::make_unique<Jzon::Value>();
  }
}

void Exercise(Jzon::NodeType kind, const std::string& text) {
  std::unique_ptr<Jzon::Node> root = MakeRoot(kind);
  Jzon::TextParser parser(*root, text);
  const bool ok = parser.Run();
  if (ok != parser.ErrorMessage().empty()) __builtin_trap();

  const std::unique_ptr<Jzon::Node> copy(root->Clone());
  const std::string compact = Write(*copy, Jzon::CompactStyle);
  if (Write(*root, Jzon::IndentedStyle).size() < compact.size()) __builtin_trap();

  std::unique_ptr<Jzon::Node> again = MakeRoot(Jzon::DetectNodeType(compact));
  Jzon::TextParser reparse(*again, compact);
  if (!reparse.Run() || Write(*again, Jzon::CompactStyle) != compact) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  Exercise(Jzon::ObjectNode, text);
  Exercise(Jzon::ArrayNode, text);
  Exercise(Jzon::ValueNode, text);
  return 0;
}
