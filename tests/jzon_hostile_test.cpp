// Inputs built to hurt: extreme nesting, unterminated strings, long runs of
// backslashes, NUL bytes and huge numbers. None may crash, hang or leak.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "jzon.h"
#include "jzon_test_util.h"

namespace {

using jzon_test::Describe;
using jzon_test::ParseAs;
using jzon_test::Repeat;

std::string NestedArrays(std::size_t depth) { return Repeat("[", depth) + Repeat("]", depth); }

// {"a":{"a":...{"a":1}...}} with depth objects.
std::string NestedObjects(std::size_t depth) {
  return Repeat("{\"a\":", depth - 1) + "{\"a\":1}" + Repeat("}", depth - 1);
}

TEST(HostileDepth, ThousandOpenContainersAreAccepted) {
  EXPECT_TRUE(ParseAs(Jzon::ArrayNode, NestedArrays(1000)).ok);
  EXPECT_TRUE(ParseAs(Jzon::ObjectNode, NestedObjects(1000)).ok);
  // A root value is not a container: a thousand arrays may open above it.
  EXPECT_TRUE(ParseAs(Jzon::ValueNode, "1" + Repeat("[", 1000)).ok);
}

TEST(HostileDepth, OneMoreFailsAndKeepsWhatWasAttached) {
  const struct {
    Jzon::NodeType root;
    std::string json;
    const char* tree;
  } cases[] = {
      {Jzon::ArrayNode, NestedArrays(1001), "[]"},
      {Jzon::ArrayNode, "[1,[2]," + NestedArrays(1000) + "]", "[#1,[#2]]"},
      {Jzon::ObjectNode, NestedObjects(1001), "{}"},
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

TEST(HostileDepth, DeepTreeIsClonedWrittenAndDestroyed) {
  const std::size_t depth = 999;
  Jzon::Array root;
  Jzon::TextParser parser(root, NestedArrays(depth));
  ASSERT_TRUE(parser.Run()) << parser.ErrorMessage();

  std::unique_ptr<Jzon::Node> copy(root.Clone());
  EXPECT_EQ(Describe(*copy), NestedArrays(depth));
  EXPECT_EQ(jzon_test::Write(root, Jzon::CompactStyle), NestedArrays(depth));

  // Indented: the array at depth k (1..998) stands k tabs in on its opening
  // line and on its closing line.
  const std::string indented = jzon_test::Write(*copy, Jzon::IndentedStyle);
  std::size_t tabs = 0;
  for (char c : indented) tabs += (c == '\t');
  EXPECT_EQ(tabs, 2 * (998 * 999 / 2));
}

TEST(HostileDepth, DeepObjectsKeepTheirNames) {
  Jzon::Object root;
  Jzon::TextParser parser(root, NestedObjects(1000));
  ASSERT_TRUE(parser.Run());
  const Jzon::Node* node = &root;
  std::size_t levels = 0;
  while (node->IsObject()) {
    node = &node->ChildNamed("a");
    ++levels;
  }
  EXPECT_EQ(levels, 1000u);
  EXPECT_EQ(node->ToInt(), 1);
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
  for (std::size_t run = 0; run <= 9; ++run) {
    SCOPED_TRACE(run);
    const std::string slashes = Repeat("\\", run);
    const jzon_test::ParseOutcome out = ParseAs(Jzon::ArrayNode, "[\"" + slashes + "\", 1]");
    EXPECT_TRUE(out.ok) << out.error;
    const std::string half = Repeat("\\", run / 2);
    if (run % 2 == 0) {
      EXPECT_EQ(out.tree, "[\"" + half + "\",#1]");
    } else {
      EXPECT_EQ(out.tree, "[\"" + half + "\", 1]\"]");
    }
  }
}

TEST(HostileStrings, LongBackslashRunsStayLinear) {
  const std::string slashes = Repeat("\\", 1 << 20);
  const jzon_test::ParseOutcome out = ParseAs(Jzon::ArrayNode, "[\"" + slashes + "\"]");
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.tree, "[\"" + Repeat("\\", 1 << 19) + "\"]");
  // Many escaped quotes in a row: each is checked against its own short run.
  const std::string quotes = Repeat("\\\"", 1 << 18);
  EXPECT_EQ(ParseAs(Jzon::ValueNode, "\"" + quotes + "\"").tree,
            "\"" + Repeat("\"", 1 << 18) + "\"");
}

TEST(HostileBytes, NulBytesAreOrdinaryCharacters) {
  const std::string nul(1, '\0');
  EXPECT_EQ(ParseAs(Jzon::ArrayNode, "[\"a" + nul + "b\"]").tree, "[\"a" + nul + "b\"]");
  const jzon_test::ParseOutcome word = ParseAs(Jzon::ArrayNode, "[1" + nul + " 2]");
  EXPECT_FALSE(word.ok);
  EXPECT_EQ(word.error, "Unknown token: 1" + nul + "2");
  EXPECT_EQ(Jzon::DetectNodeType(nul + "{}"), Jzon::ValueNode);
  EXPECT_EQ(ParseAs(Jzon::ValueNode, nul).error, "Unknown token: " + nul);
}

TEST(HostileBytes, ControlAndHighBytesOutsideStringsAreUnknownWords) {
  const jzon_test::ParseOutcome out = ParseAs(Jzon::ArrayNode, "[\x01\xff]");
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.error, "Unknown token: \x01\xff");
}

TEST(HostileNumbers, HugeNumbersKeepTheirText) {
  const std::string digits = Repeat("9", 100000);
  const char* words[] = {"1e999999999", "-1E-999999999", "123456789012345678901234567890"};
  for (const char* word : words) {
    SCOPED_TRACE(word);
    EXPECT_EQ(ParseAs(Jzon::ArrayNode, std::string("[") + word + "]").tree,
              std::string("[#") + word + "]");
  }
  Jzon::Array root;
  Jzon::TextParser parser(root, "[" + digits + ", -" + digits + "." + digits + "]");
  ASSERT_TRUE(parser.Run());
  ASSERT_EQ(root.ChildCount(), 2u);
  EXPECT_EQ(root.ChildAt(0).ToString(), digits);
  // The conversion result of an out-of-range number is not defined, but the
  // call must return.
  (void)root.ChildAt(0).ToDouble();
  (void)root.ChildAt(1).ToInt();
}

TEST(HostileComments, UnclosedAndDeeplyNestedComments) {
  EXPECT_EQ(ParseAs(Jzon::ArrayNode, "[1, /* never closed").tree, "[#1]");
  EXPECT_EQ(ParseAs(Jzon::ArrayNode, "[1," + Repeat("/*", 100000) + "2" + Repeat("*/", 100000) +
                                         "3]").tree,
            "[#1,#3]");
  EXPECT_EQ(ParseAs(Jzon::ArrayNode, Repeat("*/", 100000) + "[1]").tree, "[#1]");
}

}  // namespace
