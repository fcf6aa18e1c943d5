// focusrate run as a separate process: banner, exit statuses, the exact bytes
// of the result file, and paths that must be left alone.
#include <sys/stat.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include "cli_test_util.h"
#include "measures.h"
#include "process_util.h"
#include "result_document.h"
#include "test_images.h"

namespace {

const std::string kFocusrate = FOCUSRATE_BINARY_DIR "/tool/focusrate";
constexpr int kCannotDecodeStatus = 255;  // -1 as the shell sees it

ProcessResult Rate(const std::string& image, const std::string& out) {
  return RunProcess({kFocusrate, image, out}, "", 30);
}

void ExpectOnlyBanner(const ProcessResult& run) {
  EXPECT_FALSE(run.timedOut);
  EXPECT_EQ(20u, run.out.size()) << run.out;
  EXPECT_EQ(0u, run.out.find("focusrate")) << run.out;
  EXPECT_EQ(std::string::npos, run.out.find('\n'));
  EXPECT_EQ("", run.err);
}

bool Exists(const std::string& path) {
  struct stat info;
  return ::lstat(path.c_str(), &info) == 0;
}

// A BMP header claiming 100000 x 100000 pixels: OpenCV throws rather than decode it.
std::string HugeBmpHeader() {
  std::string bytes = "BM";
  auto put32 = [&bytes](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
  };
  auto put16 = [&bytes](std::uint16_t v) {
    bytes.push_back(static_cast<char>(v & 0xFF));
    bytes.push_back(static_cast<char>(v >> 8));
  };
  put32(54 + 64);  // file size
  put32(0);        // reserved
  put32(54);       // pixel data offset
  put32(40);       // info header size
  put32(100000);   // width
  put32(100000);   // height
  put16(1);        // planes
  put16(24);       // bits per pixel
  for (int i = 0; i < 6; ++i) put32(0);  // no compression, sizes, palette
  return bytes + std::string(64, '\x7F');
}

class FocusrateCli : public ::testing::Test {
 protected:
  std::string WritePng(const std::string& name, const cv::Mat& image) {
    const std::string path = dir / name;
    EXPECT_TRUE(cv::imwrite(path, image));
    return path;
  }

  ScratchDir dir;
};

}  // namespace

TEST_F(FocusrateCli, WritesTheFiguresOfTheImageAndOnlyTheBanner) {
  const cv::Mat image = MakeSoftBlobs(120, 80, 3, 3);
  const std::string out = dir / "out.json";
  const ProcessResult run = Rate(WritePng("blobs.png", image), out);
  EXPECT_EQ(0, run.status);
  ExpectOnlyBanner(run);
  EXPECT_EQ(ResultFileByHand(ReferenceFigures(image)), ReadBytes(out));
}

TEST_F(FocusrateCli, RatesGreyFilesAsTheirGreyValues) {
  const cv::Mat grey = MakeCheckerboard(64, 48, 5);
  const std::string out = dir / "out.json";
  ASSERT_EQ(0, Rate(WritePng("grey.png", grey), out).status);
  EXPECT_EQ(ResultFileByHand(ReferenceFigures(grey)), ReadBytes(out));
}

TEST_F(FocusrateCli, ReplacesAnExistingResultFile) {
  const std::string out = dir / "out.json";
  WriteBytes(out, std::string(5000, 'x'));
  const cv::Mat image = MakeNoise(31, 17, 4, 3);
  ASSERT_EQ(0, Rate(WritePng("noise.png", image), out).status);
  EXPECT_EQ(ResultFileByHand(ReferenceFigures(image)), ReadBytes(out));
}

TEST_F(FocusrateCli, BlackImageWritesNullGrayLevel) {
  const std::string out = dir / "out.json";
  ASSERT_EQ(0, Rate(WritePng("black.png", MakeUniform(16, 9, 0, 3)), out).status);
  EXPECT_EQ(
      "{\n\t\"Laplace\": 0,\n\t\"Variance-Lap\": 0,\n\t\"Tenengrad\": 0,\n\t\"Gray-Level\": null\n}",
      ReadBytes(out));
}

