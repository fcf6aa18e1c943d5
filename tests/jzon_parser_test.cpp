#include <gtest/gtest.h>

#include <random>
#include <string>

#include "jzon.h"
#include "jzon_test_util.h"

namespace {

using jzon_test::ParseAs;
constexpr Jzon::NodeType kObj = Jzon::ObjectNode, kArr = Jzon::ArrayNode, kVal = Jzon::ValueNode;

std::string Strip(const std::string& in) {
  std::string out = "left over";
  Jzon::StripCommentsAndWhitespace(in, out);
  return out;
}

TEST(TextParserStrip, RemovesCommentsAndWhitespaceOutsideStrings) {
  const struct { const char* in; const char* out; } cases[] = {
      {"", ""},
      {" \t\r\n\f1\v2", "1\v2"},  // vertical tab is not whitespace here
      {"{ \"a b\" : 1 } // c\n2", "{\"a b\":1}2"},
      {"\"a /* b */ // c\"", "\"a /* b */ // c\""},
      {"/* a /* b */ c */x", "x"}, {"/*/ x */y", "y"}, {"a//b\r\nc", "ac"},
      // A stray "*/" takes the depth to -1; the next "/*" only brings it to 0.
      {"*/ /* a */ /* b */ c", "abc"},
      {"// /* \n x */ y", "y"},  // "/*" in a line comment lasts past the line
      {"/* // */ a\nb", "b"},    // "//" in a block comment hides the rest of its line
      // A quote in a comment flips string state, hiding the next line break.
      {"[1, // \"quote\n2, \"\n3]", "[1,3]"}, {"[1, // \"a\" \n2]", "[1,2]"},
      // A quote after an odd run of backslashes stays in the string.
      {R"("a\" b")", R"("a\" b")"}, {R"("a\\" b "c d")", R"("a\\"b"c d")"},
      {R"("a\\\" b")", R"("a\\\" b")"}, {R"("a\\\\" b)", R"("a\\\\"b)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.in);
    EXPECT_EQ(Strip(c.in), c.out);
  }
}

// The stripping rule applied one character at a time, written for reading:
// the library's version takes fast paths through plain text and strings.
std::string ReferenceStrip(const std::string& in) {
  std::string out;
  bool inString = false, lineComment = false;
  int depth = 0;
  std::size_t backslashes = 0;  // length of the backslash run before i
  for (std::size_t i = 0; i < in.size(); ++i) {
    const char c = in[i];
    if (c == '"' && backslashes % 2 == 0) inString = !inString;
    backslashes = (c == '\\') ? backslashes + 1 : 0;
    if (!inString) {
      const std::string pair = in.substr(i, 2);
      if (pair == "/*" || pair == "*/" || pair == "//") {
        depth += (pair == "/*") - (pair == "*/");
        lineComment = lineComment || pair == "//";
        ++i;  // the marker's second character is no backslash
        continue;
      }
      if (c == '\n') lineComment = false;
      if (std::string(" \t\r\n\f").find(c) != std::string::npos) continue;
    }
    if (!lineComment && depth <= 0) out += c;
  }
  return out;
}

TEST(TextParserStrip, StripAndDetectAgreeWithCharacterRuleOnRandomText) {
  const std::string alphabet = "\"\\/*\n a{[";
  std::mt19937 rng(7);
  for (int round = 0; round < 20000; ++round) {
    std::string in(rng() % 24, ' ');
    for (char& c : in) c = alphabet[rng() % alphabet.size()];
    SCOPED_TRACE(in);
    ASSERT_EQ(Strip(in), ReferenceStrip(in));
    // The first significant character decides the kind of root a text needs.
    const std::string first = ReferenceStrip(in).substr(0, 1);
    ASSERT_EQ(Jzon::DetectNodeType(in), first == "{" ? kObj : first == "[" ? kArr : kVal);
  }
}

TEST(TextParserWords, OtherWordsThanKeywordsAndNumbersAreUnknownTokens) {
  for (const char* word : {"+1", "e5", "1e", "0x10", "nan", "1.e5", ".5e1", "01e5", "1e5.0",
                           "1e+", "Infinity", "truex", "-1e5-"}) {
    SCOPED_TRACE(word);
    const jzon_test::ParseOutcome out = ParseAs(kArr, std::string("[0,") + word + "]");
    EXPECT_FALSE(out.ok);
    EXPECT_EQ(out.error, std::string("Unknown token: ") + word);
    EXPECT_EQ(out.tree, "[#0]");
  }
}

// What a run returns: no error message for success, and the tree the root
// holds afterwards (on failure, whatever was attached before it).
struct ParseCase { Jzon::NodeType root; const char* json; const char* error; const char* tree; };

