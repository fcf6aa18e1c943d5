// Image sizes read from headers agree with what the decoder makes of the file.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <utility>

#include "cli_test_util.h"
#include "focusrank_test_util.h"
#include "image_header.h"
#include "test_images.h"

namespace {

using Extent = std::pair<long long, long long>;

Extent ExtentOf(const std::string& path) {
  ImageExtent extent;
  if (!ReadImageExtent(path, extent)) return {-1, -1};
  return {extent.width, extent.height};
}

TEST(ImageHeaderExtent, MatchesTheDecodedSizeForEachFormat) {
  ScratchDir dir;
  const struct {
    const char* name;
    int channels;
    std::vector<int> params;
  } formats[] = {
      {"a.png", 3, {}},     {"a.jpg", 3, {}},
      {"progressive.jpg", 3, {cv::IMWRITE_JPEG_PROGRESSIVE, 1}},
      {"grey.jpg", 1, {}},  {"a.bmp", 3, {}},  {"a.ppm", 3, {}},  {"a.pgm", 1, {}},
      {"ascii.ppm", 3, {cv::IMWRITE_PXM_BINARY, 0}},              {"a.pbm", 1, {}},
      {"lossy.webp", 3, {cv::IMWRITE_WEBP_QUALITY, 80}},
      {"lossless.webp", 3, {cv::IMWRITE_WEBP_QUALITY, 101}},
      {"alpha.webp", 4, {cv::IMWRITE_WEBP_QUALITY, 80}},
      {"a.tif", 3, {}},     {"a.ras", 3, {}},
  };
  for (const auto& f : formats) {
    for (const cv::Size size : {cv::Size(37, 23), cv::Size(1, 1), cv::Size(300, 2)}) {
      SCOPED_TRACE(testing::Message() << f.name << " " << size);
      cv::Mat image = MakeNoise(size.width, size.height, 7, f.channels == 1 ? 1 : 3);
      if (f.channels == 4) cv::cvtColor(image, image, cv::COLOR_BGR2BGRA);
      const std::string path = dir / f.name;
      ASSERT_TRUE(cv::imwrite(path, image, f.params));
      ASSERT_EQ(cv::imread(path, cv::IMREAD_COLOR).size(), size);
      EXPECT_EQ(ExtentOf(path), Extent(size.width, size.height));
    }
  }
}

TEST(ImageHeaderExtent, SkipsLongJpegSegmentsAndReadsHugeClaimsWithoutDecoding) {
  ScratchDir dir;
  std::vector<unsigned char> jpeg;
  ASSERT_TRUE(cv::imencode(".jpg", MakeRamp(41, 17, 3), jpeg));
  // An APP1 segment of 60,000 bytes after SOI, as a large EXIF block would be.
  std::vector<unsigned char> app1 = {0xFF, 0xE1, 0xEA, 0x62};  // length 60002
  app1.resize(60004, 0x20);
  jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
  WriteBytes(dir / "exif.jpg", std::string(jpeg.begin(), jpeg.end()));
  ASSERT_EQ(cv::imread(dir / "exif.jpg").size(), cv::Size(41, 17));
  EXPECT_EQ(ExtentOf(dir / "exif.jpg"), Extent(41, 17));
  WriteBytes(dir / "huge.png", HugePngHeader());
  EXPECT_EQ(ExtentOf(dir / "huge.png"), Extent(100000, 70000));
  WriteBytes(dir / "huge.pgm", "P5\n# made by hand\n200000 300000\n255\n");
  EXPECT_EQ(ExtentOf(dir / "huge.pgm"), Extent(200000, 300000));
}

TEST(ImageHeaderExtent, FailsForOtherFilesWithoutBlocking) {
  ScratchDir dir;
  WriteBytes(dir / "text.jpg", "this is not an image\n");
  WriteBytes(dir / "cut.jpg", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10));
  ASSERT_EQ(::mkfifo((dir / "fifo.png").c_str(), 0600), 0);
  ImageExtent extent;
  for (const char* name : {"text.jpg", "cut.jpg", "fifo.png", "missing.png", "."})
    EXPECT_FALSE(ReadImageExtent(dir / name, extent)) << name;
}

}  // namespace
