#include <gtest/gtest.h>

#include <random>
#include <string>

#include "jzon.h"
#include "jzon_test_util.h"

namespace {

using jzon_test::ParseAs;

std::string Strip(const std::string& in) {
  std::string out = "left over";
  Jzon::StripCommentsAndWhitespace(in, out);
  return out;
}

struct StripCase {
  const char* in;
  const char* out;
};

TEST(TextParserStrip, RemovesCommentsAndWhitespaceOutsideStrings) {
  const StripCase cases[] = {
      {"", ""},
      {" \t\r\n\f1\v2", "1\v2"},  // vertical tab is not whitespace here
      {"{ \"a b\" : 1 } // c\n2", "{\"a b\":1}2"},
      {"\"a /* b */ // c\"", "\"a /* b */ // c\""},
      {"/* a /* b */ c */x", "x"},
      {"/*/ x */y", "y"},
      {"1/**/2", "12"},
      {"// only a comment", ""},
      {"a//b\r\nc", "ac"},
  };
  for (const StripCase& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(Strip(c.in), c.out);
  }
}

TEST(TextParserStrip, StrayCloseMarkerLeavesNextCommentVisible) {
  // "*/" takes the depth to -1; the next "/*" only brings it back to 0.
  EXPECT_EQ(Strip("*/ /* a */ b"), "ab");
  EXPECT_EQ(Strip("*/ /* a */ /* b */ c"), "abc");
}

TEST(TextParserStrip, MarkersInsideOtherCommentsStillCount) {
  // "/*" inside a line comment lasts past the end of the line.
  EXPECT_EQ(Strip("// /* \n x */ y"), "y");
  // "//" inside a block comment hides the rest of its line.
  EXPECT_EQ(Strip("/* // */ a\nb"), "b");
}

TEST(TextParserStrip, QuotesInsideCommentsFlipStringState) {
  // The odd quote in the comment hides the line break, so the comment runs
  // to the line break after the next quote.
  EXPECT_EQ(Strip("[1, // \"quote\n2, \"\n3]"), "[1,3]");
  EXPECT_EQ(Strip("[1, // \"a\" \n2]"), "[1,2]");
}

TEST(TextParserStrip, QuoteAfterOddBackslashRunStaysInString) {
  const StripCase cases[] = {
      {R"("a\" b")", R"("a\" b")"},
      {R"("a\\" b "c d")", R"("a\\"b"c d")"},
      {R"("a\\\" b")", R"("a\\\" b")"},
      {R"("a\\\\" b)", R"("a\\\\"b)"},
  };
  for (const StripCase& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(Strip(c.in), c.out);
  }
}

// The stripping rule applied one character at a time, written for reading:
// the library's version takes fast paths through plain text and strings.
std::string ReferenceStrip(const std::string& in) {
  std::string out;
  bool inString = false;
  bool lineComment = false;
  int depth = 0;
  std::size_t backslashes = 0;  // length of the backslash run before i
  for (std::size_t i = 0; i < in.size(); ++i) {
    const char c = in[i];
    const char next = i + 1 < in.size() ? in[i + 1] : '\0';
    if (c == '"' && backslashes % 2 == 0) inString = !inString;
    backslashes = (c == '\\') ? backslashes + 1 : 0;
    if (!inString) {
      const std::string pair{c, next};
      if (pair == "/*" || pair == "*/" || pair == "//") {
        depth += (pair == "/*") - (pair == "*/");
        lineComment = lineComment || pair == "//";
        ++i;  // the marker's second character is no backslash
        continue;
      }
      if (c == '\n') lineComment = false;
    }
    if (lineComment || depth > 0) continue;
    if (!inString && std::string(" \t\r\n\f").find(c) != std::string::npos) continue;
    out += c;
  }
  return out;
}

TEST(TextParserStrip, AgreesWithCharacterRuleOnRandomText) {
  const std::string alphabet = "\"\\/*\n a{";
  std::mt19937 rng(7);
  for (int round = 0; round < 20000; ++round) {
    std::string in(rng() % 24, ' ');
    for (char& c : in) c = alphabet[rng() % alphabet.size()];
    SCOPED_TRACE(in);
    ASSERT_EQ(Strip(in), ReferenceStrip(in));
    const std::string first = ReferenceStrip(in).substr(0, 1);
    const Jzon::NodeType kind = first == "{" ? Jzon::ObjectNode : Jzon::ValueNode;
    ASSERT_EQ(Jzon::DetectNodeType(in), kind);
  }
}

TEST(DetectNodeType, LooksAtTheFirstSignificantCharacter) {
  const struct {
    const char* text;
    Jzon::NodeType kind;
  } cases[] = {
      {"", Jzon::ValueNode},         {"  // c\n", Jzon::ValueNode},
      {" /* { */ [1]", Jzon::ArrayNode}, {"\n{", Jzon::ObjectNode},
      {"1", Jzon::ValueNode},        {"\"{\"", Jzon::ValueNode},
      {"//x\n{}", Jzon::ObjectNode}, {"]", Jzon::ValueNode},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Jzon::DetectNodeType(c.text), c.kind);
  }
}

