// libFuzzer target: arbitrary bytes are parsed into each kind of root; the
// tree is cloned, written and destroyed. Whatever the parser builds must
// read back from its own written text to the same tree, under either style.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "../jzon_test_util.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const Jzon::NodeType kind : {Jzon::ObjectNode, Jzon::ArrayNode, Jzon::ValueNode}) {
    std::unique_ptr<Jzon::Node> root = jzon_test::MakeRoot(kind);
    Jzon::TextParser parser(*root, text);
    if (parser.Run() != parser.ErrorMessage().empty()) __builtin_trap();
    const std::unique_ptr<Jzon::Node> copy(root->Clone());
    for (const Jzon::WriteStyle& style : {Jzon::CompactStyle, Jzon::IndentedStyle}) {
      if (!jzon_test::ReadsBack(*copy, style)) __builtin_trap();
    }
  }
  return 0;
}
