#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "jzon.h"

namespace {

std::string Emit(const Jzon::Node& root, const Jzon::WriteStyle& style) {
  Jzon::Emitter emitter(root, style);
  emitter.Write();
  return emitter.GetResult();
}

// {"a": 1, "b": [true, null]}, the tree every layout example uses.
Jzon::Object SampleTree() {
  Jzon::Array b;
  b.Add(true);
  b.Add(Jzon::Value());
  Jzon::Object root;
  root.Add("a", 1);
  root.Add("b", b);
  return root;
}

struct LayoutCase {
  const char* label;
  Jzon::WriteStyle style;
  const char* text;
};

TEST(EmitterLayout, SampleTreeUnderEachStyle) {
  const LayoutCase cases[] = {
      {"compact", Jzon::CompactStyle, R"({"a":1,"b":[true,null]})"},
      {"flags off, indentation ignored", {false, false, true, 7},
       R"({"a":1,"b":[true,null]})"},
      {"spaced only", {false, true, true, 4}, R"({ "a": 1, "b": [ true, null ] })"},
      {"multiLine, two spaces", {true, false, false, 2},
       "{\n  \"a\":1,\n  \"b\":[\n    true,\n    null\n  ]\n}"},
      {"multiLine, width 0", {true, false, false, 0},
       "{\n\"a\":1,\n\"b\":[\ntrue,\nnull\n]\n}"},
      {"indented", Jzon::IndentedStyle,
       "{\n\t\"a\": 1,\n\t\"b\": [\n\t\ttrue,\n\t\tnull\n\t]\n}"},
  };
  const Jzon::Object tree = SampleTree();
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(Emit(tree, c.style), c.text);
  }
}

TEST(EmitterLayout, EmptyContainersKeepOneBreakBeforeTheBracket) {
  const Jzon::Object object;
  const Jzon::Array array;
  const Jzon::WriteStyle spacedOnly = {false, true, false, 0};
  EXPECT_EQ(Emit(object, Jzon::IndentedStyle), "{\n\n}");
  EXPECT_EQ(Emit(array, Jzon::IndentedStyle), "[\n\n]");
  EXPECT_EQ(Emit(object, Jzon::CompactStyle), "{}");
  EXPECT_EQ(Emit(array, Jzon::CompactStyle), "[]");
  EXPECT_EQ(Emit(object, spacedOnly), "{  }");
  EXPECT_EQ(Emit(array, spacedOnly), "[  ]");

  Jzon::Object holder;
  holder.Add("e", object);
  EXPECT_EQ(Emit(holder, Jzon::IndentedStyle), "{\n\t\"e\": {\n\n\t}\n}");
}

TEST(EmitterLayout, NestedArraysIndentPerLevel) {
  Jzon::Array inner;
  inner.Add(1);
  Jzon::Array outer;
  outer.Add(inner);
  EXPECT_EQ(Emit(outer, Jzon::IndentedStyle), "[\n\t[\n\t\t1\n\t]\n]");
}

TEST(EmitterLayout, ResultDocumentIsSixTabIndentedLines) {
  Jzon::Object doc;
  doc.Add("Laplace", Jzon::Value(12.5f));
  doc.Add("Variance-Lap", Jzon::Value(0.1f));
  doc.Add("Tenengrad", Jzon::Value(1234567.0f));
  doc.Add("Gray-Level", Jzon::Value(3.0f));
  EXPECT_EQ(Emit(doc, Jzon::IndentedStyle),
            "{\n"
            "\t\"Laplace\": 12.5,\n"
            "\t\"Variance-Lap\": 0.1,\n"
            "\t\"Tenengrad\": 1.23457e+06,\n"
            "\t\"Gray-Level\": 3\n"
            "}");
}

struct RootCase {
  const char* label;
  Jzon::Value root;
  std::string text;
};

TEST(EmitterValues, ScalarsAreWrittenAloneAndStringsEscaped) {
  const RootCase cases[] = {
      {"string with slash", Jzon::Value("a/b"), R"("a\/b")"},
      {"control and UTF-8 bytes", Jzon::Value(std::string("\x01\xc3\xa9")),
       "\"\x01\xc3\xa9\""},
      {"quote tab newline", Jzon::Value(std::string("\"\t\n")), R"("\"\t\n")"},
      {"backslash", Jzon::Value(Jzon::StringValue, "\\"), R"("\\")"},
      {"string null", Jzon::Value("null"), R"("null")"},
      {"null", Jzon::Value(), "null"},
      {"raw number kept", Jzon::Value(Jzon::NumberValue, "1.50"), "1.50"},
      {"odd number text kept", Jzon::Value(Jzon::NumberValue, "-0E+00"), "-0E+00"},
      {"bool", Jzon::Value(false), "false"},
  };
  for (const RootCase& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(Emit(c.root, Jzon::IndentedStyle), c.text);
    EXPECT_EQ(Emit(c.root, Jzon::CompactStyle), c.text);
  }
}

TEST(EmitterValues, MemberNamesAreWrittenAsStored) {
  Jzon::Object object;
  object.Add("say \"hi\"\\", 1);
  EXPECT_EQ(Emit(object, Jzon::CompactStyle), "{\"say \"hi\"\\\":1}");
}

TEST(EmitterValues, DuplicateMembersAreAllWritten) {
  Jzon::Object object;
  object.Add("x", 1);
  object.Add("x", 2);
  EXPECT_EQ(Emit(object, Jzon::CompactStyle), R"({"x":1,"x":2})");
}

TEST(EmitterCalls, WriteRebuildsAndStyleAppliesToTheNextWrite) {
  const Jzon::Object tree = SampleTree();
  Jzon::Emitter emitter(tree, Jzon::CompactStyle);
  EXPECT_EQ(emitter.GetResult(), "");
  emitter.Write();
  emitter.Write();
  EXPECT_EQ(emitter.GetResult(), R"({"a":1,"b":[true,null]})");
  emitter.SetStyle({false, true, false, 0});
  EXPECT_EQ(emitter.GetResult(), R"({"a":1,"b":[true,null]})");
  emitter.Write();
  EXPECT_EQ(emitter.GetResult(), R"({ "a": 1, "b": [ true, null ] })");
}

// As deep as the parser accepts: the recursive writer must not exhaust the
// stack, and the text must match one built independently.
TEST(EmitterDepth, ThousandNestedContainersAreWritten) {
  constexpr int kDepth = 1000;
  auto root = std::make_unique<Jzon::Array>();
  root->Add(0);
  for (int level = 1; level < kDepth; ++level) {
    auto parent = std::make_unique<Jzon::Array>();
    parent->Adopt(std::move(root));
    root = std::move(parent);
  }
  const std::unique_ptr<Jzon::Node> copy(root->Clone());
  EXPECT_EQ(Emit(*copy, Jzon::CompactStyle),
            std::string(kDepth, '[') + "0" + std::string(kDepth, ']'));

  std::string indented;
  for (int d = 0; d < kDepth; ++d) indented += std::string(d, '\t') + "[\n";
  indented += std::string(kDepth, '\t') + "0";
  for (int d = kDepth - 1; d >= 0; --d) indented += "\n" + std::string(d, '\t') + "]";
  EXPECT_EQ(Emit(*root, Jzon::IndentedStyle), indented);
}

}  // namespace
