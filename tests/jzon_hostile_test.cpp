// Inputs built to hurt: extreme nesting, unterminated strings, long runs of
// backslashes, NUL bytes and huge numbers. None may crash, hang or leak.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "jzon.h"
#include "jzon_test_util.h"

namespace {

using jzon_test::ParseAs;
using jzon_test::Repeat;

std::string NestedArrays(std::size_t depth) { return Repeat("[", depth) + Repeat("]", depth); }

// {"a":[{"a":[...{"a":1}...]}]} with depth containers, alternating kinds.
std::string NestedMixed(std::size_t depth) {
  std::string open, close;
  for (std::size_t d = 0; d + 1 < depth; ++d) {
    open += d % 2 == 0 ? "{\"a\":" : "[";
    close.insert(0, d % 2 == 0 ? "}" : "]");
  }
  return open + (depth % 2 == 1 ? "{\"a\":1}" : "[1]") + close;
}

TEST(HostileDepth, ThousandOpenContainersAreAcceptedOneMoreIsNot) {
  EXPECT_TRUE(ParseAs(Jzon::ArrayNode, NestedArrays(1000)).ok);
  EXPECT_TRUE(ParseAs(Jzon::ObjectNode, NestedMixed(1000)).ok);
  // A root value is not a container: a thousand arrays may open above it.
  EXPECT_TRUE(ParseAs(Jzon::ValueNode, "1" + Repeat("[", 1000)).ok);
  const struct { Jzon::NodeType root; std::string json; const char* tree; } cases[] = {
      {Jzon::ArrayNode, NestedArrays(1001), "[]"},
      {Jzon::ArrayNode, "[1,[2]," + NestedArrays(1000) + "]", "[#1,[#2]]"},
      {Jzon::ObjectNode, NestedMixed(1001), "{}"},
      {Jzon::ValueNode, "1" + Repeat("[", 1001), "#1"},
      {Jzon::ArrayNode, Repeat("[", 100000), "[]"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json.substr(0, 20));
    const jzon_test::ParseOutcome out = ParseAs(c.root, c.json);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, "Maximum nesting depth exceeded");
    EXPECT_EQ(out.tree, c.tree);
  }
}

TEST(HostileDepth, DeepTreesAreClonedWrittenAndDestroyed) {
  const std::string mixed = NestedMixed(999);
  Jzon::Object object;
  ASSERT_TRUE(Jzon::TextParser(object, mixed).Run());
  const std::unique_ptr<Jzon::Node> objectCopy(object.Clone());
  EXPECT_EQ(jzon_test::Write(*objectCopy, Jzon::CompactStyle), mixed);

  Jzon::Array array;
  ASSERT_TRUE(Jzon::TextParser(array, NestedArrays(999)).Run());
  const std::unique_ptr<Jzon::Node> copy(array.Clone());
  // The array at depth d stands d tabs in; the innermost one is empty.
  std::string indented;
  for (int d = 0; d < 998; ++d) indented += std::string(d, '\t') + "[\n";
  indented += std::string(998, '\t') + "[\n\n" + std::string(998, '\t') + "]";
  for (int d = 997; d >= 0; --d) indented += "\n" + std::string(d, '\t') + "]";
  EXPECT_EQ(jzon_test::Write(*copy, Jzon::IndentedStyle), indented);
}

TEST(HostileStrings, UnterminatedStringsTakeTheRest) {
  EXPECT_EQ(ParseAs(Jzon::ValueNode, "\"abc").tree, "\"abc\"");
  EXPECT_EQ(ParseAs(Jzon::ArrayNode, "[\"").tree, "[\"\"]");
  EXPECT_EQ(ParseAs(Jzon::ObjectNode, "{\"a\":\"b, c:1").tree, "{\"a\":\"b, c:1\"}");
  const jzon_test::ParseOutcome out = ParseAs(Jzon::ArrayNode, "[\"" + Repeat("x ", 100000));
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.tree, "[\"" + Repeat("x ", 100000) + "\"]");
}

TEST(HostileStrings, BackslashRunsDecideWhereStringsEnd) {
  // An even run before the quote closes the string; an odd run escapes it,
  // and the string then runs to the end of the text.
  for (std::size_t run : {0, 1, 2, 3, 8, 9, 1 << 20, (1 << 20) + 1}) {
    SCOPED_TRACE(run);
    const jzon_test::ParseOutcome out =
        ParseAs(Jzon::ArrayNode, "[\"" + Repeat("\\", run) + "\", 1]");
    EXPECT_TRUE(out.ok) << out.error;
    const std::string half = Repeat("\\", run / 2);
    EXPECT_EQ(out.tree, run % 2 == 0 ? "[\"" + half + "\",#1]" : "[\"" + half + "\", 1]\"]");
  }
  // Many escaped quotes in a row: each is checked against its own short run.
  EXPECT_EQ(ParseAs(Jzon::ValueNode, "\"" + Repeat("\\\"", 1 << 18) + "\"").tree,
            "\"" + Repeat("\"", 1 << 18) + "\"");
}

TEST(HostileBytes, NulControlAndHighBytes) {
  const std::string nul(1, '\0');
  EXPECT_EQ(ParseAs(Jzon::ArrayNode, "[\"a" + nul + "b\"]").tree, "[\"a" + nul + "b\"]");
  EXPECT_EQ(ParseAs(Jzon::ArrayNode, "[1" + nul + " 2]").error, "Unknown token: 1" + nul + "2");
  EXPECT_EQ(ParseAs(Jzon::ValueNode, nul).error, "Unknown token: " + nul);
  EXPECT_EQ(Jzon::DetectNodeType(nul + "{}"), Jzon::ValueNode);
  EXPECT_EQ(ParseAs(Jzon::ArrayNode, "[\x01\xff]").error, "Unknown token: \x01\xff");
}

TEST(HostileNumbers, HugeNumbersKeepTheirText) {
  const std::string digits = Repeat("9", 100000);
  for (const std::string& word : {std::string("1e999999999"), std::string("-1E-999999999"),
                                  digits, "-" + digits + "." + digits}) {
    SCOPED_TRACE(word.substr(0, 20));
    Jzon::Array root;
    ASSERT_TRUE(Jzon::TextParser(root, "[" + word + "]").Run());
    EXPECT_EQ(root.ChildAt(0).ToString(), word);
    // The conversion of an out-of-range number is not defined, but must return.
    (void)root.ChildAt(0).ToDouble();
    (void)root.ChildAt(0).ToInt();
  }
}

TEST(HostileComments, UnclosedAndDeeplyNestedComments) {
  EXPECT_EQ(ParseAs(Jzon::ArrayNode, "[1, /* never closed").tree, "[#1]");
  const std::string nested = Repeat("/*", 100000) + "2" + Repeat("*/", 100000);
  EXPECT_EQ(ParseAs(Jzon::ArrayNode, "[1," + nested + "3]").tree, "[#1,#3]");
  EXPECT_EQ(ParseAs(Jzon::ArrayNode, Repeat("*/", 100000) + "[1]").tree, "[#1]");
}

}  // namespace
