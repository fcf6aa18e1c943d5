// Helpers shared by the Jzon tests and the fuzz target: a plain description
// of a tree (independent of the emitter, so expectations can be written by
// hand), parsing into a root of a chosen kind, and reading written text back.
#ifndef FOCUSRATE_TESTS_JZON_TEST_UTIL_H
#define FOCUSRATE_TESTS_JZON_TEST_UTIL_H

#include <memory>
#include <string>

#include "jzon.h"

namespace jzon_test {

constexpr Jzon::NodeType kObj = Jzon::ObjectNode, kArr = Jzon::ArrayNode, kVal = Jzon::ValueNode;

// null, true/false, #number, "string" (stored text, no escaping), objects as
// {"name":child,...} with names as stored, arrays as [child,...].
inline std::string Describe(const Jzon::Node& node) {
  if (node.IsNumber()) return "#" + node.ToString();
  if (node.IsString()) return "\"" + node.ToString() + "\"";
  if (node.IsValue()) return node.ToString();
  std::string out;
  if (node.IsObject())
    for (const auto& m : node.AsObject()) out += ",\"" + m.first + "\":" + Describe(m.second);
  else
    for (const Jzon::Node& element : node.AsArray()) out += "," + Describe(element);
  return (node.IsObject() ? "{" : "[") + out.substr(out.empty() ? 0 : 1) +
         (node.IsObject() ? "}" : "]");
}

inline std::unique_ptr<Jzon::Node> MakeRoot(Jzon::NodeType kind) {
  if (kind == kObj) return std::make_unique<Jzon::Object>();
  if (kind == kArr) return std::make_unique<Jzon::Array>();
  return std::make_unique<Jzon::Value>();
}

// What a run gives, as one text: "ok" or "failed", the error message, and
// the tree the root holds afterwards (on failure, whatever was attached before it).
inline std::string Outcome(bool ok, const std::string& error, const std::string& tree) {
  return (ok ? "ok [" : "failed [") + error + "] " + tree;
}

inline std::string ParseAs(Jzon::NodeType kind, const std::string& text) {
  std::unique_ptr<Jzon::Node> root = MakeRoot(kind);
  Jzon::TextParser parser(*root, text);
  const bool ok = parser.Run();
  return Outcome(ok, parser.ErrorMessage(), Describe(*root));
}

// One row of a parsing table: a run succeeds exactly when error is "".
struct ParseCase {
  Jzon::NodeType root;
  std::string json, error, tree;
  std::string Expected() const { return Outcome(error.empty(), error, tree); }
};

inline std::string Write(const Jzon::Node& node, const Jzon::WriteStyle& style) {
  Jzon::Emitter emitter(node, style);
  emitter.Write();
  return emitter.GetResult();
}

// True when the text written for root parses back to the same tree, which
// writes the same text again.
inline bool ReadsBack(const Jzon::Node& root, const Jzon::WriteStyle& style) {
  const std::string text = Write(root, style);
  std::unique_ptr<Jzon::Node> back = MakeRoot(Jzon::DetectNodeType(text));
  Jzon::TextParser parser(*back, text);
  return parser.Run() && Describe(*back) == Describe(root) && Write(*back, style) == text;
}

inline std::string Repeat(const std::string& piece, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

}  // namespace jzon_test

#endif  // FOCUSRATE_TESTS_JZON_TEST_UTIL_H
