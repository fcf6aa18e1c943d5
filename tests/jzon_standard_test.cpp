// Jzon against standard JSON: \u escapes, names, control characters and
// comments, checked by hand and against Python's json module as an
// independent reader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "jzon.h"
#include "jzon_test_util.h"
#include "scratch_files.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using jzon_test::Describe;
using jzon_test::MakeRoot;
using jzon_test::Write;

const std::string kSuite = FOCUSRATE_SOURCE_DIR "/../shared/corpus/json/JSONTestSuite/test_parsing";

std::string Compact(const Jzon::Node& node) { return Write(node, Jzon::CompactStyle); }

std::string Hex(const std::string& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) hex += {kDigits[c >> 4], kDigits[c & 0xF]};
  return hex;
}

// Runs a Python script on the scratch folder and returns what it printed;
// the scripts print nothing when all is well.
std::string RunPython(const ScratchDir& dir, const std::string& script) {
  WriteBytes(dir / "check.py", script);
  const std::string command =
      "cd '" + (dir / "") + "' && python3 check.py > report.txt 2>&1; echo \"status $?\" >> report.txt";
  EXPECT_EQ(0, std::system(command.c_str()));
  return ReadBytes(dir / "report.txt");
}

TEST(JzonStandard, UnicodeEscapesDecodeToUtf8InValuesAndNames) {
  const struct {
    const char* text;
    std::string decoded;
  } cases[] = {
      {R"(\u0061\u30af)", "a\xE3\x82\xAF"},
      {R"(\u00e9\u00C9)", "\xC3\xA9\xC3\x89"},
      {R"(\ud834\udd1e)", "\xF0\x9D\x84\x9E"},         // a surrogate pair is one character
      {R"(\ud800x)", "\xEF\xBF\xBDx"},                  // lone high surrogate
      {R"(\udc00\ud800)", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // inverted pair
      {R"(\ud800\u0041)", "\xEF\xBF\xBD" "A"},          // high then a non-surrogate
      {R"(\ud800\n)", "\xEF\xBF\xBD\n"},
      {R"(a\u0000b)", "a\0b"s},
      {R"(\u12g4 \u)", R"(\u12g4 \u)"},                 // not an escape: kept as written
      {R"(\\u0041)", R"(\u0041)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const std::string& decoded = c.decoded;
    Jzon::Object root;
    const std::string text = std::string("{\"") + c.text + "\": \"" + c.text + "\"}";
    Jzon::TextParser parser(root, text);
    ASSERT_TRUE(parser.Run()) << parser.ErrorMessage();
    ASSERT_TRUE(root.HasChild(decoded));
    EXPECT_EQ(decoded, root.ChildNamed(decoded).ToString());
  }
}

TEST(JzonStandard, NamesAreEscapedWhenWrittenAndDecodedWhenRead) {
  Jzon::Object built;
  built.Add("say \"hi\"", 1);
  built.Add("a/b\\\x01", 2);
  EXPECT_EQ(R"({"say \"hi\"":1,"a\/b\\\u0001":2})", Compact(built));

  Jzon::Object read;
  Jzon::TextParser parser(read, R"({"a\"b": 1, "a\/b": 2, "a/b": 3})");
  ASSERT_TRUE(parser.Run()) << parser.ErrorMessage();
  EXPECT_EQ(1, read.ChildNamed("a\"b").ToInt());
  EXPECT_EQ(2, read.ChildNamed("a/b").ToInt());  // the first of the two equal names
  // Text written before names were escaped reads back to the same bytes.
  EXPECT_EQ(R"({"a\"b":1,"a\/b":2,"a\/b":3})", Compact(read));
}

TEST(JzonStandard, ControlCharactersWithoutShortEscapeAreWrittenAsU00XX) {
  Jzon::Array root;
  root.Add(Jzon::Value(Jzon::StringValue, std::string("\x01\x1F\x7F\n\0", 5)));
  EXPECT_EQ("[\"\\u0001\\u001f\x7F\\n\\u0000\"]", Compact(root));
}

