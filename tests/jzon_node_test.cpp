// The node model: scalar values (number texts, conversions, escapes) and the
// containers that own them (member order, copies, adoption).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "jzon_test_util.h"

using jzon_test::Describe;

TEST(ValueNumbers, SpeltInGeneralNotationNonFiniteAsNullAndReadBackFromTheText) {
  // Six significant digits, two exponent digits, worked out by hand.
  const double inf = std::numeric_limits<double>::infinity();
  const struct { Jzon::Value value; const char* text; } cases[] = {
      {-7, "#-7"}, {std::numeric_limits<int>::min(), "#-2147483648"}, {3.0, "#3"},
      {1.0 / 3.0, "#0.333333"}, {123456.0, "#123456"}, {1234567.0, "#1.23457e+06"},
      {0.0001, "#0.0001"}, {0.00001, "#1e-05"}, {0.1f, "#0.1"}, {1e10f, "#1e+10"},
      {inf, "null"}, {-inf, "null"}, {std::nan(""), "null"},
      {-std::numeric_limits<float>::infinity(), "null"},
  };
  for (const auto& c : cases) EXPECT_EQ(Describe(c.value), c.text);
  EXPECT_EQ(Jzon::Value(0.1f).ToFloat(), 0.1f);
  EXPECT_EQ(Jzon::Value(Jzon::NumberValue, "3.7").ToInt(), 3);
  EXPECT_EQ(Jzon::Value(Jzon::NumberValue, "1.2.3").ToDouble(), 1.2);
  // The parser takes words of minus signs and points, and numbers of any size:
  // reading them has no meaningful result but must not throw.
  const std::string words[] = {"-", ".", "", "--1", "1e999", "-1E-999999999",
                               jzon_test::Repeat("9", 100000)};
  for (const std::string& word : words) {
    const Jzon::Value v(Jzon::NumberValue, word);
    EXPECT_NO_THROW({ (void)v.ToInt(); (void)v.ToFloat(); (void)v.ToDouble(); }) << word.size();
  }
}

TEST(ValueMisuse, NullAndBooleansConvertOtherKindsThrow) {
  const Jzon::Value none(static_cast<const char*>(nullptr));
  EXPECT_EQ(none.ToString(), "null");
  EXPECT_EQ(none.ToInt(), 0);
  EXPECT_FALSE(none.ToBool());
  EXPECT_TRUE(Jzon::Value(true).ToBool());
  EXPECT_FALSE(Jzon::Value(Jzon::BoolValue, "TRUE").ToBool());

  const Jzon::Value digits(std::string("12"));
  EXPECT_THROW(digits.ToInt(), Jzon::ValueException);
  EXPECT_THROW(digits.ToBool(), Jzon::ValueException);
  EXPECT_THROW(Jzon::Value(true).ToFloat(), Jzon::ValueException);
  const Jzon::Array array;
  EXPECT_THROW(Jzon::Value{Jzon::Object()}, Jzon::TypeException);
  Jzon::Value v(5);
  EXPECT_THROW(v = array, Jzon::TypeException);
  EXPECT_EQ(v.ToInt(), 5);
  EXPECT_THROW(v.AsArray(), Jzon::TypeException);
  EXPECT_THROW(v.ChildNamed("x"), Jzon::TypeException);
  EXPECT_THROW(array.HasChild("x"), Jzon::TypeException);
  EXPECT_THROW(array.ToBool(), Jzon::TypeException);
  EXPECT_STREQ(Jzon::TypeException().what(), "A Node was used as the wrong type");
  EXPECT_STREQ(Jzon::ValueException().what(), "A Value was used as the wrong type");
  EXPECT_STREQ(Jzon::NotFoundException().what(), "The node could not be found");
}

TEST(ValueEscapes, StringSettersDecodeTheEightPairsAndUnicodeOnly) {
  const struct { std::string raw; std::string decoded; } cases[] = {
      {"a\\nb", "a\nb"}, {"\\\\\\/\\\"\\n\\t\\b\\f\\r", "\\/\"\n\t\b\f\r"},
      {"\\x", "\\x"}, {"\\u0041", "A"},  // unknown pairs kept, \u decoded
      {"end\\", "end\\"}, {"\\\\n", "\\n"},     // a lone trailing backslash; no overlaps
      {std::string("a\0b", 3), std::string("a\0b", 3)},
      {std::string("\\\0", 2), std::string("\\\0", 2)},
  };
  for (const auto& c : cases) EXPECT_EQ(Jzon::Value(c.raw).ToString(), c.decoded) << c.raw;
  // Escaping, and decoding what it wrote: jzon_emitter_test.
}

TEST(Containers, LookUpRemovalAndBounds) {
  Jzon::Object object;
  for (const char* name : {"x", "y", "x"}) object.Add(name, static_cast<int>(object.ChildCount()));
  EXPECT_EQ(object.ChildNamed("x").ToInt(), 0);  // duplicates are kept, the first is found
  object.Remove("x");
  object.Remove("absent");
  EXPECT_EQ(Describe(object), R"({"y":#1,"x":#2})");
  EXPECT_FALSE(object.HasChild("X"));
  EXPECT_THROW(object.ChildNamed("X"), Jzon::NotFoundException);
  EXPECT_THROW(object.ChildAt(0), Jzon::TypeException);

  Jzon::Array array;
  for (int i = 10; i <= 30; i += 10) array.Add(i);
  EXPECT_EQ(array.ChildAt(2).ToInt(), 30);
  EXPECT_THROW(array.ChildAt(3), Jzon::NotFoundException);
  array.Remove(3);
  array.Remove(0);
  EXPECT_EQ(Describe(array), "[#20,#30]");
  array.Clear();
  EXPECT_FALSE(array.begin() != array.end());
}

TEST(Containers, AddCopiesEvenItselfAdoptTakesOwnership) {
  Jzon::Value value(1);
  Jzon::Array inner;
  inner.Add(value);
  Jzon::Object object;
  object.Add("v", value);
  object.Add("inner", inner);
  object.Add("self", object);  // copied as it was, so the tree stays finite
  auto adopted = std::make_unique<Jzon::Array>();
  Jzon::Node* const address = adopted.get();
  object.Adopt("adopted", std::move(adopted));
  value = 2;
  inner.Add(3);
  inner.ChildAt(0).AsValue() = 9;
  Jzon::Object copy(object);
  copy.ChildNamed("inner").AsArray().Add(4);
  copy.ChildNamed("v").AsValue() = "changed";
  std::unique_ptr<Jzon::Node>(object.Clone())->ChildNamed("inner").AsArray().Clear();
  const std::string tree = R"({"v":#1,"inner":[#1],"self":{"v":#1,"inner":[#1]},"adopted":[]})";
  EXPECT_EQ(Describe(object), tree);
  EXPECT_EQ(Describe(Jzon::Object(static_cast<const Jzon::Node&>(object))), tree);
  EXPECT_THROW(Jzon::Array{static_cast<const Jzon::Node&>(object)}, Jzon::TypeException);

  Jzon::Array array;
  array.Adopt(std::make_unique<Jzon::Value>("x"));
  array.Adopt(std::make_unique<Jzon::Object>(std::move(object)));
  EXPECT_EQ(&array.ChildAt(1).ChildNamed("adopted"), address);
  EXPECT_EQ(Describe(array), "[\"x\"," + tree + "]");
}
