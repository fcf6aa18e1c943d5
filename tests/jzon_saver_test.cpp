// Jzon::FileWriter and FileSaver: a file holds either its old content or the
// whole new text, never a part, and nothing else appears in its directory.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "jzon.h"
#include "scratch_files.h"

namespace fs = std::filesystem;

namespace {

mode_t PermissionBits(const std::string& path) {
  struct stat st;
  EXPECT_EQ(stat(path.c_str(), &st), 0) << path;
  return st.st_mode & 07777;
}

// {"a": 1, "b": "x/y"}; its compact text worked out by hand.
Jzon::Object SmallDoc() {
  Jzon::Object doc;
  doc.Add("a", 1);
  doc.Add("b", "x/y");
  return doc;
}
const char kSmallDocCompact[] = R"({"a":1,"b":"x\/y"})";

bool SaveSmall(const std::string& path) {
  return Jzon::FileSaver::SaveFile(path, SmallDoc(), Jzon::CompactStyle);
}

// Runs f under a file-size limit of 8 bytes: writes past it fail like a full disk.
template <typename F>
auto UnderSizeLimit(F f) {
  struct rlimit old, small;
  getrlimit(RLIMIT_FSIZE, &old);
  small = old;
  small.rlim_cur = 8;
  setrlimit(RLIMIT_FSIZE, &small);
  void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
  const auto result = f();
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  return result;
}

class FileSaverTest : public ::testing::Test {
 protected:
  std::string PathOf(const std::string& name) const { return dir_ / name; }
  std::set<std::string> Entries(const std::string& sub = "") const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(PathOf(sub)))
      names.insert(entry.path().filename().string());
    return names;
  }

  ScratchDir dir_;
};

TEST_F(FileSaverTest, ReplacesAFileWithExactlyTheEmittedText) {
  const std::string path = PathOf("out.json");
  WriteBytes(path, std::string(5000, 'x'));
  ASSERT_TRUE(Jzon::FileSaver::SaveFile(path, Jzon::Object(), Jzon::IndentedStyle));
  EXPECT_EQ(ReadBytes(path), "{\n\n}");
  const Jzon::FileSaver saver(path);
  ASSERT_TRUE(saver.Save(SmallDoc(), Jzon::CompactStyle));
  ASSERT_TRUE(saver.Save(SmallDoc(), Jzon::CompactStyle));
  EXPECT_EQ(ReadBytes(path), kSmallDocCompact);
  EXPECT_EQ(Entries(), std::set<std::string>{"out.json"});
}

TEST_F(FileSaverTest, WriterShowsSeveralPiecesOnlyOnCommitAndNothingIfDestroyedBefore) {
  const std::string path = PathOf("rows.txt");
  const std::string big(100000, 'b');
  for (bool commit : {false, true}) {
    WriteBytes(path, "old");
    Jzon::FileWriter writer(path);
    ASSERT_TRUE(writer.Open() && writer.Write("a\n", 2) && writer.Write(big.data(), big.size()) &&
                writer.Write("", 0) && writer.Write("\nend", 4));
    EXPECT_EQ(ReadBytes(path), "old");
    if (!commit) continue;  // the writer goes with its temporary file
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(ReadBytes(path), "a\n" + big + "\nend");
    EXPECT_FALSE(writer.Write("late", 4));
  }
  {
    Jzon::FileWriter abandoned(PathOf("new.txt"));
    ASSERT_TRUE(abandoned.Open() && abandoned.Write("partial", 7));
  }
  EXPECT_EQ(Entries(), std::set<std::string>{"rows.txt"});
}

TEST_F(FileSaverTest, FailedWriteKeepsOldContentAndLeavesNothing) {
  WriteBytes(PathOf("out.json"), "old");
  for (const char* name : {"out.json", "new.json"})
    EXPECT_FALSE(UnderSizeLimit([&] { return SaveSmall(PathOf(name)); })) << name;
  {
    Jzon::FileWriter writer(PathOf("out.json"));
    ASSERT_TRUE(writer.Open());
    EXPECT_FALSE(UnderSizeLimit([&] { return writer.Write("{\"a\":1,\"b\":2}", 13); }));
    EXPECT_EQ(writer.LastErrno(), EFBIG);
    EXPECT_FALSE(writer.Commit());  // a failure sticks
  }
  EXPECT_EQ(ReadBytes(PathOf("out.json")), "old");
  EXPECT_EQ(Entries(), std::set<std::string>{"out.json"});
}

