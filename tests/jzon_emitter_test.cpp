// The emitter's exact bytes under each style, and round trips: whatever tree
// it writes, under any style, reads back to a tree that holds the same.
#include <gtest/gtest.h>

#include "jzon_test_util.h"

using jzon_test::Write;

TEST(Emitter, ExactBytesUnderEachStyle) {
  Jzon::Object tree;
  ASSERT_TRUE(Jzon::TextParser(tree, R"({"a":1,"b":[null,[]],"c":{}})").Run());
  const struct { Jzon::WriteStyle style; const char* text; } cases[] = {
      {Jzon::CompactStyle, R"({"a":1,"b":[null,[]],"c":{}})"},
      {{false, false, true, 7}, R"({"a":1,"b":[null,[]],"c":{}})"},  // indentation ignored
      {{false, true, true, 4}, R"({ "a": 1, "b": [ null, [  ] ], "c": {  } })"},
      {{true, false, false, 2},
       "{\n  \"a\":1,\n  \"b\":[\n    null,\n    [\n\n    ]\n  ],\n  \"c\":{\n\n  }\n}"},
      {Jzon::IndentedStyle,
       "{\n\t\"a\": 1,\n\t\"b\": [\n\t\tnull,\n\t\t[\n\n\t\t]\n\t],\n\t\"c\": {\n\n\t}\n}"},
  };
  for (const auto& c : cases) EXPECT_EQ(Write(tree, c.style), c.text);
  // Scalar roots are written alone under any style. The eight escapable
  // characters are escaped, other control bytes as \u00XX; UTF-8 is kept.
  const struct { Jzon::Value root; std::string text; } scalars[] = {
      {Jzon::Value(Jzon::StringValue, "a/b\x01\xc3\xa9\"\t\n\\\b\f\r"),
       "\"a\\/b\\u0001\xc3\xa9\\\"\\t\\n\\\\\\b\\f\\r\""},
      {Jzon::Value("null"), R"("null")"}, {Jzon::Value(), "null"}, {Jzon::Value(false), "false"},
      {Jzon::Value(Jzon::NumberValue, "-0E+00"), "-0E+00"},
  };
  for (const auto& c : scalars)
    for (const Jzon::WriteStyle& style : {Jzon::IndentedStyle, Jzon::CompactStyle})
      EXPECT_EQ(Write(c.root, style), c.text);
}

// Names are written as stored, so they hold what the parser would store:
// no bare quote, and backslashes only in pairs. String values hold any byte.
TEST(EmitterRoundTrip, AwkwardTreeReadsBackUnderEveryStyle) {
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
  Jzon::Array values;
  for (const char* number : {"-", "1.2.3", "--5", "1e5", "-2.5E-3", "0.50"})
    values.Add(Jzon::Value(Jzon::NumberValue, number));
  values.Add(Jzon::Value(Jzon::StringValue, everyByte));
  values.Add(Jzon::Object());
  Jzon::Object tree;
  for (const char* name : {"", "a Z7\t", "/*", "//", "{]:,", "\xc3\xa9\\u00e9", "\\n\\\"\\\\"})
    tree.Add(name, values);
  const Jzon::WriteStyle styles[] = {
      Jzon::CompactStyle, Jzon::IndentedStyle, {false, true, false, 0}, {true, true, true, 3}};
  for (const Jzon::WriteStyle& style : styles)
    EXPECT_TRUE(jzon_test::ReadsBack(tree, style)) << Write(tree, style);
}
