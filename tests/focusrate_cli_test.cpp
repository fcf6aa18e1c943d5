// focusrate run as a separate process: banner, exit statuses, the exact bytes
// of the result file, and paths that must be left alone.
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include "cli_test_util.h"
#include "measures.h"
#include "test_images.h"

using namespace focusrate;

namespace {


// Runs focusrate with args; every run prints the 20-byte banner and no line
// break on standard output, whatever happens.
ProcessResult Rate(std::vector<std::string> args) {
  args.insert(args.begin(), kFocusrate);
  ProcessResult run = RunProcess(args, "", 30);
  EXPECT_EQ("focusrate 1.0 rating", run.out);
  return run;
}

// A BMP header claiming 100000 x 100000 pixels (0x186A0, little-endian):
// OpenCV throws rather than decode it. File size, reserved, data offset 54,
// info size 40, width, height, 1 plane and 24 bits, then six zero fields.
const std::string kHugeBmp = std::string("BM\x76\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0"
                                         "\xA0\x86\x01\0\xA0\x86\x01\0\x01\0\x18\0", 30) +
                             std::string(24, '\0') + std::string(64, '\x7F');

class FocusrateCli : public ::testing::Test {
 protected:
  std::string Png(const std::string& name, const cv::Mat& image) {
    EXPECT_TRUE(cv::imwrite(dir / name, image));
    return dir / name;
  }
  ScratchDir dir;
};

// Codecs are compared in real_photos_test; here an old file is replaced, a
// cut JPEG (libjpeg warns and fills in the rest) is rated without a word on
// stderr, and black gives null (its figures are worked out in measures_test).
TEST_F(FocusrateCli, ReplacesTheResultFileWithExactBytes) {
  ASSERT_TRUE(cv::imwrite(dir / "whole.jpg", MakeSoftBlobs(200, 150, 8, 3)));
  const std::string jpeg = ReadBytes(dir / "whole.jpg");
  WriteBytes(dir / "cut.jpg", jpeg.substr(0, jpeg.size() / 2));
  for (const std::string& image : {dir / "cut.jpg", Png("black.png", MakeUniform(16, 9, 0, 3))}) {
    SCOPED_TRACE(image);
    WriteBytes(dir / "out.json", std::string(5000, 'x'));
    const ProcessResult run = Rate({image, dir / "out.json"});
    EXPECT_EQ(0, run.status);
    EXPECT_EQ("", run.err);
    EXPECT_EQ(ResultFileByHand(ReferenceFigures(cv::imread(image))), ReadBytes(dir / "out.json"));
  }
}

// /dev/stdout leads to a pipe or to a file that already holds the banner:
// either way the document goes after the banner instead of replacing it.
TEST_F(FocusrateCli, ResultCanGoToStandardOutputAfterTheBanner) {
  const cv::Mat image = MakeRamp(40, 30, 3);
  const std::string png = Png("ramp.png", image);
  for (const char* script : {"exec \"$0\" \"$1\" /dev/stdout", "\"$0\" \"$1\" /dev/stdout | cat"}) {
    SCOPED_TRACE(script);
    const ProcessResult run = RunProcess({"/bin/sh", "-c", script, kFocusrate, png});
    EXPECT_EQ(0, run.status);
    EXPECT_EQ("focusrate 1.0 rating" + ResultFileByHand(ReferenceFigures(image)), run.out);
  }
}

// Too few arguments: 2 and one usage line; an unwritable result: 1, and no
// folder is created on the way.
TEST_F(FocusrateCli, UsageAndUnwritableResultStatuses) {
  const std::string png = Png("board.png", MakeCheckerboard(20, 20, 4, 3));
  for (const std::vector<std::string>& args : {std::vector<std::string>{}, {png}}) {
    const ProcessResult run = Rate(args);
    EXPECT_EQ(2, run.status);
    EXPECT_EQ("usage: focusrate IMAGE OUT.json\n", run.err);
  }
  // /dev/full is in lost_work_test.
  const std::string unwritable[] = {dir / "no/such/dir/out.json", dir / ""};
  for (const std::string& out : unwritable) {
    SCOPED_TRACE(out);
    EXPECT_EQ(1, Rate({png, out}).status);
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "no"));
}

TEST_F(FocusrateCli, UndecodableInputLeavesTheOutputPathAlone) {
  WriteBytes(dir / "text.jpg", "this is not an image\n");
  WriteBytes(dir / "empty.png", "");
  WriteBytes(dir / "huge.bmp", kHugeBmp);
  ASSERT_EQ(0, ::mkfifo((dir / "fifo.jpg").c_str(), 0600));
  const std::pair<const char*, const char*> cases[] = {
      {"missing.jpg", "not found"}, {"text.jpg", "cannot decode"}, {"empty.png", "cannot decode"},
      {"huge.bmp", "cannot decode"}, {"fifo.jpg", "not a regular file"}, {"", "not found"}};
  for (const auto& [name, why] : cases) {
    SCOPED_TRACE(name);
    const std::string existing = dir / ("existing-" + std::string(name) + ".json");
    WriteBytes(existing, "previous content\n");
    const std::string absent = dir / ("absent-" + std::string(name) + ".json");
    const std::string image = *name ? dir / name : "";
    for (const std::string& out : {existing, absent}) {
      const ProcessResult run = Rate({image, out});
      EXPECT_EQ(255, run.status);  // -1 as the shell sees it
      EXPECT_EQ("focusrate: " + image + ": " + why + "\n", run.err);
    }
    EXPECT_EQ("previous content\n", ReadBytes(existing));
    EXPECT_FALSE(std::filesystem::exists(absent));
  }
}

// Address space is capped so the libraries load but the 192 MB that an
// 8000 x 8000 colour image needs do not fit: one line, status 3, no file.
// (The sanitizer's shadow memory cannot live under such a cap.)
#if !defined(__SANITIZE_ADDRESS__)
TEST_F(FocusrateCli, OutOfMemoryEndsWithOneLineAndStatusThree) {
  // Progressive: its decoder holds the whole image.
  const std::string image = dir / "big.jpg";
  ASSERT_TRUE(cv::imwrite(image, MakeUniform(8000, 8000, 128, 3), {cv::IMWRITE_JPEG_PROGRESSIVE, 1}));
  const ProcessResult run = RunProcess({"/bin/sh", "-c", "ulimit -v 150000 && exec \"$0\" \"$@\"",
                                        kFocusrate, image, dir / "out.json"}, "", 60);
  EXPECT_EQ(3, run.status);
  EXPECT_EQ(0u, run.err.find("focusrate: ")) << run.err;
  EXPECT_EQ(run.err.size() - 1, run.err.find('\n')) << run.err;
  EXPECT_FALSE(std::filesystem::exists(dir / "out.json"));
}
#endif

}  // namespace
