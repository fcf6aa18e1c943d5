// The node model: scalar values (number texts, conversions, escapes) and the
// containers that own them (member order, copies, adoption).
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>

#include "jzon.h"
#include "jzon_test_util.h"

namespace {

using jzon_test::Describe;

TEST(ValueNumberText, SettersSpellNumbersInGeneralNotationAndNonFiniteAsNull) {
  // Six significant digits, two exponent digits, worked out by hand.
  const double inf = std::numeric_limits<double>::infinity();
  const struct { Jzon::Value value; const char* text; } cases[] = {
      {-7, "-7"}, {std::numeric_limits<int>::min(), "-2147483648"}, {3.0, "3"},
      {1.0 / 3.0, "0.333333"}, {123456.0, "123456"}, {1234567.0, "1.23457e+06"},
      {0.0001, "0.0001"}, {0.00001, "1e-05"}, {0.1f, "0.1"}, {1e10f, "1e+10"},
      {inf, "null"}, {-inf, "null"}, {std::nan(""), "null"},
      {-std::numeric_limits<float>::infinity(), "null"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.value.ValueKind(), c.text[0] == 'n' ? Jzon::NullValue : Jzon::NumberValue);
    EXPECT_EQ(c.value.ToString(), c.text);
  }
  Jzon::Value assigned(1);
  assigned = std::nanf("");
  EXPECT_TRUE(assigned.IsNull());
  assigned = 2.0;
  assigned.Set(inf);
  EXPECT_TRUE(assigned.IsNull());
}

TEST(ValueConversion, NumbersReparseTheirTextAndOddWordsDoNotThrow) {
  EXPECT_EQ(Jzon::Value(2.5).ToDouble(), 2.5);
  EXPECT_EQ(Jzon::Value(0.1f).ToFloat(), 0.1f);
  EXPECT_EQ(Jzon::Value(Jzon::NumberValue, "3.7").ToInt(), 3);
  EXPECT_EQ(Jzon::Value(Jzon::NumberValue, "1.2.3").ToDouble(), 1.2);
  EXPECT_EQ(Jzon::Value(Jzon::NumberValue, "1.50").ToString(), "1.50");
  // The parser takes words of minus signs and points as numbers: reading them
  // has no meaningful result but must not throw.
  for (const char* word : {"-", ".", "", "--1", "1e999"}) {
    SCOPED_TRACE(word);
    const Jzon::Value v(Jzon::NumberValue, word);
    EXPECT_NO_THROW(v.ToInt());
    EXPECT_NO_THROW(v.ToFloat());
  }
}

TEST(ValueConversion, NullAndBooleansConvertOtherKindsThrow) {
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
  EXPECT_THROW(Jzon::Value(1).ToBool(), Jzon::ValueException);
  EXPECT_EQ(digits.ToString(), "12");

  const Jzon::Array array;
  EXPECT_THROW(Jzon::Value{Jzon::Object()}, Jzon::TypeException);
  Jzon::Value v(5);
  EXPECT_THROW(v = array, Jzon::TypeException);
  EXPECT_EQ(v.ToInt(), 5);
  EXPECT_THROW(v.AsArray(), Jzon::TypeException);
  EXPECT_THROW(v.ChildNamed("x"), Jzon::TypeException);
  EXPECT_THROW(array.HasChild("x"), Jzon::TypeException);
  EXPECT_THROW(array.ToBool(), Jzon::TypeException);
}

TEST(ValueCopies, ConvertingCopySelfAssignmentAndClone) {
  Jzon::Value copy(static_cast<const Jzon::Node&>(Jzon::Value("text")));
  Jzon::Value& alias = copy;
  copy = alias;
  copy = static_cast<const Jzon::Node&>(alias);
  const std::unique_ptr<Jzon::Node> clone(copy.Clone());
  EXPECT_EQ(Describe(copy), "\"text\"");
  EXPECT_EQ(Describe(*clone), "\"text\"");
}

TEST(ValueExceptions, MessagesAndBasesAreFixed) {
  EXPECT_STREQ(Jzon::TypeException().what(), "A Node was used as the wrong type");
  EXPECT_STREQ(Jzon::ValueException().what(), "A Value was used as the wrong type");
  EXPECT_STREQ(Jzon::NotFoundException().what(), "The node could not be found");
  EXPECT_THROW(throw Jzon::NotFoundException(), std::out_of_range);
}

TEST(ValueEscapes, StringSettersDecodeTheEightPairsOnly) {
  const struct { std::string raw; std::string decoded; } cases[] = {
      {"a\\nb", "a\nb"},
      {"\\\\\\/\\\"\\n\\t\\b\\f\\r", "\\/\"\n\t\b\f\r"},
      {"\\x", "\\x"},            // unknown pair kept
      {"\\u0041", "\\u0041"},    // no unicode decoding
      {"end\\", "end\\"},        // lone trailing backslash
      {"\\\\n", "\\n"},          // pairs do not overlap
      {std::string("a\0b", 3), std::string("a\0b", 3)},
      {std::string("\\\0", 2), std::string("\\\0", 2)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.raw);
    EXPECT_EQ(Jzon::UnescapeText(c.raw), c.decoded);
    EXPECT_EQ(Jzon::Value(c.raw).ToString(), c.decoded);
  }
}

TEST(ValueEscapes, EscapeThenUnescapeGivesTheOriginal) {
  EXPECT_EQ(Jzon::EscapeText("\\/\"\n\t\b\f\r"), "\\\\\\/\\\"\\n\\t\\b\\f\\r");
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
  EXPECT_EQ(Jzon::UnescapeText(Jzon::EscapeText(everyByte)), everyByte);
}

TEST(ObjectMembers, DuplicatesAreKeptFoundFirstAndRemovedFirst) {
  Jzon::Object object;
  object.Add("x", 1);
  object.Add("y", 2);
  object.Add("x", 3);
  EXPECT_EQ(Describe(object), R"({"x":#1,"y":#2,"x":#3})");
  EXPECT_EQ(object.ChildNamed("x").ToInt(), 1);
  object.Remove("x");
  object.Remove("absent");
  EXPECT_EQ(Describe(object), R"({"y":#2,"x":#3})");
  EXPECT_FALSE(object.HasChild("X"));
  EXPECT_THROW(object.ChildNamed("X"), Jzon::NotFoundException);
  EXPECT_THROW(object.ChildAt(0), Jzon::TypeException);
}

TEST(ArrayElements, IndexAccessIsBoundedAndRemovalShiftsDown) {
  Jzon::Array array;
  for (int i = 10; i <= 30; i += 10) array.Add(i);
  EXPECT_EQ(array.ChildAt(2).ToInt(), 30);
  EXPECT_THROW(array.ChildAt(3), Jzon::NotFoundException);
  EXPECT_THROW(array.ChildNamed("a"), Jzon::TypeException);
  array.Remove(3);
  array.Remove(0);
  EXPECT_EQ(Describe(array), "[#20,#30]");
  array.Clear();
  EXPECT_FALSE(array.begin() != array.end());
}

TEST(ContainersCopies, AddedNodesAndCopiesAreIndependent) {
  Jzon::Value value(1);
  Jzon::Array inner;
  inner.Add(value);
  Jzon::Object object;
  object.Add("v", value);
  object.Add("inner", inner);
  value = 2;
  inner.Add(3);
  inner.ChildAt(0).AsValue() = 9;
  EXPECT_EQ(Describe(object), R"({"v":#1,"inner":[#1]})");

  Jzon::Object copy(object);
  copy.ChildNamed("inner").AsArray().Add(4);
  copy.ChildNamed("v").AsValue() = "changed";
  const std::unique_ptr<Jzon::Node> clone(object.Clone());
  clone->ChildNamed("inner").AsArray().Clear();
  EXPECT_EQ(Describe(object), R"({"v":#1,"inner":[#1]})");
  EXPECT_EQ(Describe(Jzon::Object(static_cast<const Jzon::Node&>(object))), Describe(object));
  EXPECT_THROW(Jzon::Array{static_cast<const Jzon::Node&>(object)}, Jzon::TypeException);
}

TEST(ContainersCopies, AddingAContainerToItselfCopiesItsOldState) {
  Jzon::Array array;
  array.Add(1);
  array.Add(array);
  EXPECT_EQ(Describe(array), "[#1,[#1]]");
  Jzon::Object object;
  object.Add("a", true);
  object.Add("self", object);
  EXPECT_EQ(Describe(object), R"({"a":true,"self":{"a":true}})");
}

TEST(ContainersAdopt, AdoptTakesTheNodeWithoutCopying) {
  auto inner = std::make_unique<Jzon::Array>();
  Jzon::Node* const address = inner.get();
  Jzon::Object object;
  object.Adopt("inner", std::move(inner));
  EXPECT_EQ(&object.ChildNamed("inner"), address);

  Jzon::Array array;
  array.Adopt(std::make_unique<Jzon::Value>("x"));
  array.Adopt(std::make_unique<Jzon::Object>(std::move(object)));
  EXPECT_EQ(object.ChildCount(), 0u);
  EXPECT_EQ(&array.ChildAt(1).ChildNamed("inner"), address);
  EXPECT_EQ(Describe(array), R"(["x",{"inner":[]}])");
}

}  // namespace
