// Jzon::FileWriter and FileSaver: a file holds either its old content or the
// whole new text, never a part, and nothing else appears in its directory.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <thread>

#include "jzon.h"
#include "scratch_files.h"

namespace fs = std::filesystem;

namespace {

// Saves a small document whose text is kSmallDoc (worked out by hand).
const std::string kSmallDoc = R"("rows\/ratings")";
bool SaveSmall(const std::string& path) {
  return Jzon::FileSaver::SaveFile(path, Jzon::Value("rows/ratings"), Jzon::CompactStyle);
}

std::set<std::string> Entries(const std::string& dir) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename());
  return names;
}

TEST(FileSaver, ReplacesTheFileByRenamingKeepingItsPermissions) {
  const ScratchDir dir;
  const std::string path = dir / "out.json";
  WriteBytes(path, std::string(5000, 'x'));
  std::ifstream before(path, std::ios::binary);  // holds the old file open
  ASSERT_TRUE(Jzon::FileSaver::SaveFile(path, Jzon::Object(), Jzon::IndentedStyle));
  EXPECT_EQ(ReadBytes(path), "{\n\n}");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(before), {}), std::string(5000, 'x'));
  for (const int mode : {0640, 0755, 0600}) {
    fs::permissions(path, fs::perms(mode));
    ASSERT_TRUE(SaveSmall(path));
    EXPECT_EQ(fs::status(path).permissions(), fs::perms(mode));
  }
  EXPECT_EQ(ReadBytes(path), kSmallDoc);
  const mode_t old = umask(002);
  const bool saved = SaveSmall(dir / "new.json");
  umask(old);
  ASSERT_TRUE(saved);
  EXPECT_EQ(fs::status(dir / "new.json").permissions(), fs::perms(0664));
  EXPECT_EQ(Entries(dir / ""), (std::set<std::string>{"out.json", "new.json"}));
}

TEST(FileSaver, WriterShowsItsPiecesOnlyOnCommitAndAFailureSticks) {
  const ScratchDir dir;
  const std::string path = dir / "rows.txt", big(100000, 'b');
  WriteBytes(path, "old");
  Jzon::FileWriter done(path);
  ASSERT_TRUE(done.Open() && !done.Open() && done.Write("a\n", 2) &&
              done.Write(big.data(), big.size()) && done.Write("", 0) && done.Write("\nend", 4));
  EXPECT_EQ(ReadBytes(path), "old");
  ASSERT_TRUE(done.Commit());
  EXPECT_EQ(ReadBytes(path), "a\n" + big + "\nend");
  EXPECT_FALSE(done.Write("late", 4));
  {
    Jzon::FileWriter writer(path);
    ASSERT_TRUE(writer.Open());
    // Writes past 8 bytes fail like on a full disk.
    struct rlimit old;
    getrlimit(RLIMIT_FSIZE, &old);
    const struct rlimit small = {8, old.rlim_max};
    signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &small);
    EXPECT_FALSE(writer.Write("{\"a\":1,\"b\":2}", 13));
    setrlimit(RLIMIT_FSIZE, &old);
    EXPECT_EQ(writer.LastErrno(), EFBIG);
    EXPECT_FALSE(writer.Commit());
    // Dropped without a commit: neither the file nor a temporary one appears.
    Jzon::FileWriter abandoned(dir / "new.txt");
    ASSERT_TRUE(abandoned.Open() && abandoned.Write("partial", 7));
  }
  EXPECT_EQ(ReadBytes(path), "a\n" + big + "\nend");
  EXPECT_EQ(Entries(dir / ""), std::set<std::string>{"rows.txt"});
}

TEST(FileSaver, SymlinksKeepPointingAtTheReplacedFile) {
  const ScratchDir dir;
  fs::create_directory(dir / "real");
  WriteBytes(dir / "real/data.json", "old");
  fs::create_symlink("real/data.json", dir / "link.json");
  fs::create_symlink("link.json", dir / "chain.json");
  fs::create_symlink("real/missing.json", dir / "dangling.json");
  ASSERT_TRUE(SaveSmall(dir / "chain.json") && SaveSmall(dir / "dangling.json"));
  for (const char* link : {"link.json", "chain.json", "dangling.json"})
    EXPECT_TRUE(fs::is_symlink(dir / link)) << link;
  EXPECT_EQ(ReadBytes(dir / "real/data.json") + ReadBytes(dir / "real/missing.json"),
            kSmallDoc + kSmallDoc);
  EXPECT_EQ(Entries(dir / "real"), (std::set<std::string>{"data.json", "missing.json"}));
}

TEST(FileSaver, UnusablePathsReportFalseAndCreateNothing) {
  const ScratchDir dir;
  fs::create_directory(dir / "sub");
  fs::create_symlink("loop", dir / "loop");
  for (const std::string& path : {dir / "sub", dir / "missing/out.json", dir / "loop",
                                  std::string(), dir / "sub/", dir / "loop/x.json"})
    EXPECT_FALSE(SaveSmall(path)) << path;
  EXPECT_EQ(Entries(dir / ""), (std::set<std::string>{"sub", "loop"}));
  EXPECT_TRUE(Entries(dir / "sub").empty());
  Jzon::FileWriter directory(dir / "sub"), missing(dir / "missing/out.json");
  EXPECT_FALSE(directory.Open() || missing.Open());
  EXPECT_EQ(directory.LastErrno(), EISDIR);
  EXPECT_EQ(missing.LastErrno(), ENOENT);
}

TEST(FileSaver, DevicesAndPipesAreWrittenInPlace) {
  // /dev/full: lost_work_test.
  EXPECT_TRUE(SaveSmall("/dev/null"));
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
  const ScratchDir dir;
  const std::string pipe = dir / "pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::string received;
  std::thread reader([&] { received = ReadBytes(pipe); });
  const bool saved = SaveSmall(pipe);
  reader.join();
  EXPECT_TRUE(saved && fs::is_fifo(pipe));
  EXPECT_EQ(received, kSmallDoc);
  // /dev/stdout redirected to a file: focusrate_cli_test.
  EXPECT_EQ(Entries(dir / ""), std::set<std::string>{"pipe"});
}

}  // namespace
