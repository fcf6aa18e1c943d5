// Helpers shared by the Jzon reading tests: a plain description of a tree
// (independent of the emitter, so expectations can be written by hand),
// parsing into a root of a chosen kind, and temporary files.
#ifndef FOCUSRATE_TESTS_JZON_TEST_UTIL_H
#define FOCUSRATE_TESTS_JZON_TEST_UTIL_H

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "jzon.h"

namespace jzon_test {

// null, true/false, #number, "string" (stored text, no escaping), objects as
// {"name":child,...} with names as stored, arrays as [child,...].
inline std::string Describe(const Jzon::Node& node) {
  if (node.IsObject()) {
    std::string out = "{";
    const char* sep = "";
    for (const auto& member : node.AsObject()) {
      out += sep;
      out += "\"" + member.first + "\":" + Describe(member.second);
      sep = ",";
    }
    return out + "}";
  }
  if (node.IsArray()) {
    std::string out = "[";
    const char* sep = "";
    for (const Jzon::Node& element : node.AsArray()) {
      out += sep;
      out += Describe(element);
      sep = ",";
    }
    return out + "]";
  }
  if (node.IsNull()) return "null";
  if (node.IsNumber()) return "#" + node.ToString();
  if (node.IsString()) return "\"" + node.ToString() + "\"";
  return node.ToString();
}

inline std::unique_ptr<Jzon::Node> MakeRoot(Jzon::NodeType kind) {
  switch (kind) {
    case Jzon::ObjectNode:
      return std::make_unique<Jzon::Object>();
    case Jzon::ArrayNode:
      return std::make_unique<Jzon::Array>();
    default:
      return std::make_unique<Jzon::Value>();
  }
}

struct ParseOutcome {
  bool ok;
  std::string error;
  std::string tree;  // Describe of the root after the run
};

inline ParseOutcome ParseAs(Jzon::NodeType kind, const std::string& text) {
  std::unique_ptr<Jzon::Node> root = MakeRoot(kind);
  Jzon::TextParser parser(*root, text);
  const bool ok = parser.Run();
  return ParseOutcome{ok, parser.ErrorMessage(), Describe(*root)};
}

inline std::string Write(const Jzon::Node& node, const Jzon::WriteStyle& style) {
  Jzon::Emitter emitter(node, style);
  emitter.Write();
  return emitter.GetResult();
}

inline std::string Repeat(const std::string& piece, std::size_t times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += piece;
  return out;
}

// A file holding the given bytes for the lifetime of the object.
class TempFile {
 public:
  explicit TempFile(const std::string& bytes)
      : path_(testing::TempDir() + "jzon_" + CurrentTestName() + "_" +
              std::to_string(counter_++) + ".json") {
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const std::string& path() const { return path_; }

 private:
  static std::string CurrentTestName() {
    const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
    return std::string(info->test_suite_name()) + "_" + info->name();
  }

  static inline int counter_ = 0;
  std::string path_;
};

}  // namespace jzon_test

#endif  // FOCUSRATE_TESTS_JZON_TEST_UTIL_H