struct TreeCase {
  const char* json;
  const char* tree;
};

void ExpectArrayTrees(const TreeCase* begin, const TreeCase* end) {
  for (const TreeCase* c = begin; c != end; ++c) {
    SCOPED_TRACE(c->json);
    const jzon_test::ParseOutcome out = ParseAs(Jzon::ArrayNode, c->json);
    EXPECT_TRUE(out.ok) << out.error;
    EXPECT_EQ(out.tree, c->tree);
  }
}

TEST(TextParserWords, KeywordsInAnyCaseAndNumbersAsWritten) {
  const TreeCase cases[] = {
      {"[1 2]", "[#12]"},
      {"[tr ue]", "[true]"},
      {"[null, Null, NULL, nULl]", "[null,null,null,null]"},
      {"[TRUE, True, fAlSe]", "[true,true,false]"},
      {"[-, 1.2.3, --5, -0.50]", "[#-,#1.2.3,#--5,#-0.50]"},
  };
  ExpectArrayTrees(std::begin(cases), std::end(cases));
}

TEST(TextParserWords, ExponentNumbersAreNumbers) {
  const TreeCase cases[] = {
      {"[1e5, 1E22, -2.5e-3]", "[#1e5,#1E22,#-2.5e-3]"},
      {"[1.23457e+06, 1e-005, 0e1]", "[#1.23457e+06,#1e-005,#0e1]"},
      {"[1 e5]", "[#1e5]"},  // whitespace has gone before words are cut
  };
  ExpectArrayTrees(std::begin(cases), std::end(cases));
}

TEST(TextParserWords, OtherWordsAreUnknownTokens) {
  const char* words[] = {"+1", "e5", "1e", "0x10", "nan", "1.e5", ".5e1", "01e5",
                         "1e5.0", "1e+", "Infinity", "abc", "truex", "-1e5-"};
  for (const char* word : words) {
    SCOPED_TRACE(word);
    const jzon_test::ParseOutcome out = ParseAs(Jzon::ArrayNode, std::string("[0,") + word + "]");
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, std::string("Unknown token: ") + word);
    EXPECT_EQ(out.tree, "[#0]");
  }
}

TEST(TextParserStrings, ValuesAreDecodedNamesKeptAsWritten) {
  const jzon_test::ParseOutcome out = ParseAs(Jzon::ObjectNode, R"({"a\nb": "a\nb"})");
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.tree, "{\"a\\nb\":\"a\nb\"}");
}

TEST(TextParserStrings, EscapedBackslashEndsTheString) {
  const TreeCase cases[] = {
      {R"(["a\\" , "b"])", R"(["a\","b"])"},
      {R"(["a\\\"b"])", R"(["a\"b"])"},
      {R"(["a\" b"])", R"(["a" b"])"},
      {"[\"a /* b */ // c\"]", "[\"a /* b */ // c\"]"},
  };
  ExpectArrayTrees(std::begin(cases), std::end(cases));
}

