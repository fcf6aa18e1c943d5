#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <thread>

#include "jzon.h"

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

mode_t PermissionBits(const std::string& path) {
  struct stat st;
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

// {"a": 1, "b": "x/y"} whose compact text is worked out by hand below.
Jzon::Object SmallDoc() {
  Jzon::Object doc;
  doc.Add("a", 1);
  doc.Add("b", "x/y");
  return doc;
}
const char kSmallDocCompact[] = R"({"a":1,"b":"x\/y"})";

class FileSaverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "jzon_saver.XXXXXX").string();
    ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string PathOf(const std::string& name) const { return (fs::path(dir_) / name).string(); }

  std::set<std::string> Entries() const { return EntriesOf(dir_); }

  static std::set<std::string> EntriesOf(const std::string& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
      names.insert(entry.path().filename().string());
    }
    return names;
  }

  std::string dir_;
};

using FileSaverBytes = FileSaverTest;

TEST_F(FileSaverBytes, FileHoldsExactlyTheEmittedText) {
  const std::string path = PathOf("out.json");
  ASSERT_TRUE(Jzon::FileSaver::SaveFile(path, Jzon::Object(), Jzon::IndentedStyle));
  EXPECT_EQ(ReadBytes(path), "{\n\n}");

  ASSERT_TRUE(Jzon::FileSaver::SaveFile(path, Jzon::Value("a\tb"), Jzon::IndentedStyle));
  EXPECT_EQ(ReadBytes(path), "\"a\\tb\"");

  const Jzon::FileSaver saver(path);
  ASSERT_TRUE(saver.Save(SmallDoc(), Jzon::CompactStyle));
  ASSERT_TRUE(saver.Save(SmallDoc(), Jzon::CompactStyle));
  EXPECT_EQ(ReadBytes(path), kSmallDocCompact);
}

TEST_F(FileSaverBytes, LongerOldFileIsReplacedWhole) {
  const std::string path = PathOf("out.json");
  WriteBytes(path, std::string(5000, 'x'));
  ASSERT_TRUE(Jzon::FileSaver::SaveFile(path, SmallDoc(), Jzon::CompactStyle));
  EXPECT_EQ(ReadBytes(path), kSmallDocCompact);
  EXPECT_EQ(Entries(), std::set<std::string>{"out.json"});
}

using FileSaverAtomic = FileSaverTest;

// A file-size limit makes every write past a few bytes fail, like a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    struct rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
    oldHandler_ = signal(SIGXFSZ, SIG_IGN);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, oldHandler_);
  }

 private:
  struct rlimit old_;
  void (*oldHandler_)(int);
};

TEST_F(FileSaverAtomic, FailedWriteKeepsOldContentAndLeavesNothing) {
  const std::string path = PathOf("out.json");
  WriteBytes(path, "old");
  bool saved = true;
  {
    const FileSizeLimit limit(8);
    saved = Jzon::FileSaver::SaveFile(path, SmallDoc(), Jzon::CompactStyle);
  }
  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadBytes(path), "old");
  EXPECT_EQ(Entries(), std::set<std::string>{"out.json"});
}

TEST_F(FileSaverAtomic, FailedWriteOfNewFileCreatesNothing) {
  bool saved = true;
  {
    const FileSizeLimit limit(8);
    saved = Jzon::FileSaver::SaveFile(PathOf("new.json"), SmallDoc(), Jzon::CompactStyle);
  }
  EXPECT_FALSE(saved);
  EXPECT_TRUE(Entries().empty());
}

TEST_F(FileSaverAtomic, ExistingPermissionBitsAreKept) {
  for (const mode_t mode : {0640, 0755, 0600}) {
    SCOPED_TRACE(mode);
    const std::string path = PathOf("kept.json");
    WriteBytes(path, "old");
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(Jzon::FileSaver::SaveFile(path, SmallDoc(), Jzon::CompactStyle));
    EXPECT_EQ(PermissionBits(path), mode);
  }
}

TEST_F(FileSaverAtomic, NewFileFollowsTheUmask) {
  const mode_t old = umask(027);
  const bool saved = Jzon::FileSaver::SaveFile(PathOf("new.json"), SmallDoc(), Jzon::CompactStyle);
  umask(old);
  ASSERT_TRUE(saved);
  EXPECT_EQ(PermissionBits(PathOf("new.json")), static_cast<mode_t>(0640));
  EXPECT_EQ(Entries(), std::set<std::string>{"new.json"});
}