TEST_F(FocusrateCli, DamagedButDecodableJpegIsRatedSilently) {
  // libjpeg warns about the missing half and fills it in; the decoded image
  // is rated, and the warning must not reach stderr.
  const std::string whole = dir / "whole.jpg";
  ASSERT_TRUE(cv::imwrite(whole, MakeSoftBlobs(200, 150, 8, 3)));
  const std::string bytes = ReadBytes(whole);
  const std::string cut = dir / "cut.jpg";
  WriteBytes(cut, bytes.substr(0, bytes.size() / 2));
  const std::string out = dir / "out.json";
  const ProcessResult run = Rate(cut, out);
  EXPECT_EQ(0, run.status);
  ExpectOnlyBanner(run);
  EXPECT_EQ(ResultFileByHand(ReferenceFigures(cv::imread(cut, cv::IMREAD_COLOR))), ReadBytes(out));
}

TEST_F(FocusrateCli, ResultCanGoToStandardOutputAfterTheBanner) {
  const cv::Mat image = MakeRamp(40, 30, 3);
  const ProcessResult run = Rate(WritePng("ramp.png", image), "/dev/stdout");
  EXPECT_EQ(0, run.status);
  EXPECT_EQ("", run.err);
  ASSERT_GE(run.out.size(), 20u);
  EXPECT_EQ(ResultFileByHand(ReferenceFigures(image)), run.out.substr(20));
}

// Redirected to a file, /dev/stdout leads to a regular file that already
// holds the banner: the document goes after it instead of replacing it.
TEST_F(FocusrateCli, StandardOutputRedirectedToAFileKeepsTheBanner) {
  const cv::Mat image = MakeRamp(40, 30, 3);
  const std::string png = WritePng("ramp.png", image);
  const std::string out = dir / "stdout.txt";
  const ProcessResult run =
      RunProcess({"/bin/sh", "-c", "exec \"$0\" \"$1\" /dev/stdout > \"$2\"", kFocusrate, png, out}, "", 60);
  EXPECT_EQ(0, run.status);
  const std::string bytes = ReadBytes(out);
  ASSERT_GE(bytes.size(), 20u);
  EXPECT_EQ("focusrate", bytes.substr(0, 9));
  EXPECT_EQ(ResultFileByHand(ReferenceFigures(image)), bytes.substr(20));
}

TEST_F(FocusrateCli, UnwritableResultGivesStatusOne) {
  const std::string image = WritePng("dot.png", MakeCheckerboard(20, 20, 4, 3));
  const std::string targets[] = {dir / "no/such/dir/out.json", "/dev/full", dir / ""};
  for (const std::string& target : targets) {
    SCOPED_TRACE(target);
    const ProcessResult run = Rate(image, target);
    EXPECT_EQ(1, run.status);
    ExpectOnlyBanner(run);
  }
  EXPECT_FALSE(Exists(dir / "no"));
}

TEST_F(FocusrateCli, TooFewArgumentsPrintUsageOnStderr) {
  const std::vector<std::vector<std::string>> commands = {{kFocusrate}, {kFocusrate, "x.png"}};
  for (const auto& args : commands) {
    SCOPED_TRACE(args.size());
    const ProcessResult run = RunProcess(args);
    EXPECT_EQ(2, run.status);
    EXPECT_EQ(20u, run.out.size());
    EXPECT_NE(std::string::npos, run.err.find("focusrate"));
    ASSERT_FALSE(run.err.empty());
    EXPECT_EQ(run.err.size() - 1, run.err.find('\n')) << "one line: " << run.err;
  }
}

