// libFuzzer target: arbitrary bytes are parsed into each kind of root; the
// tree is cloned, written and destroyed. Whatever the parser builds must
// read back from its own written text to the same tree.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "../jzon_test_util.h"

namespace {

void Exercise(Jzon::NodeType kind, const std::string& text) {
  std::unique_ptr<Jzon::Node> root = jzon_test::MakeRoot(kind);
  Jzon::TextParser parser(*root, text);
  if (parser.Run() != parser.ErrorMessage().empty()) __builtin_trap();

  const std::unique_ptr<Jzon::Node> copy(root->Clone());
  const std::string compact = jzon_test::Write(*copy, Jzon::CompactStyle);
  if (jzon_test::Write(*root, Jzon::IndentedStyle).size() < compact.size()) __builtin_trap();
  if (!jzon_test::ReadsBack(*copy, Jzon::CompactStyle)) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  Exercise(Jzon::ObjectNode, text);
  Exercise(Jzon::ArrayNode, text);
  Exercise(Jzon::ValueNode, text);
  return 0;
}
