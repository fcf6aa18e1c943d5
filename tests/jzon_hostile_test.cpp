// Inputs built to hurt: extreme nesting, unterminated strings, long runs of
// backslashes, NUL bytes and huge numbers. None may crash, hang or leak.
#include <gtest/gtest.h>

#include "jzon_test_util.h"

namespace {

using namespace jzon_test;

std::string NestedArrays(std::size_t depth) { return Repeat("[", depth) + Repeat("]", depth); }

// {"a":[{"a":[...{"a":1}...]}]} with depth containers, alternating kinds;
// one is how the innermost 1 is spelled.
std::string NestedMixed(std::size_t depth, const std::string& one = "1", bool object = true) {
  if (depth == 0) return one;
  const std::string inner = NestedMixed(depth - 1, one, !object);
  return object ? "{\"a\":" + inner + "}" : "[" + inner + "]";
}

TEST(Hostile, NestingStringsBytesNumbersAndComments) {
  const std::string deep = "Maximum nesting depth exceeded", nul(1, '\0');
  const std::string nested = Repeat("/*", 100000) + "2" + Repeat("*/", 100000);
  const std::string run(1 << 20, '\\'), half(1 << 19, '\\');
  const std::string nines = Repeat("9", 100000), huge = "-" + nines + "." + nines;
  const ParseCase cases[] = {
      // A thousand open containers are accepted, one more is not; a root
      // value is not a container, and closed containers no longer count.
      {kArr, NestedArrays(1000), "", NestedArrays(1000)},
      {kObj, NestedMixed(1000), "", NestedMixed(1000, "#1")},
      {kVal, "1" + Repeat("[", 1000), "", "#1"},
      {kArr, "[" + Repeat("[],", 1000) + "]", "", "[" + Repeat("[],", 999) + "[]]"},
      {kArr, NestedArrays(1001), deep, "[]"}, {kObj, NestedMixed(1001), deep, "{}"},
      {kArr, "[1,[2]," + NestedArrays(1000) + "]", deep, "[#1,[#2]]"},
      {kVal, "1" + Repeat("[", 1001), deep, "#1"}, {kArr, Repeat("[", 100000), deep, "[]"},
      // Unterminated strings take the rest of the text, however long.
      {kArr, "[\"" + Repeat("x ", 100000), "", "[\"" + Repeat("x ", 100000) + "\"]"},
      // An even backslash run before a quote ends the string, an odd one
      // escapes it; many escaped quotes in a row each have their own short run.
      {kArr, "[\"" + run + "\", 1]", "", "[\"" + half + "\",#1]"},
      {kArr, "[\"" + run + "\\\", 1]", "", "[\"" + half + "\", 1]\"]"},
      {kVal, "\"" + Repeat("\\\"", 1 << 18) + "\"", "", "\"" + Repeat("\"", 1 << 18) + "\""},
      // NUL is kept in strings and is no whitespace.
      {kArr, "[\"a" + nul + "b\"]", "", "[\"a" + nul + "b\"]"},
      {kArr, "[1" + nul + " 2]", "Unknown token: 1\\x002", "[]"},
      {kVal, nul + "{}", "Unknown token: \\x00", "null"},
      // Huge numbers keep their text (their conversions: jzon_node_test).
      {kArr, "[1e999999999,-1E-999999999," + nines + "," + huge + "]", "",
       "[#1e999999999,#-1E-999999999,#" + nines + ",#" + huge + "]"},
      // Comments: unclosed, nested deeply, or closed far more often than opened.
      {kArr, "[1, /* never closed", "", "[#1]"}, {kArr, "[1," + nested + "3]", "", "[#1,#3]"},
      {kArr, Repeat("*/", 100000) + "[1]", "", "[#1]"},
  };
  for (const ParseCase& c : cases)
    EXPECT_EQ(ParseAs(c.root, c.json), c.Expected()) << c.json.substr(0, 40);
  EXPECT_EQ(Jzon::DetectNodeType(nul + "{}"), kVal);
}

TEST(Hostile, DeepTreesAreClonedWrittenAndDestroyed) {
  for (const std::string& text : {NestedMixed(999), NestedArrays(999)}) {
    const std::unique_ptr<Jzon::Node> root = MakeRoot(Jzon::DetectNodeType(text));
    ASSERT_TRUE(Jzon::TextParser(*root, text).Run());
    EXPECT_EQ(Write(*std::unique_ptr<Jzon::Node>(root->Clone()), Jzon::CompactStyle), text);
  }
}

}  // namespace
