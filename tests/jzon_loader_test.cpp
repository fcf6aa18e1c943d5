#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "jzon.h"
#include "jzon_test_util.h"

namespace {

using jzon_test::Describe;

// Named by process, as every test case runs as its own process.
std::string TempPath(const std::string& stem) {
  return testing::TempDir() + "jzon_loader_" + std::to_string(getpid()) + "_" + stem;
}

// A file holding the given bytes for the lifetime of the object.
class TempFile {
 public:
  explicit TempFile(const std::string& bytes) : path_(TempPath(std::to_string(counter_++))) {
    std::ofstream(path_, std::ios::binary).write(bytes.data(), bytes.size());
  }
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  static inline int counter_ = 0;
  std::string path_;
};

TEST(FileLoaderOpen, UnreadablePathsFailWithoutThrowingOrWaiting) {
  const std::string fifo = TempPath("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);  // must not wait for a writer
  for (const std::string& path : {testing::TempDir() + "no_such_dir/missing.json",
                                  testing::TempDir(), fifo}) {
    SCOPED_TRACE(path);
    Jzon::FileLoader loader(path);
    EXPECT_EQ(loader.ErrorMessage(), "Failed to load file");
    EXPECT_EQ(loader.DetectNodeType(), Jzon::ValueNode);
    Jzon::Object root;
    root.Add("kept", Jzon::Value(1));
    EXPECT_FALSE(loader.ParseInto(root));
    EXPECT_EQ(Describe(root), R"({"kept":#1})");
    EXPECT_FALSE(Jzon::FileLoader::LoadFile(path, root));
  }
  std::remove(fifo.c_str());
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

TEST(FileLoaderText, EveryByteReachesTheParserAndCarriageReturnsStayInStrings) {
  const char raw[] = "{\r\n\t\"a\": \"x\r\ny\",\r\n\t\"b\": [1,\r\n\"\0\xff\"]\r\n}\r\n";
  const TempFile file(std::string(raw, sizeof raw - 1));
  Jzon::FileLoader loader(file.path());
  ASSERT_EQ(loader.DetectNodeType(), Jzon::ObjectNode);
  Jzon::Object root;
  EXPECT_TRUE(loader.ParseInto(root)) << loader.ErrorMessage();
  EXPECT_EQ(Describe(root), std::string("{\"a\":\"x\r\ny\",\"b\":[#1,\"\0\xff\"]}", 26));
}

TEST(FileLoaderParse, FirstFailureSticks) {
  const TempFile file(R"({"a":1,"b":x})");
  Jzon::FileLoader loader(file.path());
  Jzon::Object first;
  EXPECT_FALSE(loader.ParseInto(first));
  EXPECT_EQ(Describe(first), R"({"a":#1})");
  Jzon::Object second;
  EXPECT_FALSE(loader.ParseInto(second));
  EXPECT_EQ(loader.ErrorMessage(), "Unknown token: x");
  EXPECT_EQ(Describe(second), "{}");
}

TEST(FileLoaderParse, TwiceIntoOneRootAddsMembersTwice) {
  const TempFile file("// settings\n{\"a\": 1, \"b\": [true]}\n");
  Jzon::FileLoader loader(file.path());
  Jzon::Object root;
  EXPECT_TRUE(loader.ParseInto(root));
  EXPECT_TRUE(loader.ParseInto(root));
  EXPECT_EQ(Describe(root), R"({"a":#1,"b":[true],"a":#1,"b":[true]})");
  Jzon::Array wrong;
  EXPECT_FALSE(Jzon::FileLoader::LoadFile(file.path(), wrong));
}

}  // namespace
