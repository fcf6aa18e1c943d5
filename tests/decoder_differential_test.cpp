// DecodeImage against cv::imread(IMREAD_COLOR), the reference: the same
// pixels wherever OpenCV returns an image, on every PNG, JPEG and WebP kind the
// direct decoders mirror and on damaged files. The statuses ("ok",
// "damaged", "cannot decode") are pinned by focusrank's rows in
// decoded_files_cli_test. Real photographs go through the decoders in
// real_photos_test, whose figures would differ. Reduced, a JPEG has djpeg
// -scale's pixels, any other file cv::resize's (INTER_AREA) of imread's.
#include <string>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "cli_test_util.h"
#include "encoded_variants.h"
#include "exif_orientation.h"
#include "image_header.h"
#include "image_input.h"
#include "scratch_files.h"

using namespace focusrate;

namespace {

TEST(DecoderDifferential, EveryPngAndJpegKindAndDamagedFiles) {
  ScratchDir dir;
  const std::string path = dir / "image";
  for (const EncodedVariant& v : EncodedVariants()) {
    SCOPED_TRACE(v.name);
    WriteBytes(path, v.bytes);
    const cv::Mat reference = cv::imread(path, cv::IMREAD_COLOR);
    // Where OpenCV returns none, the status shows in decoded_files_cli_test.
    if (reference.empty()) continue;
    const cv::Mat decoded = DecodeImage(path).image;
    EXPECT_TRUE(decoded.size() == reference.size() && decoded.type() == reference.type() &&
                cv::norm(decoded, reference, cv::NORM_INF) == 0)
        << decoded.size() << " against " << reference.size();
  }
  // The last file, a PNG signature and garbage, has no size to read.
  ImageExtent extent;
  EXPECT_FALSE(ReadImageExtent(path, extent));
}

bool Same(const cv::Mat& a, const cv::Mat& b) {
  return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

// djpeg's picture (read back as blue-green-red), stored side up.
cv::Mat Djpeg(const std::string& path, int scale, const std::string& ppm) {
  EXPECT_EQ(RunProcess({"/usr/bin/djpeg", "-scale", "1/" + std::to_string(scale), "-outfile", ppm, path}).status, 0);
  return cv::imread(ppm, cv::IMREAD_COLOR);
}

TEST(DecoderDifferential, ReducedJpegIsDjpegsTurnedAsImreadTurnsAndOthersAreAreaResized) {
  ScratchDir dir;
  const std::string path = dir / "image", ppm = dir / "out.ppm";
  for (const EncodedVariant& v : EncodedVariants()) {
    WriteBytes(path, v.bytes);
    const cv::Mat upright = cv::imread(path, cv::IMREAD_COLOR);
    // A PPM holds no CMYK.
    if (v.damaged || upright.empty() || v.name == "jpeg cmyk") continue;
    SCOPED_TRACE(v.name);
    const bool jpeg = v.bytes.compare(0, 2, "\xFF\xD8") == 0;
    int turn = 1;  // the orientation that turns djpeg's full picture into imread's
    while (jpeg && turn < 8) {
      cv::Mat turned = Djpeg(path, 1, ppm);
      ApplyOrientation(turn, turned);
      if (Same(turned, upright)) break;
      ++turn;
    }
    for (int scale : {2, 4, 8}) {
      cv::Mat expected;
      cv::resize(upright, expected, cv::Size((upright.cols + scale - 1) / scale, (upright.rows + scale - 1) / scale),
                 0, 0, cv::INTER_AREA);
      if (jpeg) ApplyOrientation(turn, expected = Djpeg(path, scale, ppm));
      const DecodedImage decoded = DecodeImage(path, {RawRendition::Half, scale});
      EXPECT_TRUE(Same(decoded.image, expected)) << scale << ": " << decoded.image.size() << " against " << expected.size();
      ImageExtent extent;
      EXPECT_TRUE(ReadImageExtent(path, extent, {RawRendition::Half, scale}) && extent.width * extent.height == static_cast<long long>(expected.total()));
    }
  }
}

}  // namespace
