// Where focusrank reads its list from and writes its rows to, and its
// progress line.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "batch_inputs.h"
#include "batch_output.h"
#include "cli_test_util.h"
#include "progress.h"

namespace {

size_t EntriesIn(const ScratchDir& dir) {
  const std::filesystem::directory_iterator it(dir / "");
  return static_cast<size_t>(std::distance(begin(it), end(it)));
}

TEST(RowOutputAtomic, OldContentStaysUntilFinishThenNoTemporaryIsLeft) {
  ScratchDir dir;
  const std::string path = dir / "rows.csv";
  WriteBytes(path, "old\n");
  RowOutput out(path);
  ASSERT_TRUE(out.Open()) << out.Error();
  ASSERT_TRUE(out.Write(std::string(200000, 'x')));  // past the buffer: some is written
  ASSERT_TRUE(out.Write("\nend\n"));
  EXPECT_EQ(ReadBytes(path), "old\n");
  ASSERT_TRUE(out.Finish()) << out.Error();
  EXPECT_EQ(ReadBytes(path), std::string(200000, 'x') + "\nend\n");
  EXPECT_EQ(EntriesIn(dir), 1u);
}

TEST(RowOutputAtomic, AbandonedOutputLeavesTheOldFileAlone) {
  ScratchDir dir;
  const std::string path = dir / "rows.csv";
  WriteBytes(path, "old\n");
  {
    RowOutput out(path);
    ASSERT_TRUE(out.Open());
    ASSERT_TRUE(out.Write(std::string(100000, 'y')));
  }
  EXPECT_EQ(ReadBytes(path), "old\n");
  EXPECT_EQ(EntriesIn(dir), 1u);
}

TEST(RowOutputAtomic, NewFileGetsTheUsualPermissions) {
  ScratchDir dir;
  const mode_t mask = ::umask(022);
  RowOutput out(dir / "new.csv");
  ASSERT_TRUE(out.Open() && out.Write("a\n") && out.Finish());
  ::umask(mask);
  struct stat st;
  ASSERT_EQ(::stat((dir / "new.csv").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0644u);
}

TEST(RowOutputFailure, FullDeviceFailsAndTheFailureSticks) {
  RowOutput out("/dev/full");
  ASSERT_TRUE(out.Open()) << out.Error();
  EXPECT_TRUE(out.Write("short\n"));  // only buffered
  EXPECT_FALSE(out.Finish());
  EXPECT_EQ(out.Error(), "/dev/full: cannot write (No space left on device)");
  EXPECT_FALSE(out.ReaderGone());
  EXPECT_FALSE(out.Write("more\n"));
}

TEST(RowOutputFailure, MissingDirectoryFailsToOpen) {
  ScratchDir dir;
  RowOutput out(dir / "no/such/rows.csv");
  EXPECT_FALSE(out.Open());
  EXPECT_NE(out.Error().find("cannot create"), std::string::npos) << out.Error();
}

TEST(PathListRead, SplitsOnNewlineOrNulAndDropsEmptyEntries) {
  ScratchDir dir;
  WriteBytes(dir / "lines", "a.jpg\n\nwith space.png\nlast-without-newline");
  WriteBytes(dir / "nuls", std::string("x\ny.jpg\0\0z.png\0", 15));
  std::vector<std::string> paths = {"given"};
  ASSERT_TRUE(ReadPathList(dir / "lines", false, paths));
  EXPECT_EQ(paths, (std::vector<std::string>{"given", "a.jpg", "with space.png",
                                             "last-without-newline"}));
  paths.clear();
  ASSERT_TRUE(ReadPathList(dir / "nuls", true, paths));
  EXPECT_EQ(paths, (std::vector<std::string>{"x\ny.jpg", "z.png"}));
  EXPECT_FALSE(ReadPathList(dir / "missing", false, paths));
}

TEST(ImageExtensionMatch, KnownExtensionsInAnyCase) {
  for (const char* name : {"a.jpg", "b.JPEG", "c.Tif", "d.webp", "e.pnm", "f.sr", "g.jp2",
                           "dir.x/h.png", ".png"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(HasImageExtension(name));
  }
  for (const char* name : {"a.gif", "b.jpg.txt", "c", "dpng", "e.png~", "f.", "g.j2k"}) {
    SCOPED_TRACE(name);
    EXPECT_FALSE(HasImageExtension(name));
  }
}

TEST(ProgressLine, CountRateAndTimeLeft) {
  // 812 done in 812/41 s: 41 img/s, 4188 left take 102 s.
  EXPECT_EQ(Progress::Line(812, 5000, 812.0 / 41), " 812/5000  41 img/s  1:42 left");
  EXPECT_EQ(Progress::Line(3, 10, 1.0), " 3/10  3.0 img/s  0:02 left");
  EXPECT_EQ(Progress::Line(10, 10, 2.0), " 10/10  5.0 img/s");
  EXPECT_EQ(Progress::Line(0, 10, 0.0), " 0/10  0.0 img/s");
}

}  // namespace
