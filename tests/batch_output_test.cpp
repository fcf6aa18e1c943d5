// Where focusrank writes its rows to, which files it takes for images, and
// its progress line.
#include <gtest/gtest.h>

#include "batch_inputs.h"
#include "batch_output.h"
#include "progress.h"
#include "scratch_files.h"

using namespace focusrate;

namespace {

// focusrank_cli_test sees the finished file; only here is it seen mid-run.
TEST(RowOutput, FileKeepsItsOldContentUntilFinishAndAFailureSticks) {
  ScratchDir dir;
  WriteBytes(dir / "rows.csv", "old\n");
  RowOutput out(dir / "rows.csv");
  ASSERT_TRUE(out.Open() && out.Write(std::string(200000, 'x')));  // past the buffer: some written
  EXPECT_EQ(ReadBytes(dir / "rows.csv"), "old\n");
  ASSERT_TRUE(out.Write("\nend\n") && out.Finish()) << out.Error();
  EXPECT_EQ(ReadBytes(dir / "rows.csv"), std::string(200000, 'x') + "\nend\n");
  // Once a write failed nothing more goes out, so no partial file is committed.
  RowOutput full("/dev/full");
  ASSERT_TRUE(full.Open() && full.Write("short\n"));  // only buffered
  EXPECT_FALSE(full.Finish());
  EXPECT_FALSE(full.Write("more\n") || full.Flush() || full.Finish());
}

TEST(ImageExtensionMatch, KnownExtensionsInAnyCase) {
  for (const char* name : {"a.jpg", "b.JPEG", "c.Tif", "d.webp", "e.pnm", "f.sr", "g.jp2",
                           "dir.x/h.png", ".png", "i.NEF", "j.dng", "k.3fr", "l.Heic", "m.avif"})
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
