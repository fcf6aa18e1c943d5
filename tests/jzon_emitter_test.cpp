// The emitter's exact bytes under each style, and round trips: whatever tree
// it writes, under any style, reads back to a tree that holds the same.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "jzon.h"
#include "jzon_test_util.h"

namespace {

using jzon_test::Write;

TEST(EmitterLayout, SampleTreeUnderEachStyle) {
  Jzon::Array b;
  b.Add(true);
  b.Add(Jzon::Value());
  Jzon::Object tree;
  tree.Add("a", 1);
  tree.Add("b", b);
  const struct { Jzon::WriteStyle style; const char* text; } cases[] = {
      {Jzon::CompactStyle, R"({"a":1,"b":[true,null]})"},
      {{false, false, true, 7}, R"({"a":1,"b":[true,null]})"},  // indentation ignored
      {{false, true, true, 4}, R"({ "a": 1, "b": [ true, null ] })"},
      {{true, false, false, 2}, "{\n  \"a\":1,\n  \"b\":[\n    true,\n    null\n  ]\n}"},
      {{true, false, false, 0}, "{\n\"a\":1,\n\"b\":[\ntrue,\nnull\n]\n}"},
      {Jzon::IndentedStyle, "{\n\t\"a\": 1,\n\t\"b\": [\n\t\ttrue,\n\t\tnull\n\t]\n}"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Write(tree, c.style), c.text);
  }
}

TEST(EmitterLayout, EmptyAndNestedContainers) {
  const Jzon::Object object;
  const Jzon::Array array;
  EXPECT_EQ(Write(object, Jzon::IndentedStyle), "{\n\n}");
  EXPECT_EQ(Write(array, Jzon::IndentedStyle), "[\n\n]");
  EXPECT_EQ(Write(object, Jzon::CompactStyle), "{}");
  EXPECT_EQ(Write(array, {false, true, false, 0}), "[  ]");
  Jzon::Object holder;
  holder.Add("e", object);
  EXPECT_EQ(Write(holder, Jzon::IndentedStyle), "{\n\t\"e\": {\n\n\t}\n}");

  Jzon::Array inner;
  inner.Add(1);
  Jzon::Array outer;
  outer.Add(inner);
  EXPECT_EQ(Write(outer, Jzon::IndentedStyle), "[\n\t[\n\t\t1\n\t]\n]");
}

TEST(EmitterValues, ScalarRootsAreWrittenAloneAndStringsEscaped) {
  const struct { Jzon::Value root; std::string text; } cases[] = {
      {Jzon::Value("a/b"), R"("a\/b")"},
      {Jzon::Value(std::string("\x01\xc3\xa9")), "\"\x01\xc3\xa9\""},  // control, UTF-8 kept
      {Jzon::Value(std::string("\"\t\n")), R"("\"\t\n")"},
      {Jzon::Value(Jzon::StringValue, "\\"), R"("\\")"},
      {Jzon::Value("null"), R"("null")"},
      {Jzon::Value(), "null"},
      {Jzon::Value(Jzon::NumberValue, "-0E+00"), "-0E+00"},
      {Jzon::Value(false), "false"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Write(c.root, Jzon::IndentedStyle), c.text);
    EXPECT_EQ(Write(c.root, Jzon::CompactStyle), c.text);
  }
}

TEST(EmitterValues, MemberNamesAreWrittenAsStoredDuplicatesIncluded) {
  Jzon::Object object;
  object.Add("say \"hi\"\\", 1);
  object.Add("x", 1);
  object.Add("x", 2);
  EXPECT_EQ(Write(object, Jzon::CompactStyle), "{\"say \"hi\"\\\":1,\"x\":1,\"x\":2}");
}

// Seeded random trees. Names are written as stored, so they are drawn as the
// parser would store them: no bare quote, and backslashes only in pairs.
class TreeMaker {
 public:
  explicit TreeMaker(unsigned seed) : rng_(seed) {}

  std::unique_ptr<Jzon::Node> Tree(int depth) {
    const unsigned kind = depth > 0 ? Pick(3) : 0;
    if (kind == 0) return std::make_unique<Jzon::Value>(Scalar());
    if (kind == 1) {
      auto object = std::make_unique<Jzon::Object>();
      for (unsigned i = Pick(5); i > 0; --i) object->Adopt(Name(), Tree(depth - 1));
      return object;
    }
    auto array = std::make_unique<Jzon::Array>();
    for (unsigned i = Pick(5); i > 0; --i) array->Adopt(Tree(depth - 1));
    return array;
  }

 private:
  unsigned Pick(unsigned count) { return static_cast<unsigned>(rng_() % count); }

  std::string Name() {
    static const char* const kPieces[] = {"a", "Z", "7", " ", "/*", "//", "{", "]", ":", ",",
                                          "\xc3\xa9", "\\n", "\\\"", "\\\\", "\\u00e9", "\t"};
    std::string name;
    for (unsigned i = Pick(6); i > 0; --i) name += kPieces[Pick(std::size(kPieces))];
    return name;
  }

  Jzon::Value Scalar() {
    static const char* const kDialect[] = {"-", "1.2.3", "--5", "1e5", "-2.5E-3", "0.50"};
    switch (Pick(8)) {
      case 0: return Jzon::Value();
      case 1: return Jzon::Value(Pick(2) == 0);
      case 2: return Jzon::Value(static_cast<int>(rng_()));
      case 3: return Jzon::Value(std::ldexp(double(rng_()), static_cast<int>(Pick(120)) - 80));
      case 4: return Jzon::Value(Jzon::NumberValue, kDialect[Pick(std::size(kDialect))]);
    }
    std::string text(Pick(12), '\0');  // any bytes, NUL, quotes and backslashes included
    for (char& c : text) c = static_cast<char>(rng_());
    return Jzon::Value(Jzon::StringValue, text);
  }

  std::mt19937 rng_;
};

const Jzon::WriteStyle kStyles[] = {
    Jzon::CompactStyle,      Jzon::IndentedStyle,   {false, true, false, 0},
    {true, false, false, 2}, {true, true, true, 3}, {true, false, true, 0},
    {false, true, true, 4},
};

TEST(EmitterRoundTrip, RandomTreesReadBackUnderEveryStyle) {
  for (unsigned seed = 1; seed <= 400; ++seed) {
    const std::unique_ptr<Jzon::Node> tree = TreeMaker(seed).Tree(static_cast<int>(seed % 6));
    for (const Jzon::WriteStyle& style : kStyles) {
      const std::string text = Write(*tree, style);
      SCOPED_TRACE("seed " + std::to_string(seed) + ": " + text);
      ASSERT_EQ(Jzon::DetectNodeType(text), tree->Kind());
      ASSERT_TRUE(jzon_test::ReadsBack(*tree, style));
    }
  }
}

}  // namespace