TEST_F(FocusrateCli, UndecodableInputLeavesTheOutputPathAlone) {
  const std::string png = WritePng("good.png", MakeNoise(64, 64, 9, 3));
  const std::string pngBytes = ReadBytes(png);
  WriteBytes(dir / "text.jpg", "this is not an image\n");
  WriteBytes(dir / "empty.png", "");
  WriteBytes(dir / "truncated.png", pngBytes.substr(0, pngBytes.size() / 2));
  WriteBytes(dir / "huge.bmp", HugeBmpHeader());
  ASSERT_EQ(0, ::mkfifo((dir / "fifo.jpg").c_str(), 0600));
  ASSERT_EQ(0, ::mkdir((dir / "folder.png").c_str(), 0700));
  ASSERT_EQ(0, ::symlink((dir / "gone.png").c_str(), (dir / "dangling.png").c_str()));

  const std::string inputs[] = {"missing.jpg", "text.jpg",  "empty.png",  "truncated.png",
                                "huge.bmp",    "fifo.jpg",  "folder.png", "dangling.png"};
  const std::string kept = "previous content\n";
  for (const std::string& name : inputs) {
    SCOPED_TRACE(name);
    const std::string existing = dir / ("existing-" + name + ".json");
    WriteBytes(existing, kept);
    const ProcessResult onExisting = Rate(dir / name, existing);
    EXPECT_EQ(kCannotDecodeStatus, onExisting.status);
    ExpectOnlyBanner(onExisting);
    EXPECT_EQ(kept, ReadBytes(existing));

    const std::string absent = dir / ("absent-" + name + ".json");
    const ProcessResult onAbsent = Rate(dir / name, absent);
    EXPECT_EQ(kCannotDecodeStatus, onAbsent.status);
    ExpectOnlyBanner(onAbsent);
    EXPECT_FALSE(Exists(absent));
  }
  const ProcessResult emptyPath = Rate("", dir / "out.json");
  EXPECT_EQ(kCannotDecodeStatus, emptyPath.status);
  EXPECT_FALSE(Exists(dir / "out.json"));
}

// Address space is capped so the libraries load but the 192 MB that an
// 8000 x 8000 colour image needs do not fit: the decoder runs out of memory,
// which must end with one line on stderr, status 3 and no file.
// (The sanitizer's shadow memory cannot live under such a cap.)
#if !defined(__SANITIZE_ADDRESS__)
TEST_F(FocusrateCli, OutOfMemoryEndsWithOneLineAndStatusThree) {
  const std::string image = WritePng("big.png", MakeUniform(8000, 8000, 128, 3));
  const std::string out = dir / "out.json";
  const ProcessResult run = RunProcess(
      {"/bin/sh", "-c", "ulimit -v 250000 && exec \"$0\" \"$@\"", kFocusrate, image, out}, "", 60);
  EXPECT_EQ(3, run.status);
  EXPECT_EQ(20u, run.out.size());
  EXPECT_EQ(0u, run.err.find("focusrate: ")) << run.err;
  EXPECT_EQ(run.err.size() - 1, run.err.find('\n')) << run.err;
  EXPECT_FALSE(Exists(out));
}
#endif

TEST(ResultDocumentText, FiguresAreNarrowedToFloatWithSixDigits) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double figure;
    const char* text;
  } cases[] = {
      {1234.5678, "1234.57"}, {1234567.0, "1.23457e+06"}, {0.0, "0"},     {1e-5, "1e-05"},
      {218355.5555, "218356"}, {2.5, "2.5"},               {nan, ""},      {inf, ""},
      {-inf, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.figure);
    EXPECT_EQ(c.text, FigureText(c.figure));
  }
}

TEST(ResultDocumentText, SavedFileHasSixTabIndentedLines) {
  ScratchDir dir;
  const std::string out = dir / "doc.json";
  ASSERT_TRUE(SaveResultDocument(out, {1234.5678, 0.5, 1e6, 2.25}));
  EXPECT_EQ(
      "{\n\t\"Laplace\": 1234.57,\n\t\"Variance-Lap\": 0.5,\n\t\"Tenengrad\": 1e+06,\n"
      "\t\"Gray-Level\": 2.25\n}",
      ReadBytes(out));
  EXPECT_FALSE(SaveResultDocument(dir / "missing/doc.json", {1, 2, 3, 4}));
}
