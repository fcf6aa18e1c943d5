// DecodeImage against cv::imread(IMREAD_COLOR), the reference: the same
// pixels wherever OpenCV returns an image and a refusal wherever it returns
// none, on real photographs, on every PNG and JPEG kind the direct decoders
// mirror and on damaged files. Damage the decoder read past is reported.
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include "encoded_variants.h"
#include "image_header.h"
#include "image_input.h"
#include "scratch_files.h"

namespace {

// DecodeImage's status, after checking its pixels against cv::imread's.
std::string StatusAfterComparing(const std::string& path, const std::string& name) {
  SCOPED_TRACE(name);
  const cv::Mat reference = cv::imread(path, cv::IMREAD_COLOR);
  const DecodedImage decoded = DecodeImage(path);
  const std::string status = StatusText(decoded.status);
  if (reference.empty()) {
    EXPECT_EQ(status, "cannot decode");
  } else {
    EXPECT_TRUE(decoded.image.size() == reference.size() &&
                decoded.image.type() == reference.type() &&
                cv::norm(decoded.image, reference, cv::NORM_INF) == 0)
        << status << ", " << decoded.image.size() << " against " << reference.size();
  }
  return status;
}

TEST(DecoderDifferential, EveryPngAndJpegKindAndDamagedFiles) {
  ScratchDir dir;
  const std::string path = dir / "image";
  for (const EncodedVariant& v : EncodedVariants()) {
    WriteBytes(path, v.bytes);
    const std::string status = StatusAfterComparing(path, v.name);
    // Refusals were checked against cv::imread above.
    EXPECT_EQ(status, !v.damaged ? "ok" : status == "cannot decode" ? status : "damaged") << v.name;
  }
  // The last file, a PNG signature and garbage, has no size to read.
  ImageExtent extent;
  EXPECT_FALSE(ReadImageExtent(path, extent));
}

// Every JPEG and PNG photo the tests fetch (only small ones under the
// sanitizers, which make decoding slow).
TEST(DecoderDifferentialPhotos, RealPhotos) {
#if defined(__SANITIZE_ADDRESS__)
  constexpr double kMaxPixels = 3e5;
#else
  constexpr double kMaxPixels = 1e9;
#endif
  const char* env = std::getenv("FOCUSRATE_PHOTOS");
  const std::string root = env && *env ? env : "/var/tmp/focusrate-photos/root";
  std::ifstream list(FOCUSRATE_SOURCE_DIR "/tests/data/real_photos.tsv");
  int checked = 0;
  for (std::string line, package, path, format; std::getline(list, line);) {
    double width = 0, height = 0;
    if (!(std::istringstream(line) >> package >> path >> format >> width >> height) ||
        (format != "JPEG" && format != "PNG") || width * height > kMaxPixels ||
        !std::ifstream(root + "/" + path))
      continue;
    StatusAfterComparing(root + "/" + path, path);
    ++checked;
  }
  if (checked == 0) GTEST_SKIP() << "no photos under " << root;
}

}  // namespace