TEST(TextParserBuild, EachDocumentGivesItsTreeAndMessage) {
  const ParseCase cases[] = {
      // Words: keywords in any case, numbers kept as written, whitespace gone first.
      {kArr, "[1 2, tr ue, Null, fAlSe]", "", "[#12,true,null,false]"},
      {kArr, "[-, 1.2.3, --5, -0.50]", "", "[#-,#1.2.3,#--5,#-0.50]"},
      {kArr, "[1e5, 1E22, -2.5e-3, 1.23457e+06, 1e-005, 0e1, 1 e5]", "",
       "[#1e5,#1E22,#-2.5e-3,#1.23457e+06,#1e-005,#0e1,#1e5]"},
      // Strings: values decoded, names kept as written, an even backslash run ends them.
      {kObj, R"({"a\nb": "a\nb"})", "", "{\"a\\nb\":\"a\nb\"}"},
      {kArr, R"(["a\\" , "b", "a\\\"b", "a\" b"])", "", R"(["a\","b","a\"b","a" b"])"},
      {kArr, "[\"a /* b */ // c\"]", "", "[\"a /* b */ // c\"]"},
      // Separators may be missing or repeated.
      {kArr, "[,1,,2 \"a\"[1][2],]", "", "[#1,#2,\"a\",[#1],[#2]]"},
      {kObj, R"({"a":1 "b":2,,})", "", R"({"a":#1,"b":#2})"},
      // Pending names: a value without one gets "", a second name replaces the first,
      // a name left over when a container closes waits for the next value.
      {kObj, "{1, \"a\"}", "", R"({"":#1,"":"a"})"},
      {kArr, "[\"a\":1]", "", "[#1]"},
      {kObj, R"({"a":"b":1})", "", R"({"b":#1})"},
      {kObj, R"({"x":{"a":}1})", "", R"({"x":{},"a":#1})"},
      {kObj, R"({"x":{"a":}{}})", "", R"({"x":{},"a":{}})"},
      {kObj, R"("n":{"a":1})", "", R"({"a":#1})"},
      // Top-level containers reuse the root; a value root takes the first value.
      {kObj, R"({}{"a":1})", "", R"({"a":#1})"},
      {kArr, "[1][2]", "", "[#1,#2]"},
      {kVal, "tRUE", "", "true"},
      {kVal, "\"a\" \"b\"", "", "\"a\""},
      // Unterminated input: open containers are kept only when closed, an open
      // string takes the rest of the text.
      {kObj, "{\"a\":1", "", R"({"a":#1})"},
      {kObj, "{\"a\":{\"b\":1", "", "{}"},
      {kArr, "[1,[2,[3]", "", "[#1]"},
      {kArr, "[1,[2,[3]]", "", "[#1,[#2,[#3]]]"},
      {kObj, "{\"a", "", R"({"":"a"})"},
      {kArr, "[\"abc def", "", "[\"abc def\"]"},
      {kArr, R"(["a\"])", "", R"(["a"]"])"},
      // Failures: the first offending token decides.
      {kObj, "{1:2}", "A name has to be a string", "{}"},
      {kObj, "{\"a\":1, null:2}", "A name has to be a string", R"({"a":#1})"},
      {kObj, "{1:x}", "A name has to be a string", "{}"},
      {kObj, "{\"a\":[1,2}", "Mismatched end and beginning of object", "{}"},
      {kArr, "[{]", "Mismatched end and beginning of array", "[]"},
      {kObj, "{}}", "Found end of object or array without beginning", "{}"},
      {kArr, "]", "Found end of object or array without beginning", "[]"},
      {kObj, "[1]", "The given root node is not an array", "{}"},
      {kArr, "{}", "The given root node is not an object", "[]"},
      {kVal, "{}", "The given root node is not an object", "null"},
      {kVal, "[]", "The given root node is not an array", "null"},
      {kObj, "{}1", "The given root node is not a value", "{}"},
      {kArr, "\"a\"", "The given root node is not a value", "[]"},
      {kVal, "1[2]", "Can only add elements to objects and arrays", "#1"},
      {kVal, "1}", "Mismatched end and beginning of object", "#1"},
      {kVal, "1]", "Mismatched end and beginning of array", "#1"},
      {kObj, "{\"a\":x, 1:2}", "Unknown token: x", "{}"},
      {kObj, "{abc:1}", "Unknown token: abc", "{}"},
      {kObj, R"({"a":1,"b":[2,[3]],"c":{"d":4,"e":x}})", "Unknown token: x",
       R"({"a":#1,"b":[#2,[#3]]})"},
  };
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.json);
    const jzon_test::ParseOutcome out = ParseAs(c.root, c.json);
    EXPECT_EQ(out.ok, *c.error == '\0');
    EXPECT_EQ(out.error, c.error);
    EXPECT_EQ(out.tree, c.tree);
  }
}

TEST(TextParserRoot, EmptyOrCommentOnlyTextLeavesTheRootAsItWas) {
  Jzon::Array root;
  root.Add(7);
  for (const char* text : {"", "  \n\t", "/* {\"a\":1} */", "// [1]\n"}) {
    SCOPED_TRACE(text);
    Jzon::TextParser parser(root, text);
    EXPECT_TRUE(parser.Run());
    EXPECT_EQ(parser.ErrorMessage(), "");
    EXPECT_EQ(jzon_test::Describe(root), "[#7]");
  }
}

}  // namespace
