// Image sizes read from headers agree with what the decoder makes of the
// file. Other files (cut short, not images, FIFOs, missing) show as the
// statuses of focusrank's rows in focusrank_cli_test.
#include <gtest/gtest.h>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <tuple>

#include "cli_test_util.h"
#include "image_header.h"
#include "scratch_files.h"
#include "test_images.h"

using namespace focusrate;

namespace {

using Extent = std::pair<long long, long long>;

Extent ExtentOf(const std::string& path) {
  ImageExtent e;
  return ReadImageExtent(path, e) ? Extent(e.width, e.height) : Extent(-1, -1);
}

TEST(ImageHeaderExtent, MatchesTheDecodedSizeForEachFormatAndHandMadeHeaders) {
  ScratchDir dir;
  const std::tuple<const char*, int, std::vector<int>> formats[] = {  // name, channels, params
      {"a.png", 3, {}}, {"a.jpg", 3, {}}, {"progressive.jpg", 3, {cv::IMWRITE_JPEG_PROGRESSIVE, 1}},
      {"grey.jpg", 1, {}}, {"a.bmp", 3, {}}, {"a.ppm", 3, {}}, {"a.pgm", 1, {}}, {"a.pbm", 1, {}},
      {"ascii.ppm", 3, {cv::IMWRITE_PXM_BINARY, 0}}, {"a.tif", 3, {}}, {"a.ras", 3, {}},
      {"lossy.webp", 3, {cv::IMWRITE_WEBP_QUALITY, 80}},
      {"lossless.webp", 3, {cv::IMWRITE_WEBP_QUALITY, 101}},
      {"alpha.webp", 4, {cv::IMWRITE_WEBP_QUALITY, 80}}};
  for (const auto& [name, channels, params] : formats) {
    for (const cv::Size size : {cv::Size(37, 23), cv::Size(1, 1), cv::Size(300, 2)}) {
      cv::Mat image = MakeNoise(size.width, size.height, 7, channels == 1 ? 1 : 3);
      if (channels == 4) cv::cvtColor(image, image, cv::COLOR_BGR2BGRA);
      ASSERT_TRUE(cv::imwrite(dir / name, image, params));
      EXPECT_EQ(ExtentOf(dir / name), Extent(size.width, size.height)) << name << " " << size;
    }
  }
  // Made by hand: huge claims are read without decoding, long segments skipped.
  std::vector<unsigned char> jpeg;
  ASSERT_TRUE(cv::imencode(".jpg", MakeRamp(41, 17, 3), jpeg));
  // An APP1 segment of 60,000 bytes after SOI, as a large EXIF block would be.
  const std::string app1 = "\xFF\xE1\xEA\x62" + std::string(60000, ' ');  // length 60002
  jpeg.insert(jpeg.begin() + 2, app1.begin(), app1.end());
  const std::pair<std::string, Extent> files[] = {
      {std::string(jpeg.begin(), jpeg.end()), {41, 17}}, {kHugePng, {100000, 70000}},
      {"P5\n# made by hand\n200000 300000\n255\n", {200000, 300000}}};
  for (const auto& [bytes, extent] : files) {
    WriteBytes(dir / "file", bytes);
    EXPECT_EQ(ExtentOf(dir / "file"), extent);
  }
}

}  // namespace
