// DecodeImage against cv::imread(IMREAD_COLOR), the reference: the same
// pixels wherever OpenCV returns an image and a refusal wherever it returns
// none, on every PNG and JPEG kind the direct decoders mirror and on damaged
// files. Damage the decoder read past is reported. Real photographs go
// through the decoders in real_photos_test, whose figures would differ.
#include <string>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include "encoded_variants.h"
#include "image_header.h"
#include "image_input.h"
#include "scratch_files.h"

namespace {

TEST(DecoderDifferential, EveryPngAndJpegKindAndDamagedFiles) {
  ScratchDir dir;
  const std::string path = dir / "image";
  for (const EncodedVariant& v : EncodedVariants()) {
    SCOPED_TRACE(v.name);
    WriteBytes(path, v.bytes);
    const cv::Mat reference = cv::imread(path, cv::IMREAD_COLOR);
    const DecodedImage decoded = DecodeImage(path);
    const std::string status = StatusText(decoded.status);
    if (reference.empty()) {
      EXPECT_EQ(status, "cannot decode");
      continue;
    }
    EXPECT_EQ(status, v.damaged ? "damaged" : "ok");
    EXPECT_TRUE(decoded.image.size() == reference.size() &&
                decoded.image.type() == reference.type() &&
                cv::norm(decoded.image, reference, cv::NORM_INF) == 0)
        << status << ", " << decoded.image.size() << " against " << reference.size();
  }
  // The last file, a PNG signature and garbage, has no size to read.
  ImageExtent extent;
  EXPECT_FALSE(ReadImageExtent(path, extent));
}

}  // namespace