TEST_F(FileSaverAtomic, SymlinksKeepPointingAtTheReplacedFile) {
  fs::create_directory(PathOf("real"));
  WriteBytes(PathOf("real/data.json"), "old");
  fs::create_symlink("real/data.json", PathOf("link.json"));
  fs::create_symlink("link.json", PathOf("chain.json"));
  fs::create_symlink("real/missing.json", PathOf("dangling.json"));

  ASSERT_TRUE(Jzon::FileSaver::SaveFile(PathOf("chain.json"), SmallDoc(), Jzon::CompactStyle));
  ASSERT_TRUE(Jzon::FileSaver::SaveFile(PathOf("dangling.json"), Jzon::Array(),
                                        Jzon::CompactStyle));

  EXPECT_TRUE(fs::is_symlink(PathOf("link.json")));
  EXPECT_TRUE(fs::is_symlink(PathOf("chain.json")));
  EXPECT_TRUE(fs::is_symlink(PathOf("dangling.json")));
  EXPECT_EQ(ReadBytes(PathOf("real/data.json")), kSmallDocCompact);
  EXPECT_EQ(ReadBytes(PathOf("real/missing.json")), "[]");
  EXPECT_EQ(EntriesOf(PathOf("real")), (std::set<std::string>{"data.json", "missing.json"}));
}

using FileSaverFailures = FileSaverTest;

TEST_F(FileSaverFailures, UnusablePathsReportFalseAndCreateNothing) {
  fs::create_directory(PathOf("sub"));
  fs::create_symlink("loop", PathOf("loop"));
  const std::set<std::string> before = Entries();
  for (const std::string& path :
       {PathOf("sub"), PathOf("missing/out.json"), PathOf("loop"), std::string(),
        PathOf("sub/"), PathOf("loop/x.json")}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(Jzon::FileSaver::SaveFile(path, SmallDoc(), Jzon::CompactStyle));
  }
  EXPECT_EQ(Entries(), before);
  EXPECT_TRUE(EntriesOf(PathOf("sub")).empty());
}

TEST_F(FileSaverFailures, UnwritableDirectoryReportsFalse) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  const std::string path = PathOf("out.json");
  WriteBytes(path, "old");
  ASSERT_EQ(chmod(dir_.c_str(), 0555), 0);
  const bool saved = Jzon::FileSaver::SaveFile(path, SmallDoc(), Jzon::CompactStyle);
  chmod(dir_.c_str(), 0755);
  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadBytes(path), "old");
}

TEST(FileSaverDevices, FullDeviceReportsFalse) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  EXPECT_FALSE(Jzon::FileSaver::SaveFile("/dev/full", SmallDoc(), Jzon::CompactStyle));
  EXPECT_TRUE(fs::is_character_file("/dev/full"));
}

TEST(FileSaverDevices, NullAndStdoutAreWrittenInPlace) {
  EXPECT_TRUE(Jzon::FileSaver::SaveFile("/dev/null", SmallDoc(), Jzon::CompactStyle));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));

  // Opening /dev/stdout truncates a regular file behind it: do not wipe a log.
  struct stat out;
  if (fstat(STDOUT_FILENO, &out) != 0 || S_ISREG(out.st_mode)) {
    GTEST_SKIP() << "stdout is not a terminal or pipe";
  }
  EXPECT_TRUE(Jzon::FileSaver::SaveFile("/dev/stdout", Jzon::Value(1), Jzon::CompactStyle));
}

using FileSaverPipes = FileSaverTest;

TEST_F(FileSaverPipes, PipeReceivesTheWholeText) {
  const std::string path = PathOf("pipe");
  ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ReadBytes(path); });
  const bool saved = Jzon::FileSaver::SaveFile(path, SmallDoc(), Jzon::CompactStyle);
  reader.join();
  EXPECT_TRUE(saved);
  EXPECT_EQ(received, kSmallDocCompact);
  EXPECT_TRUE(fs::is_fifo(path));
  EXPECT_EQ(Entries(), std::set<std::string>{"pipe"});
}

}  // namespace
