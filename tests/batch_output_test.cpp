// Where focusrank reads its list from and writes its rows to, and its
// progress line.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>

#include "batch_inputs.h"
#include "batch_output.h"
#include "cli_test_util.h"
#include "progress.h"

namespace {

TEST(RowOutput, FileKeepsItsOldContentUntilFinishAndNothingElseIsLeft) {
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
  const std::filesystem::directory_iterator entries(dir / "");
  EXPECT_EQ(std::distance(begin(entries), end(entries)), 1);
}

TEST(RowOutput, FailureSticksAndIsNotAReaderGone) {
  RowOutput out("/dev/full");
  ASSERT_TRUE(out.Open()) << out.Error();
  EXPECT_TRUE(out.Write("short\n"));  // only buffered
  EXPECT_FALSE(out.Finish());
  EXPECT_EQ(out.Error(), "/dev/full: cannot write (No space left on device)");
  EXPECT_FALSE(out.ReaderGone());
  EXPECT_FALSE(out.Write("more\n"));
}

TEST(PathListRead, SplitsOnNewlineOrNulAndDropsEmptyEntries) {
  ScratchDir dir;
  WriteBytes(dir / "lines", "a.jpg\n\nwith space.png\nlast-without-newline");
  WriteBytes(dir / "nuls", std::string("x\ny.jpg\0\0z.png\0", 15));
  std::vector<std::string> paths = {"given"};
  int error = 0;
  ASSERT_TRUE(ReadPathList(dir / "lines", false, paths, error));
  EXPECT_EQ(paths, (std::vector<std::string>{"given", "a.jpg", "with space.png",
                                             "last-without-newline"}));
  paths.clear();
  ASSERT_TRUE(ReadPathList(dir / "nuls", true, paths, error));
  EXPECT_EQ(paths, (std::vector<std::string>{"x\ny.jpg", "z.png"}));
  EXPECT_FALSE(ReadPathList(dir / "missing", false, paths, error));
  EXPECT_EQ(error, ENOENT);
}

TEST(ImageExtensionMatch, KnownExtensionsInAnyCase) {
  for (const char* name : {"a.jpg", "b.JPEG", "c.Tif", "d.webp", "e.pnm", "f.sr", "g.jp2",
                           "dir.x/h.png", ".png"})
    EXPECT_TRUE(HasImageExtension(name)) << name;
  for (const char* name : {"a.gif", "b.jpg.txt", "c", "dpng", "e.png~", "f.", "g.j2k"})
    EXPECT_FALSE(HasImageExtension(name)) << name;
}

TEST(ProgressLine, CountRateAndTimeLeft) {
  // 812 done in 812/41 s: 41 img/s, 4188 left take 102 s.
  EXPECT_EQ(Progress::Line(812, 5000, 812.0 / 41), " 812/5000  41 img/s  1:42 left");
  EXPECT_EQ(Progress::Line(3, 10, 1.0), " 3/10  3.0 img/s  0:02 left");
  EXPECT_EQ(Progress::Line(10, 10, 2.0), " 10/10  5.0 img/s");
  EXPECT_EQ(Progress::Line(0, 10, 0.0), " 0/10  0.0 img/s");
}

}  // namespace