TEST_F(FileSaverTest, PermissionsKeptAndNewFilesFollowTheUmask) {
  const std::string path = PathOf("kept.json");
  for (const mode_t mode : {0640, 0755, 0600}) {
    SCOPED_TRACE(mode);
    WriteBytes(path, "old");
    ASSERT_EQ(chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(SaveSmall(path));
    EXPECT_EQ(PermissionBits(path), mode);
  }
  const mode_t old = umask(027);
  const bool saved = SaveSmall(PathOf("new.json"));
  umask(old);
  ASSERT_TRUE(saved);
  EXPECT_EQ(PermissionBits(PathOf("new.json")), static_cast<mode_t>(0640));
}

TEST_F(FileSaverTest, SymlinksKeepPointingAtTheReplacedFile) {
  fs::create_directory(PathOf("real"));
  WriteBytes(PathOf("real/data.json"), "old");
  fs::create_symlink("real/data.json", PathOf("link.json"));
  fs::create_symlink("link.json", PathOf("chain.json"));
  fs::create_symlink("real/missing.json", PathOf("dangling.json"));
  ASSERT_TRUE(SaveSmall(PathOf("chain.json")));
  ASSERT_TRUE(Jzon::FileSaver::SaveFile(PathOf("dangling.json"), Jzon::Array(),
                                        Jzon::CompactStyle));
  for (const char* link : {"link.json", "chain.json", "dangling.json"})
    EXPECT_TRUE(fs::is_symlink(PathOf(link))) << link;
  EXPECT_EQ(ReadBytes(PathOf("real/data.json")), kSmallDocCompact);
  EXPECT_EQ(ReadBytes(PathOf("real/missing.json")), "[]");
  EXPECT_EQ(Entries("real"), (std::set<std::string>{"data.json", "missing.json"}));
}

TEST_F(FileSaverTest, UnusablePathsReportFalseAndCreateNothing) {
  fs::create_directory(PathOf("sub"));
  fs::create_symlink("loop", PathOf("loop"));
  const std::set<std::string> before = Entries();
  for (const std::string& path : {PathOf("sub"), PathOf("missing/out.json"), PathOf("loop"),
                                  std::string(), PathOf("sub/"), PathOf("loop/x.json")}) {
    SCOPED_TRACE(path);
    EXPECT_FALSE(SaveSmall(path));
  }
  EXPECT_EQ(Entries(), before);
  EXPECT_TRUE(Entries("sub").empty());
  Jzon::FileWriter directory(PathOf("sub")), missing(PathOf("missing/out.json"));
  EXPECT_FALSE(directory.Open());
  EXPECT_EQ(directory.LastErrno(), EISDIR);
  EXPECT_FALSE(missing.Open());
  EXPECT_EQ(missing.LastErrno(), ENOENT);
  if (geteuid() == 0) return;  // root writes into read-only directories
  WriteBytes(PathOf("sub/out.json"), "old");
  ASSERT_EQ(chmod(PathOf("sub").c_str(), 0555), 0);
  EXPECT_FALSE(SaveSmall(PathOf("sub/out.json")));
  chmod(PathOf("sub").c_str(), 0755);
  EXPECT_EQ(ReadBytes(PathOf("sub/out.json")), "old");
}

TEST_F(FileSaverTest, DevicesAndPipesAreWrittenInPlace) {
  EXPECT_FALSE(SaveSmall("/dev/full"));
  EXPECT_TRUE(SaveSmall("/dev/null"));
  EXPECT_TRUE(fs::is_character_file("/dev/full") && fs::is_character_file("/dev/null"));

  const std::string pipe = PathOf("pipe");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ReadBytes(pipe); });
  const bool saved = SaveSmall(pipe);
  reader.join();
  EXPECT_TRUE(saved);
  EXPECT_EQ(received, kSmallDocCompact);
  EXPECT_TRUE(fs::is_fifo(pipe));
  EXPECT_EQ(Entries(), std::set<std::string>{"pipe"});
}

TEST_F(FileSaverTest, StdoutRedirectedToAFileIsAppendedTo) {
  // The child's standard output is a file that already holds "before\n".
  const std::string path = PathOf("log");
  WriteBytes(path, "before\n");
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (!freopen(path.c_str(), "a", stdout)) _exit(2);
    _exit(SaveSmall("/dev/stdout") ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(ReadBytes(path), std::string("before\n") + kSmallDocCompact);
  EXPECT_EQ(Entries(), std::set<std::string>{"log"});
}

}  // namespace
