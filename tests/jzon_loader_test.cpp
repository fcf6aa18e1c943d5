#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>

#include "jzon.h"
#include "jzon_test_util.h"

namespace {

using jzon_test::Describe;
using jzon_test::TempFile;

void ExpectFailedLoad(const std::string& path) {
  Jzon::FileLoader loader(path);
  EXPECT_EQ(loader.ErrorMessage(), "Failed to load file");
  EXPECT_EQ(loader.DetectNodeType(), Jzon::ValueNode);
  Jzon::Object root;
  root.Add("kept", Jzon::Value(1));
  EXPECT_FALSE(loader.ParseInto(root));
  EXPECT_EQ(Describe(root), R"({"kept":#1})");
  EXPECT_FALSE(Jzon::FileLoader::LoadFile(path, root));
}

TEST(FileLoaderOpen, MissingFileFailsWithoutThrowing) {
  ExpectFailedLoad(testing::TempDir() + "no_such_dir/missing.json");
}

TEST(FileLoaderOpen, DirectoryFails) { ExpectFailedLoad(testing::TempDir()); }

TEST(FileLoaderOpen, FifoFailsWithoutWaitingForAWriter) {
  const std::string path = testing::TempDir() + "jzon_loader_fifo";
  std::remove(path.c_str());
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  ExpectFailedLoad(path);
  std::remove(path.c_str());
}

TEST(FileLoaderOpen, EmptyFileParsesToNothing) {
  const TempFile file("");
  Jzon::FileLoader loader(file.path());
  EXPECT_EQ(loader.ErrorMessage(), "");
  EXPECT_EQ(loader.DetectNodeType(), Jzon::ValueNode);
  Jzon::Array root;
  root.Add(Jzon::Value(2));
  EXPECT_TRUE(loader.ParseInto(root));
  EXPECT_EQ(Describe(root), "[#2]");
}

TEST(FileLoaderText, CarriageReturnsKeptOnlyInsideStrings) {
  const TempFile file("{\r\n\t\"a\": \"x\r\ny\",\r\n\t\"b\": [1,\r\n2]\r\n}\r\n");
  Jzon::FileLoader loader(file.path());
  ASSERT_EQ(loader.DetectNodeType(), Jzon::ObjectNode);
  Jzon::Object root;
  EXPECT_TRUE(loader.ParseInto(root)) << loader.ErrorMessage();
  EXPECT_EQ(Describe(root), "{\"a\":\"x\r\ny\",\"b\":[#1,#2]}");
}

TEST(FileLoaderText, EveryByteReachesTheParser) {
  const char raw[] = "[\"a\0b\", \"\xff\xfe\"]";
  const std::string bytes(raw, sizeof raw - 1);
  const TempFile file(bytes);
  Jzon::Array root;
  EXPECT_TRUE(Jzon::FileLoader::LoadFile(file.path(), root));
  ASSERT_EQ(root.ChildCount(), 2u);
  EXPECT_EQ(root.ChildAt(0).ToString(), std::string("a\0b", 3));
  EXPECT_EQ(root.ChildAt(1).ToString(), "\xff\xfe");
}

TEST(FileLoaderParse, FirstFailureSticks) {
  const TempFile file(R"({"a":1,"b":x})");
  Jzon::FileLoader loader(file.path());
  Jzon::Object first;
  EXPECT_FALSE(loader.ParseInto(first));
  EXPECT_EQ(loader.ErrorMessage(), "Unknown token: x");
  EXPECT_EQ(Describe(first), R"({"a":#1})");

  Jzon::Object second;
  EXPECT_FALSE(loader.ParseInto(second));
  EXPECT_EQ(loader.ErrorMessage(), "Unknown token: x");
  EXPECT_EQ(Describe(second), "{}");
}

TEST(FileLoaderParse, WrongRootKindFailsWithParserMessage) {
  const TempFile file("[1]");
  Jzon::FileLoader loader(file.path());
  Jzon::Object root;
  EXPECT_FALSE(loader.ParseInto(root));
  EXPECT_EQ(loader.ErrorMessage(), "The given root node is not an array");
}

TEST(FileLoaderParse, TwiceIntoOneRootAddsMembersTwice) {
  const TempFile file("// settings\n{\"a\": 1, \"b\": [true]}\n");
  Jzon::FileLoader loader(file.path());
  Jzon::Object root;
  EXPECT_TRUE(loader.ParseInto(root));
  EXPECT_TRUE(loader.ParseInto(root));
  EXPECT_EQ(Describe(root), R"({"a":#1,"b":[true],"a":#1,"b":[true]})");
}

TEST(FileLoaderParse, LoadFileFillsRootOfMatchingKind) {
  const TempFile file("[1, \"two\", null]");
  Jzon::Array root;
  EXPECT_TRUE(Jzon::FileLoader::LoadFile(file.path(), root));
  EXPECT_EQ(Describe(root), R"([#1,"two",null])");
  Jzon::Value wrong;
  EXPECT_FALSE(Jzon::FileLoader::LoadFile(file.path(), wrong));
}

TEST(FileLoaderParse, FileIsReadOnceAtConstruction) {
  TempFile file("[1]");
  Jzon::FileLoader loader(file.path());
  {
    std::FILE* f = std::fopen(file.path().c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("{}", f);
    std::fclose(f);
  }
  EXPECT_EQ(loader.DetectNodeType(), Jzon::ArrayNode);
  Jzon::Array root;
  EXPECT_TRUE(loader.ParseInto(root));
  EXPECT_EQ(Describe(root), "[#1]");
}

}  // namespace
