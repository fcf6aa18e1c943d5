// The lenient parser: stripping of comments and whitespace, the words it
// takes for keywords and numbers, and the tree and message of each document.
#include <gtest/gtest.h>

#include "jzon_detail.h"
#include "jzon_test_util.h"

namespace {

using namespace jzon_test;

std::string Strip(const std::string& in) {
  std::string out = "left over";
  Jzon::detail::StripCommentsAndWhitespace(in, out);
  return out;
}

TEST(TextParserStrip, RemovesCommentsAndWhitespaceOutsideStrings) {
  const struct { const char* in; const char* out; } cases[] = {
      {"", ""}, {" \t\r\n\f1\v2", "1\v2"},  // vertical tab is not whitespace here
      {"{ \"a b\" : 1 } // c\n2", "{\"a b\":1}2"}, {"\"a /* b */ // c\"", "\"a /* b */ // c\""},
      {"/* a /* b */ c */x", "x"}, {"/*/ x */y", "y"}, {"a//b\r\nc", "ac"},
      // A stray "*/" takes the depth to -1; the next "/*" only brings it to 0.
      {"*/ /* a */ /* b */ c", "abc"},
      {"// /* \n x */ y", "y"},  // "/*" in a line comment lasts past the line
      {"/* // */ a\nb", "b"},    // "//" in a block comment hides the rest of its line
      // A quote in a comment opens no string, whatever stands before it.
      {"[1, // \"quote\n2, \"\n3]", "[1,2,\"\n3]"}, {"[1, // \"a\" \n2]", "[1,2]"},
      {"[1, // \\\"\n2]", "[1,2]"}, {"[1, /* \\\\\" */ 2]", "[1,2]"},
      {"\\\" a \"b c\"", "\\\"a\"b c\""}, {"\\ \"a b\"", "\\\"a b\""},
      // A quote after an odd run of backslashes stays in the string.
      {R"("a\" b")", R"("a\" b")"}, {R"("a\\" b "c d")", R"("a\\"b"c d")"},
      {R"("a\\\" b")", R"("a\\\" b")"}, {R"("a\\\\" b)", R"("a\\\\"b)"},
  };
  for (const auto& c : cases) EXPECT_EQ(Strip(c.in), c.out) << c.in;
  // The first significant character decides the kind of root a text needs.
  const struct { const char* in; Jzon::NodeType kind; } detect[] = {
      {"", kVal}, {" /* { */ // [\n [", kArr}, {"\t{", kObj}, {"\"{\"", kVal}, {"1[", kVal}};
  for (const auto& c : detect) EXPECT_EQ(Jzon::DetectNodeType(c.in), c.kind) << c.in;
}

TEST(TextParserWords, OtherWordsThanKeywordsAndNumbersAreUnknownTokens) {
  for (const std::string word : {"+1", "e5", "1e", "0x10", "nan", "1.e5", ".5e1", "01e5", "1e5.0",
                                 "1e+", "1e.5", "-Infinity", "truex", "-1e5-"})
    EXPECT_EQ(ParseAs(kArr, "[0," + word + "]"), Outcome(false, "Unknown token: " + word, "[#0]"));
}

TEST(TextParserBuild, EachDocumentGivesItsTreeAndMessage) {
  const ParseCase cases[] = {
      // Words: keywords in any case, numbers kept as written, whitespace gone first.
      {kArr, "[1 2, tr ue, Null, fAlSe]", "", "[#12,true,null,false]"},
      {kArr, "[-, 1.2.3, --5, -0.50]", "", "[#-,#1.2.3,#--5,#-0.50]"},
      {kArr, "[1e5, 1E22, -2.5e-3, 1.23457e+06, 1e-005, 0e1, 1 e5]", "",
       "[#1e5,#1E22,#-2.5e-3,#1.23457e+06,#1e-005,#0e1,#1e5]"},
      // Strings: values and names decoded, an even backslash run ends them.
      {kObj, R"({"a\nb": "a\nb"})", "", "{\"a\nb\":\"a\nb\"}"},
      {kArr, R"(["a\\" , "b", "a\\\"b", "a\" b"])", "", R"(["a\","b","a\"b","a" b"])"},
      // Separators may be missing or repeated; comment-only text adds nothing.
      {kArr, "[,1,,2 \"a\"[1][2],]", "", "[#1,#2,\"a\",[#1],[#2]]"},
      {kObj, R"({"a":1 "b":2,,})", "", R"({"a":#1,"b":#2})"},
      {kArr, "/* [1] */ // [2]\n", "", "[]"},
      // Pending names: a value without one gets "", a second name replaces the first,
      // a name left over when a container closes waits for the next value.
      {kObj, R"({1, "n":2, "a"})", "", R"({"":#1,"n":#2,"":"a"})"}, {kArr, "[\"a\":1]", "", "[#1]"},
      {kObj, R"({"a":"b":1})", "", R"({"b":#1})"}, {kObj, R"("n":{"a":1})", "", R"({"a":#1})"},
      {kObj, R"({"x":{"a":}1})", "", R"({"x":{},"a":#1})"},
      {kObj, R"({"x":{"a":}{}})", "", R"({"x":{},"a":{}})"},
      // Top-level containers reuse the root; a value root takes the first value.
      {kObj, R"({}{"a":1})", "", R"({"a":#1})"}, {kArr, "[1][2]", "", "[#1,#2]"},
      {kVal, "tRUE", "", "true"}, {kVal, "\"a\" \"b\"", "", "\"a\""},
      // Unterminated input: open containers are kept only when closed, an open
      // string takes the rest of the text.
      {kObj, "{\"a\":1", "", R"({"a":#1})"}, {kObj, "{\"a\":{\"b\":1", "", "{}"},
      {kArr, "[1,[2,[3]", "", "[#1]"}, {kArr, "[1,[2,[3]]", "", "[#1,[#2,[#3]]]"},
      {kObj, "{\"a", "", R"({"":"a"})"}, {kArr, R"(["a\"])", "", R"(["a"]"])"},
      // Failures: the first offending token decides.
      {kObj, "{1:2}", "A name has to be a string", "{}"},
      {kObj, "{\"a\":1, null:x}", "A name has to be a string", R"({"a":#1})"},
      {kObj, "{\"a\":[1,2}", "Mismatched end and beginning of object", "{}"},
      {kArr, "[{]", "Mismatched end and beginning of array", "[]"},
      {kObj, "{}}", "Found end of object or array without beginning", "{}"},
      {kArr, "{}", "The given root node is not an object", "[]"},
      {kVal, "[]", "The given root node is not an array", "null"},
      {kObj, "{}1", "The given root node is not a value", "{}"},
      {kVal, "1[2]", "Can only add elements to objects and arrays", "#1"},
      {kVal, "1}", "Mismatched end and beginning of object", "#1"},
      {kVal, "1]", "Mismatched end and beginning of array", "#1"},
      {kObj, "{abc:1}", "Unknown token: abc", "{}"},
      {kObj, R"({"a":1,"b":[2,[3]],"c":{"d":4,"e":x}})", "Unknown token: x",
       R"({"a":#1,"b":[#2,[#3]]})"},
  };
  for (const ParseCase& c : cases) EXPECT_EQ(ParseAs(c.root, c.json), c.Expected()) << c.json;
}

}  // namespace
