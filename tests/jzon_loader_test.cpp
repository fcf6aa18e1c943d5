// The file loader: every byte of a file reaches the parser, anything that is
// not a readable file fails at once, and the first failure sticks.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "jzon_test_util.h"
#include "scratch_files.h"

using jzon_test::Describe;

TEST(FileLoader, UnreadablePathsAndBadTextFailAndTheFailureSticks) {
  const ScratchDir dir;
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);  // must not wait for a writer
  for (const std::string& path : {dir / "no_such_dir/missing.json", dir / "", dir / "fifo"}) {
    Jzon::FileLoader loader(path);
    EXPECT_EQ(loader.ErrorMessage(), "Failed to load file") << path;
    EXPECT_EQ(loader.DetectNodeType(), Jzon::ValueNode) << path;
    Jzon::Object root;
    root.Add("kept", 1);
    EXPECT_FALSE(loader.ParseInto(root) || Jzon::FileLoader::LoadFile(path, root)) << path;
    EXPECT_EQ(Describe(root), R"({"kept":#1})") << path;
  }
  WriteBytes(dir / "bad.json", R"({"a":1,"b":x})");
  Jzon::FileLoader loader(dir / "bad.json");
  Jzon::Object first, second;
  EXPECT_FALSE(loader.ParseInto(first) || loader.ParseInto(second));
  EXPECT_EQ(loader.ErrorMessage(), "Unknown token: x");
  EXPECT_EQ(Describe(first) + Describe(second), R"({"a":#1}{})");
}

TEST(FileLoader, EveryByteReachesTheParserAndRootsGrow) {
  const ScratchDir dir;
  const char raw[] = "// r\n{\r\n\t\"a\": \"x\r\ny\",\r\n\t\"b\": [1,\r\n\"\0\xff\"]\r\n}\r\n";
  WriteBytes(dir / "raw.json", std::string(raw, sizeof raw - 1));
  Jzon::FileLoader loader(dir / "raw.json");
  EXPECT_EQ(loader.DetectNodeType(), Jzon::ObjectNode);
  Jzon::Object root;
  EXPECT_TRUE(loader.ParseInto(root)) << loader.ErrorMessage();
  EXPECT_TRUE(loader.ParseInto(root));  // a second run adds the members again
  // An empty file adds nothing: n_structure_no_data in jzon_conformance_test.
  const std::string tree = std::string("\"a\":\"x\r\ny\",\"b\":[#1,\"") + '\0' + "\xff\"]";
  EXPECT_EQ(Describe(root), "{" + tree + "," + tree + "}");
  Jzon::Array wrong;
  EXPECT_FALSE(Jzon::FileLoader::LoadFile(dir / "raw.json", wrong));
}
