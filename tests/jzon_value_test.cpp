#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "jzon.h"

namespace {

// Number texts as the stream's default general notation spells them
// (six significant digits, two exponent digits), worked out by hand.
struct NumberTextCase {
  const char* label;
  Jzon::Value value;
  const char* text;
};

TEST(ValueNumberText, SettersSpellNumbersInGeneralNotation) {
  const NumberTextCase cases[] = {
      {"int 42", Jzon::Value(42), "42"},
      {"int -7", Jzon::Value(-7), "-7"},
      {"int min", Jzon::Value(std::numeric_limits<int>::min()), "-2147483648"},
      {"double 2.5", Jzon::Value(2.5), "2.5"},
      {"double 3.0", Jzon::Value(3.0), "3"},
      {"double one third", Jzon::Value(1.0 / 3.0), "0.333333"},
      {"double 0.1234567", Jzon::Value(0.1234567), "0.123457"},
      {"double 123456", Jzon::Value(123456.0), "123456"},
      {"double 1234567", Jzon::Value(1234567.0), "1.23457e+06"},
      {"double 0.0001", Jzon::Value(0.0001), "0.0001"},
      {"double 0.00001", Jzon::Value(0.00001), "1e-05"},
      {"double -0.5", Jzon::Value(-0.5), "-0.5"},
      {"float 0.1", Jzon::Value(0.1f), "0.1"},
      {"float 12.5", Jzon::Value(12.5f), "12.5"},
      {"float 1e10", Jzon::Value(1e10f), "1e+10"},
  };
  for (const NumberTextCase& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_TRUE(c.value.IsNumber());
    EXPECT_EQ(c.value.ToString(), c.text);
  }
}

TEST(ValueNumberText, NonFiniteFiguresBecomeNull) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Jzon::Value made[] = {Jzon::Value(inf), Jzon::Value(-inf), Jzon::Value(nan),
                              Jzon::Value(std::numeric_limits<float>::infinity()),
                              Jzon::Value(std::nanf(""))};
  for (const Jzon::Value& v : made) {
    EXPECT_TRUE(v.IsNull());
    EXPECT_EQ(v.ToString(), "null");
  }
  Jzon::Value assigned(1);
  assigned = nan;
  EXPECT_TRUE(assigned.IsNull());
  assigned = 2.0f;
  assigned = -std::numeric_limits<float>::infinity();
  EXPECT_TRUE(assigned.IsNull());
  assigned.Set(inf);
  EXPECT_EQ(assigned.ValueKind(), Jzon::NullValue);
}

TEST(ValueConversion, NumbersReparseTheirText) {
  EXPECT_EQ(Jzon::Value(-7).ToInt(), -7);
  EXPECT_EQ(Jzon::Value(2.5).ToDouble(), 2.5);
  EXPECT_EQ(Jzon::Value(0.1f).ToFloat(), 0.1f);
  EXPECT_EQ(Jzon::Value(Jzon::NumberValue, "3.7").ToInt(), 3);
  EXPECT_EQ(Jzon::Value(Jzon::NumberValue, "1.2.3").ToDouble(), 1.2);
  EXPECT_EQ(Jzon::Value(Jzon::NumberValue, "  12abc").ToInt(), 12);

  const Jzon::Value raw(Jzon::NumberValue, "1.50");
  EXPECT_EQ(raw.ToString(), "1.50");
  EXPECT_EQ(raw.ToDouble(), 1.5);
}

TEST(ValueConversion, WordsThatAreNotNumbersDoNotFail) {
  // The parser accepts words of minus signs and points as numbers; reading
  // them has no meaningful result but must not crash or throw.
  for (const char* word : {"-", ".", "-.-", "", "--1"}) {
    SCOPED_TRACE(word);
    const Jzon::Value v(Jzon::NumberValue, word);
    EXPECT_NO_THROW(v.ToInt());
    EXPECT_NO_THROW(v.ToFloat());
    EXPECT_NO_THROW(v.ToDouble());
  }
  EXPECT_NO_THROW(Jzon::Value(Jzon::NumberValue, "1e999").ToInt());
  EXPECT_NO_THROW(Jzon::Value(Jzon::NumberValue, "1e999").ToFloat());
}

TEST(ValueConversion, NullConvertsToZeroFalseAndNullText) {
  const Jzon::Value v;
  EXPECT_TRUE(v.IsNull());
  EXPECT_EQ(v.ToString(), "null");
  EXPECT_EQ(v.ToInt(), 0);
  EXPECT_EQ(v.ToFloat(), 0.0f);
  EXPECT_EQ(v.ToDouble(), 0.0);
  EXPECT_FALSE(v.ToBool());
  EXPECT_EQ(v.ChildCount(), 0u);
}

TEST(ValueConversion, BooleansKeepTheirWord) {
  EXPECT_EQ(Jzon::Value(true).ToString(), "true");
  EXPECT_TRUE(Jzon::Value(true).ToBool());
  EXPECT_FALSE(Jzon::Value(false).ToBool());
  EXPECT_FALSE(Jzon::Value(Jzon::BoolValue, "TRUE").ToBool());
}

TEST(ValueConversion, WrongKindThrowsValueException) {
  const Jzon::Value digits(std::string("12"));
  EXPECT_TRUE(digits.IsString());
  EXPECT_THROW(digits.ToInt(), Jzon::ValueException);
  EXPECT_THROW(digits.ToDouble(), Jzon::ValueException);
  EXPECT_THROW(digits.ToBool(), Jzon::ValueException);
  EXPECT_THROW(Jzon::Value(true).ToInt(), Jzon::ValueException);
  EXPECT_THROW(Jzon::Value(true).ToFloat(), Jzon::ValueException);
  EXPECT_THROW(Jzon::Value(1).ToBool(), Jzon::ValueException);
  EXPECT_EQ(digits.ToString(), "12");
}

