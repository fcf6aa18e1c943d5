// Image sizes read from headers agree with what the decoder makes of the file.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "cli_test_util.h"
#include "focusrank_test_util.h"
#include "image_header.h"
#include "test_images.h"

namespace {

struct FormatCase {
  const char* name;
  int channels;
  std::vector<int> params;
};

const FormatCase kFormats[] = {
    {"a.png", 3, {}},
    {"a.jpg", 3, {}},
    {"progressive.jpg", 3, {cv::IMWRITE_JPEG_PROGRESSIVE, 1}},
    {"grey.jpg", 1, {}},
    {"a.bmp", 3, {}},
    {"a.ppm", 3, {}},
    {"a.pgm", 1, {}},
    {"ascii.ppm", 3, {cv::IMWRITE_PXM_BINARY, 0}},
    {"a.pbm", 1, {}},
    {"lossy.webp", 3, {cv::IMWRITE_WEBP_QUALITY, 80}},
    {"lossless.webp", 3, {cv::IMWRITE_WEBP_QUALITY, 101}},
    {"alpha.webp", 4, {cv::IMWRITE_WEBP_QUALITY, 80}},
    {"a.tif", 3, {}},
    {"a.ras", 3, {}},
};

TEST(ImageHeaderExtent, MatchesTheDecodedSizeForEachFormat) {
  ScratchDir dir;
  const cv::Size sizes[] = {{37, 23}, {1, 1}, {300, 2}};
  for (const FormatCase& f : kFormats) {
    for (const cv::Size& size : sizes) {
      SCOPED_TRACE(std::string(f.name) + " " + std::to_string(size.width) + "x" +
                   std::to_string(size.height));
      cv::Mat image = MakeNoise(size.width, size.height, 7, f.channels == 1 ? 1 : 3);
      if (f.channels == 4) cv::cvtColor(image, image, cv::COLOR_BGR2BGRA);
      const std::string path = dir / f.name;
      ASSERT_TRUE(cv::imwrite(path, image, f.params));
      const cv::Mat decoded = cv::imread(path, cv::IMREAD_COLOR);
      ASSERT_FALSE(decoded.empty());
      ImageExtent extent;
      ASSERT_TRUE(ReadImageExtent(path, extent));
      EXPECT_EQ(extent.width, decoded.cols);
      EXPECT_EQ(extent.height, decoded.rows);
    }
  }
}

TEST(ImageHeaderExtent, SkipsLongSegmentsBeforeTheJpegFrame) {
  ScratchDir dir;
  std::vector<unsigned char> jpeg;
  ASSERT_TRUE(cv::imencode(".jpg", MakeRamp(41, 17, 3), jpeg));
  // An APP1 segment of 60,000 bytes after SOI, as a large EXIF block would be.
  std::vector<unsigned char> app1 = {0xFF, 0xE1, 0xEA, 0x62};  // length 60002
  app1.resize(60004, 0x20);
  jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
  const std::string path = dir / "exif.jpg";
  WriteBytes(path, std::string(jpeg.begin(), jpeg.end()));
  ASSERT_EQ(cv::imread(path).size(), cv::Size(41, 17));
  ImageExtent extent;
  ASSERT_TRUE(ReadImageExtent(path, extent));
  EXPECT_EQ(extent.width, 41);
  EXPECT_EQ(extent.height, 17);
}

TEST(ImageHeaderExtent, ReadsHugeClaimsWithoutDecoding) {
  ScratchDir dir;
  WriteBytes(dir / "huge.png", HugePngHeader());
  WriteBytes(dir / "huge.pgm", "P5\n# made by hand\n200000 300000\n255\n");
  ImageExtent extent;
  ASSERT_TRUE(ReadImageExtent(dir / "huge.png", extent));
  EXPECT_EQ(extent.width, 100000);
  EXPECT_EQ(extent.height, 70000);
  ASSERT_TRUE(ReadImageExtent(dir / "huge.pgm", extent));
  EXPECT_EQ(extent.width, 200000);
  EXPECT_EQ(extent.height, 300000);
}

TEST(ImageHeaderExtent, FailsForOtherFilesWithoutBlocking) {
  ScratchDir dir;
  WriteBytes(dir / "text.jpg", "this is not an image\n");
  WriteBytes(dir / "cut.jpg", std::string("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10));
  ASSERT_EQ(::mkfifo((dir / "fifo.png").c_str(), 0600), 0);
  for (const char* name : {"text.jpg", "cut.jpg", "fifo.png", "missing.png", "."}) {
    SCOPED_TRACE(name);
    ImageExtent extent;
    EXPECT_FALSE(ReadImageExtent(dir / name, extent));
  }
}

}  // namespace
