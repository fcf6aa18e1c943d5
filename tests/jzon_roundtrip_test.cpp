// Round trips: whatever tree the library writes, under any style, reads
// back to a tree that holds the same and writes the same text.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "jzon.h"
#include "jzon_test_util.h"

namespace {

using jzon_test::Describe;
using jzon_test::Write;

// Seeded random trees. Names are written as stored, so they are drawn as the
// parser would store them: no bare quote, and backslashes only in pairs.
class TreeMaker {
 public:
  explicit TreeMaker(unsigned seed) : rng_(seed) {}

  std::unique_ptr<Jzon::Node> Tree(int depth) {
    switch (Pick(depth > 0 ? 3 : 1)) {
      case 1: {
        auto object = std::make_unique<Jzon::Object>();
        for (unsigned i = Pick(5); i > 0; --i) object->Adopt(Name(), Tree(depth - 1));
        return object;
      }
      case 2: {
        auto array = std::make_unique<Jzon::Array>();
        for (unsigned i = Pick(5); i > 0; --i) array->Adopt(Tree(depth - 1));
        return array;
      }
      default:
        return std::make_unique<Jzon::Value>(Scalar());
    }
  }

 private:
  unsigned Pick(unsigned count) { return static_cast<unsigned>(rng_() % count); }

  std::string Name() {
    static const char* const kPieces[] = {"a", "Z", "7", " ", "/*", "//", "{", "]", ":", ",",
                                          "\xc3\xa9", "\\n", "\\\"", "\\\\", "\\u00e9", "\t"};
    std::string name;
    for (unsigned i = Pick(6); i > 0; --i) name += kPieces[Pick(sizeof kPieces / sizeof *kPieces)];
    return name;
  }

  Jzon::Value Scalar() {
    switch (Pick(8)) {
      case 0:
        return Jzon::Value();
      case 1:
        return Jzon::Value(Pick(2) == 0);
      case 2:
        return Jzon::Value(static_cast<int>(rng_()));
      case 3:
        return Jzon::Value(std::ldexp(static_cast<double>(rng_()), static_cast<int>(Pick(120)) - 80));
      case 4: {
        static const char* const kDialect[] = {"-", "1.2.3", "--5", "1e5", "-2.5E-3", "0.50"};
        return Jzon::Value(Jzon::NumberValue, kDialect[Pick(6)]);
      }
      default: {
        // Any bytes at all, NUL, quotes and backslashes included.
        std::string text(Pick(12), '\0');
        for (char& c : text) c = static_cast<char>(rng_());
        return Jzon::Value(Jzon::StringValue, text);
      }
    }
  }

  std::mt19937 rng_;
};

const Jzon::WriteStyle kStyles[] = {
    Jzon::CompactStyle,      Jzon::IndentedStyle,     {false, true, false, 0},
    {true, false, false, 2}, {true, true, true, 3},   {true, false, true, 0},
    {false, true, true, 4},
};

std::unique_ptr<Jzon::Node> ReadBack(const std::string& text) {
  std::unique_ptr<Jzon::Node> root = jzon_test::MakeRoot(Jzon::DetectNodeType(text));
  Jzon::TextParser parser(*root, text);
  EXPECT_TRUE(parser.Run()) << parser.ErrorMessage();
  return root;
}

TEST(RoundTripText, RandomTreesUnderEveryStyle) {
  for (unsigned seed = 1; seed <= 400; ++seed) {
    TreeMaker maker(seed);
    const std::unique_ptr<Jzon::Node> tree = maker.Tree(static_cast<int>(seed % 6));
    for (const Jzon::WriteStyle& style : kStyles) {
      const std::string text = Write(*tree, style);
      SCOPED_TRACE("seed " + std::to_string(seed) + ": " + text);
      const std::unique_ptr<Jzon::Node> back = ReadBack(text);
      ASSERT_EQ(back->Kind(), tree->Kind());
      ASSERT_EQ(Describe(*back), Describe(*tree));
      ASSERT_EQ(Write(*back, style), text);
    }
  }
}

TEST(RoundTripText, EveryByteInAStringValue) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  Jzon::Array tree;
  tree.Add(Jzon::Value(Jzon::StringValue, all));
  for (const Jzon::WriteStyle& style : kStyles) {
    const std::unique_ptr<Jzon::Node> back = ReadBack(Write(tree, style));
    ASSERT_EQ(back->ChildCount(), 1u);
    EXPECT_EQ(back->ChildAt(0).ToString(), all);
  }
}

TEST(RoundTripFile, SavedFilesLoadBack) {
  for (unsigned seed = 1000; seed < 1040; ++seed) {
    TreeMaker maker(seed);
    const std::unique_ptr<Jzon::Node> tree = maker.Tree(4);
    const Jzon::WriteStyle& style = kStyles[seed % (sizeof kStyles / sizeof *kStyles)];
    const jzon_test::TempFile file("");
    ASSERT_TRUE(Jzon::FileSaver::SaveFile(file.path(), *tree, style));
    Jzon::FileLoader loader(file.path());
    std::unique_ptr<Jzon::Node> back = jzon_test::MakeRoot(loader.DetectNodeType());
    SCOPED_TRACE(seed);
    ASSERT_TRUE(loader.ParseInto(*back)) << loader.ErrorMessage();
    EXPECT_EQ(Write(*back, style), Write(*tree, style));
  }
}

}  // namespace
