// Jzon against standard JSON: \u escapes, cut unknown words and comments
// checked by hand, and Python's json module as an independent reader.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "jzon_test_util.h"
#include "scratch_files.h"

namespace {

using namespace std::string_literals;
using namespace jzon_test;

const std::string kSuite = FOCUSRATE_SOURCE_DIR "/../shared/corpus/json/JSONTestSuite/test_parsing";

TEST(JzonStandard, SurrogatesCutWordsAndQuotedComments) {
  const std::string forty(40, 'w');
  const ParseCase cases[] = {
      // A pair is one 4-byte character, in names and values alike.
      {kObj, R"({"\ud834\udd1e": "a\uD834\uDD1Eb"})", "", "{\"\xF0\x9D\x84\x9E\":\"a\xF0\x9D\x84\x9E" "b\"}"},
      // Any surrogate without its partner becomes U+FFFD.
      {kArr, R"(["\ud800x", "\udc00\ud800", "\udc00\udc00", "\ud800\u0041", "\ud800\n", "\udbff"])", "",
       "[\"\xEF\xBF\xBDx\",\"\xEF\xBF\xBD\xEF\xBF\xBD\",\"\xEF\xBF\xBD\xEF\xBF\xBD\",\"\xEF\xBF\xBD" "A\","
       "\"\xEF\xBF\xBD\n\",\"\xEF\xBF\xBD\"]"},
      {kArr, R"(["a\u0000b", "\u12g4 \u", "\\u0041"])", "", "[\"a\0b\",\"\\u12g4 \\u\",\"\\u0041\"]"s},
      // Unknown words are shown up to 40 bytes, escapes counting as one.
      {kArr, "[" + forty + "]", "Unknown token: " + forty, "[]"},
      {kArr, "[" + forty + "x]", "Unknown token: " + forty + "...", "[]"},
      {kArr, "[a\0\x1B\xFF"s + std::string(20000000, 'z') + "]",
       "Unknown token: a\\x00\\x1B\\xFF" + std::string(36, 'z') + "...", "[]"},
  };
  for (const ParseCase& c : cases) EXPECT_EQ(c.Expected(), ParseAs(c.root, c.json)) << c.json.substr(0, 60);
}

// Python must read every y_ file of the suite as Jzon does and find the
// text Jzon writes for it, and for the i_ files with escaped broken
// surrogates, strict UTF-8. A name and a string of every byte, after UTF-8
// and the escapable characters, come back from the text under each style.
TEST(JzonStandard, PythonReadsWhatJzonReadsAndWrites) {
  ScratchDir dir;
  // The suite lives beside the checkout; without it only the strings are checked.
  const bool suite = std::filesystem::is_directory(kSuite);
  if (!suite) std::cerr << "no suite at " << kSuite << ": its files are not compared\n";
  for (const auto& entry : std::filesystem::directory_iterator(suite ? kSuite : dir / "")) {
    const std::string name = entry.path().filename().string();
    // A raw encoded surrogate (the UTF8 files) is bytes Jzon keeps as they are.
    const bool surrogate = name.rfind("i_", 0) == 0 && name.find("surrogate") != std::string::npos &&
                           name.find("UTF8") == std::string::npos;
    if (name.rfind("y_", 0) != 0 && !surrogate) continue;
    Jzon::FileLoader loader(entry.path().string());
    std::unique_ptr<Jzon::Node> root = MakeRoot(loader.DetectNodeType());
    ASSERT_TRUE(loader.ParseInto(*root) &&
                Jzon::FileSaver::SaveFile(dir / name, *root, Jzon::CompactStyle)) << name;
  }
  std::string every = "\"\\/\xC3\xA9\xE3\x82\xAF\xF0\x9D\x84\x9E";
  for (int b = 0; b < 256; ++b) every += static_cast<char>(b);
  WriteBytes(dir / "every.bin", every);
  Jzon::Object built;
  built.Add(every, Jzon::Value(Jzon::StringValue, every));
  const Jzon::WriteStyle styles[] = {
      Jzon::CompactStyle, Jzon::IndentedStyle, {true, false, false, 3}};
  for (int i = 0; i < 3; ++i)
    WriteBytes(dir / ("w" + std::to_string(i) + ".json"), Write(built, styles[i]));
  WriteBytes(dir / "check.py", R"(import glob, json
if )" + std::string(suite ? "True" : "False") + R"( and len(glob.glob("[yi]_*")) < 100: print("suite files missing")
for name in glob.glob("[yi]_*"):
    ours = json.loads(open(name, "rb").read().decode("utf-8"))
    if name.startswith("y_") and ours != json.load(open(")" + kSuite + R"(/" + name, "rb")):
        print(name, ascii(ours))
def raw(s): return s.encode("utf-8", "surrogateescape")
want = [(open("every.bin", "rb").read(),) * 2]
for name in glob.glob("w*.json"):
    text = open(name, "rb").read().decode("utf-8", "surrogateescape")
    got = [(raw(k), raw(v)) for k, v in json.loads(text, object_pairs_hook=list)]
    if got != want: print(name, ascii(got))
)");
  const std::string command =
      "cd '" + (dir / "") + "' && python3 check.py > report.txt 2>&1; echo \"status $?\" >> report.txt";
  ASSERT_EQ(0, std::system(command.c_str()));
  EXPECT_EQ("status 0\n", ReadBytes(dir / "report.txt"));
}

}  // namespace