TEST(ValueNodeKind, ContainersAreNotValues) {
  const Jzon::Object object;
  const Jzon::Array array;
  EXPECT_THROW(Jzon::Value{object}, Jzon::TypeException);
  Jzon::Value v(5);
  EXPECT_THROW(v = array, Jzon::TypeException);
  EXPECT_EQ(v.ToInt(), 5);
  EXPECT_THROW(v.AsArray(), Jzon::TypeException);
  EXPECT_THROW(v.AsObject(), Jzon::TypeException);
  EXPECT_EQ(&v.AsValue(), &v);
  EXPECT_THROW(v.HasChild("x"), Jzon::TypeException);
  EXPECT_THROW(array.HasChild("x"), Jzon::TypeException);
  EXPECT_THROW(v.ChildAt(0), Jzon::TypeException);
  EXPECT_THROW(v.ChildNamed("x"), Jzon::TypeException);
  EXPECT_THROW(object.ToString(), Jzon::TypeException);
  EXPECT_THROW(array.ToBool(), Jzon::TypeException);
  EXPECT_FALSE(object.IsNull());
  EXPECT_TRUE(v.IsValue());
  EXPECT_FALSE(v.IsObject());
}

TEST(ValueNodeKind, ValueNodeConvertsAndSelfAssignmentKeepsIt) {
  const Jzon::Value source("text");
  const Jzon::Node& asNode = source;
  Jzon::Value copy(asNode);
  EXPECT_EQ(copy.ToString(), "text");
  EXPECT_TRUE(copy.IsString());

  Jzon::Value& alias = copy;
  copy = alias;
  copy = static_cast<const Jzon::Node&>(alias);
  EXPECT_EQ(copy.ToString(), "text");
  EXPECT_EQ(copy.ValueKind(), Jzon::StringValue);

  std::unique_ptr<Jzon::Node> clone(source.Clone());
  EXPECT_EQ(clone->ToString(), "text");
  EXPECT_TRUE(clone->IsString());
}

TEST(ValueNodeKind, NullCharPointerBecomesNull) {
  const char* none = nullptr;
  EXPECT_TRUE(Jzon::Value(none).IsNull());
}

TEST(ValueExceptions, MessagesAndBasesAreFixed) {
  EXPECT_STREQ(Jzon::TypeException().what(), "A Node was used as the wrong type");
  EXPECT_STREQ(Jzon::ValueException().what(), "A Value was used as the wrong type");
  EXPECT_STREQ(Jzon::NotFoundException().what(), "The node could not be found");
  EXPECT_THROW(throw Jzon::NotFoundException(), std::out_of_range);
  EXPECT_THROW(throw Jzon::NotFoundException(), std::logic_error);
  EXPECT_THROW(throw Jzon::TypeException(), std::logic_error);
}

struct EscapeCase {
  const char* label;
  std::string raw;
  std::string decoded;
};

TEST(ValueEscapes, StringSettersDecodeTheEightPairsOnly) {
  const EscapeCase cases[] = {
      {"newline", "a\\nb", "a\nb"},
      {"all eight", "\\\\\\/\\\"\\n\\t\\b\\f\\r", "\\/\"\n\t\b\f\r"},
      {"unknown pair kept", "\\x", "\\x"},
      {"unicode kept", "\\u0041", "\\u0041"},
      {"lone trailing backslash", "end\\", "end\\"},
      {"pairs do not overlap", "\\\\n", "\\n"},
      {"backslash then quote", "\\\\\\\"", "\\\""},
      {"embedded NUL copied", std::string("a\0b", 3), std::string("a\0b", 3)},
      {"backslash before NUL", std::string("\\\0", 2), std::string("\\\0", 2)},
  };
  for (const EscapeCase& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(Jzon::UnescapeText(c.raw), c.decoded);
    EXPECT_EQ(Jzon::Value(c.raw).ToString(), c.decoded);
  }
}

TEST(ValueEscapes, EscapeTextEncodesTheEightCharactersOnly) {
  EXPECT_EQ(Jzon::EscapeText("\\/\"\n\t\b\f\r"), "\\\\\\/\\\"\\n\\t\\b\\f\\r");
  const std::string untouched("\x01\x7f\xc3\xa9 \0z", 7);
  EXPECT_EQ(Jzon::EscapeText(untouched), untouched);
  EXPECT_EQ(Jzon::FindEscapeFor('\0'), "");
  EXPECT_EQ(Jzon::FindEscapeFor('a'), "");
  EXPECT_EQ(Jzon::FindEscapeFor('/'), "\\/");
  EXPECT_EQ(Jzon::FindCharForEscape('\\', 'r'), '\r');
  EXPECT_EQ(Jzon::FindCharForEscape('\\', 'u'), '\0');
  EXPECT_EQ(Jzon::FindCharForEscape('\\', '\0'), '\0');
  EXPECT_EQ(Jzon::FindCharForEscape('x', 'n'), '\0');
}

TEST(ValueEscapes, EscapeThenUnescapeGivesTheOriginal) {
  std::string everyByte;
  for (int b = 0; b < 256; ++b) everyByte += static_cast<char>(b);
  EXPECT_EQ(Jzon::UnescapeText(Jzon::EscapeText(everyByte)), everyByte);
}

}  // namespace