TEST(JzonStandard, QuotesInsideCommentsOpenNoString) {
  const struct {
    const char* text;
    const char* compact;
  } cases[] = {
      {"{\"a\":1, // say \"hi\n\"b\":2}", R"({"a":1,"b":2})"},
      {"{\"a\":1, /* the \"x\" field */ \"b\":2}", R"({"a":1,"b":2})"},
      {"{\"a\":1, /* \\\" */ \"b\":2}", R"({"a":1,"b":2})"},
      {"[\"//\", // \"\n \"/*\", /* \" */ \"\\\"\"]", R"(["\/\/","\/*","\""])"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::unique_ptr<Jzon::Node> root = MakeRoot(Jzon::DetectNodeType(c.text));
    Jzon::TextParser parser(*root, c.text);
    ASSERT_TRUE(parser.Run()) << parser.ErrorMessage();
    EXPECT_EQ(c.compact, Compact(*root));
  }
}

TEST(JzonStandard, UnknownWordsAreCutAndShownPrintably) {
  const std::string forty(40, 'w');
  const struct {
    std::string word, shown;
  } cases[] = {
      {forty, forty},
      {forty + "x", forty + "..."},
      {std::string("a\0\x1B\xFF", 4) + std::string(20000000, 'z'), "a\\x00\\x1B\\xFF" + std::string(36, 'z') + "..."},
  };
  for (const auto& c : cases) {
    Jzon::Array root;
    Jzon::TextParser parser(root, "[" + c.word + "]");
    EXPECT_FALSE(parser.Run());
    EXPECT_EQ("Unknown token: " + c.shown, parser.ErrorMessage());
  }
}

// Every y_ file of the suite is read to what Python reads; the i_ files with
// broken surrogates give valid UTF-8.
TEST(JzonStandard, SuiteFilesReadAsAStandardReaderReadsThem) {
  if (!fs::is_directory(kSuite)) GTEST_SKIP() << "no suite at " << kSuite;
  ScratchDir dir;
  std::string pairs;
  for (const auto& entry : fs::directory_iterator(kSuite)) {
    const std::string name = entry.path().filename().string();
    // Escaped surrogates only: a raw encoded surrogate is a byte sequence
    // Jzon keeps as it is.
    const bool surrogate = name.rfind("i_", 0) == 0 &&
                           name.find("surrogate") != std::string::npos &&
                           name.find("UTF8") == std::string::npos;
    if (name.rfind("y_", 0) != 0 && !surrogate) continue;
    Jzon::FileLoader loader(entry.path().string());
    std::unique_ptr<Jzon::Node> root = MakeRoot(loader.DetectNodeType());
    if (!loader.ParseInto(*root)) {
      EXPECT_TRUE(surrogate) << name << ": " << loader.ErrorMessage();
      continue;
    }
    ASSERT_TRUE(Jzon::FileSaver::SaveFile(dir / name, *root, Jzon::CompactStyle));
    pairs += name + "\n";
  }
  WriteBytes(dir / "pairs.txt", pairs);
  // Ours must be strict UTF-8 (decode fails otherwise) and, for y_ files,
  // hold what Python reads from the original.
  const std::string report = RunPython(dir, R"(import json
for name in open("pairs.txt").read().split():
    ours = json.loads(open(name, "rb").read().decode("utf-8"))
    if name.startswith("y_") and ours != json.load(open(")" + kSuite + R"(/" + name, "rb")):
        print(name, ascii(ours))
)");
  EXPECT_EQ("status 0\n", report);
}

// Names and strings of random bytes (controls, quotes, backslashes, slashes,
// UTF-8 and bytes that are not) survive every style, and Python reads the
// text as valid JSON holding the same bytes.
TEST(JzonStandard, RandomNamesAndStringsRoundTripAndPythonAgrees) {
  std::mt19937 rng(90210);
  const std::string pool = "\"\\/\x01\x1F\n\t aZ\xC3\xA9\xE3\x82\xAF\xF0\x9D\x84\x9E";
  auto randomText = [&](bool anyByte) {
    std::string text;
    for (int n = static_cast<int>(rng() % 12); n > 0; --n) {
      text += anyByte && rng() % 3 == 0 ? static_cast<char>(rng() % 256) : pool[rng() % pool.size()];
    }
    return text;
  };
  ScratchDir dir;
  std::string expected;
  const Jzon::WriteStyle styles[] = {Jzon::CompactStyle, Jzon::IndentedStyle, {true, false, false, 3}};
  for (int doc = 0; doc < 60; ++doc) {
    Jzon::Object built;
    Jzon::Array list;
    for (int m = 0; m < 5; ++m) {
      built.Add(randomText(true), Jzon::Value(Jzon::StringValue, randomText(true)));
      list.Add(Jzon::Value(Jzon::StringValue, randomText(true)));
    }
    built.Add("list", list);
    const Jzon::WriteStyle& style = styles[doc % 3];
    const std::string text = Write(built, style);
    Jzon::Object read;
    Jzon::TextParser parser(read, text);
    ASSERT_TRUE(parser.Run()) << parser.ErrorMessage();
    ASSERT_EQ(Describe(built), Describe(read)) << text;
    const std::string file = std::to_string(doc) + ".json";
    WriteBytes(dir / file, text);
    // What Python must find: the members as (name, value) byte pairs in hex.
    std::string members;
    for (const auto& member : built) {
      if (member.second.IsString()) members += ' ' + Hex(member.first) + ':' + Hex(member.second.ToString());
    }
    expected += file + members + "\n";
  }
  WriteBytes(dir / "expected.txt", expected);
  const std::string report = RunPython(dir, R"(import json
def raw(s): return s.encode("utf-8", "surrogateescape").hex()
for line in open("expected.txt").read().splitlines():
    name, *members = line.split(" ")
    text = open(name, "rb").read().decode("utf-8", "surrogateescape")
    doc = json.loads(text, object_pairs_hook=list)
    got = [raw(k) + ":" + raw(v) for k, v in doc if isinstance(v, str)]
    if got != members: print(name, got, members)
)");
  EXPECT_EQ("status 0\n", report);
}

}  // namespace