TEST(TextParserStrings, UnterminatedStringTakesTheRest) {
  const TreeCase cases[] = {
      {"[\"abc def", "[\"abc def\"]"},
      {R"(["a\"])", R"(["a"]"])"},
  };
  ExpectArrayTrees(std::begin(cases), std::end(cases));
}

TEST(TextParserBuild, SeparatorsMayBeMissingOrRepeated) {
  const TreeCase cases[] = {
      {"[1,,2]", "[#1,#2]"},
      {"[1 \"a\"]", "[#1,\"a\"]"},
      {"[,1,]", "[#1]"},
      {"[[1][2]]", "[[#1],[#2]]"},
  };
  ExpectArrayTrees(std::begin(cases), std::end(cases));
  const jzon_test::ParseOutcome out = ParseAs(Jzon::ObjectNode, R"({"a":1 "b":2,,})");
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.tree, R"({"a":#1,"b":#2})");
}

struct FailCase {
  Jzon::NodeType root;
  const char* json;
  const char* error;
  const char* tree;  // what the root keeps
};

TEST(TextParserBuild, EachFailureHasItsMessage) {
  const FailCase cases[] = {
      {Jzon::ObjectNode, "{1:2}", "A name has to be a string", "{}"},
      {Jzon::ObjectNode, "{\"a\":1, null:2}", "A name has to be a string", R"({"a":#1})"},
      {Jzon::ObjectNode, "{\"a\":[1,2}", "Mismatched end and beginning of object", "{}"},
      {Jzon::ArrayNode, "[{]", "Mismatched end and beginning of array", "[]"},
      {Jzon::ObjectNode, "{}}", "Found end of object or array without beginning", "{}"},
      {Jzon::ArrayNode, "]", "Found end of object or array without beginning", "[]"},
      {Jzon::ObjectNode, "[1]", "The given root node is not an array", "{}"},
      {Jzon::ArrayNode, "{}", "The given root node is not an object", "[]"},
      {Jzon::ValueNode, "{}", "The given root node is not an object", "null"},
      {Jzon::ValueNode, "[]", "The given root node is not an array", "null"},
      {Jzon::ObjectNode, "{}1", "The given root node is not a value", "{}"},
      {Jzon::ArrayNode, "\"a\"", "The given root node is not a value", "[]"},
      {Jzon::ValueNode, "1[2]", "Can only add elements to objects and arrays", "#1"},
      {Jzon::ValueNode, "1}", "Mismatched end and beginning of object", "#1"},
      {Jzon::ValueNode, "1]", "Mismatched end and beginning of array", "#1"},
      {Jzon::ObjectNode, "{\"a\":x}", "Unknown token: x", "{}"},
      {Jzon::ObjectNode, "{abc:1}", "Unknown token: abc", "{}"},
  };
  for (const FailCase& c : cases) {
    SCOPED_TRACE(c.json);
    const jzon_test::ParseOutcome out = ParseAs(c.root, c.json);
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, c.error);
    EXPECT_EQ(out.tree, c.tree);
  }
}

TEST(TextParserBuild, FirstOffendingTokenDecides) {
  EXPECT_EQ(ParseAs(Jzon::ObjectNode, "{\"a\":x, 1:2}").error, "Unknown token: x");
  EXPECT_EQ(ParseAs(Jzon::ObjectNode, "{1:x}").error, "A name has to be a string");
  EXPECT_EQ(ParseAs(Jzon::ArrayNode, "[}x").error, "Mismatched end and beginning of object");
}

TEST(TextParserBuild, RootKeepsWhatWasAttachedBeforeTheFailure) {
  const jzon_test::ParseOutcome out =
      ParseAs(Jzon::ObjectNode, R"({"a":1,"b":[2,[3]],"c":{"d":4,"e":x}})");
  EXPECT_FALSE(out.ok);
  EXPECT_EQ(out.tree, R"({"a":#1,"b":[#2,[#3]]})");
}

