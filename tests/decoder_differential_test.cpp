// DecodeImage against cv::imread(IMREAD_COLOR), the reference: the same
// pixels wherever OpenCV returns an image, on every PNG, JPEG and WebP kind the
// direct decoders mirror and on damaged files. The statuses ("ok",
// "damaged", "cannot decode") are pinned by focusrank's rows in
// decoded_files_cli_test. Real photographs go through the decoders in
// real_photos_test, whose figures would differ.
#include <string>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include "encoded_variants.h"
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

}  // namespace