TEST(TextParserNames, PendingNameRules) {
  const struct {
    Jzon::NodeType root;
    const char* json;
    const char* tree;
  } cases[] = {
      {Jzon::ObjectNode, "{1, \"a\"}", R"({"":#1,"":"a"})"},
      {Jzon::ArrayNode, "[\"a\":1]", "[#1]"},
      {Jzon::ObjectNode, R"({"a":"b":1})", R"({"b":#1})"},
      // A name left over when a container closes waits for the next value.
      {Jzon::ObjectNode, R"({"x":{"a":}1})", R"({"x":{},"a":#1})"},
      {Jzon::ObjectNode, R"({"x":{"a":}{}})", R"({"x":{},"a":{}})"},
      {Jzon::ObjectNode, R"({"a":[1], "b":{"c":true}})", R"({"a":[#1],"b":{"c":true}})"},
      {Jzon::ObjectNode, R"({:"b"})", R"({"":"b"})"},
      {Jzon::ObjectNode, R"("n":{"a":1})", R"({"a":#1})"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    const jzon_test::ParseOutcome out = ParseAs(c.root, c.json);
    EXPECT_TRUE(out.ok) << out.error;
    EXPECT_EQ(out.tree, c.tree);
  }
}

TEST(TextParserRoot, TopLevelContainersReuseTheRoot) {
  EXPECT_EQ(ParseAs(Jzon::ObjectNode, R"({}{"a":1})").tree, R"({"a":#1})");
  EXPECT_EQ(ParseAs(Jzon::ArrayNode, "[1][2]").tree, "[#1,#2]");
}

TEST(TextParserRoot, MembersAreAddedToWhatTheRootHolds) {
  Jzon::Object root;
  root.Add("z", Jzon::Value(0));
  Jzon::TextParser parser(root, R"({"a":1})");
  EXPECT_TRUE(parser.Run());
  EXPECT_EQ(jzon_test::Describe(root), R"({"z":#0,"a":#1})");
  // A second run reads the same text again.
  EXPECT_TRUE(parser.Run());
  EXPECT_EQ(jzon_test::Describe(root), R"({"z":#0,"a":#1,"a":#1})");
}

TEST(TextParserRoot, ValueRootTakesTheFirstValue) {
  Jzon::Value root(5);
  Jzon::TextParser parser(root, "\"a\" \"b\" {}");
  EXPECT_FALSE(parser.Run());
  EXPECT_EQ(parser.ErrorMessage(), "Can only add elements to objects and arrays");
  EXPECT_TRUE(root.IsString());
  EXPECT_EQ(root.ToString(), "a");
  EXPECT_EQ(ParseAs(Jzon::ValueNode, "tRUE").tree, "true");
  EXPECT_EQ(ParseAs(Jzon::ValueNode, "\"a\" \"b\"").tree, "\"a\"");
}

TEST(TextParserRoot, EmptyOrCommentOnlyTextLeavesRootUnchanged) {
  const char* texts[] = {"", "  \n\t", "/* {\"a\":1} */", "// [1]\n"};
  for (const char* text : texts) {
    SCOPED_TRACE(text);
    Jzon::Array root;
    root.Add(Jzon::Value(7));
    Jzon::TextParser parser(root, text);
    EXPECT_TRUE(parser.Run());
    EXPECT_EQ(parser.ErrorMessage(), "");
    EXPECT_EQ(jzon_test::Describe(root), "[#7]");
  }
}

TEST(TextParserUnterminated, OpenContainersAreKeptOnlyWhenClosed) {
  const struct {
    Jzon::NodeType root;
    const char* json;
    const char* tree;
  } cases[] = {
      {Jzon::ObjectNode, "{\"a\":1", R"({"a":#1})"},
      {Jzon::ObjectNode, "{\"a\":{\"b\":1", "{}"},
      {Jzon::ArrayNode, "[1,[2,[3", "[#1]"},
      {Jzon::ArrayNode, "[1,[2,[3]", "[#1]"},
      {Jzon::ArrayNode, "[1,[2,[3]]", "[#1,[#2,[#3]]]"},
      {Jzon::ObjectNode, "{\"a", R"({"":"a"})"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.json);
    const jzon_test::ParseOutcome out = ParseAs(c.root, c.json);
    EXPECT_TRUE(out.ok) << out.error;
    EXPECT_EQ(out.tree, c.tree);
  }
}

}  // namespace
