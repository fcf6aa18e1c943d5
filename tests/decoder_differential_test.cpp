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

// Returns the status DecodeImage gave, after checking it against cv::imread.
RateStatus ExpectSameAsImread(const std::string& path, const std::string& name) {
  SCOPED_TRACE(name);
  const cv::Mat reference = cv::imread(path, cv::IMREAD_COLOR);
  const DecodedImage decoded = DecodeImage(path);
  if (reference.empty()) {
    EXPECT_EQ(StatusText(decoded.status), std::string("cannot decode"));
    return decoded.status;
  }
  EXPECT_TRUE(WasDecoded(decoded.status)) << StatusText(decoded.status);
  if (!WasDecoded(decoded.status)) return decoded.status;
  EXPECT_EQ(decoded.image.size(), reference.size());
  EXPECT_EQ(decoded.image.type(), reference.type());
  if (decoded.image.size() == reference.size() && decoded.image.type() == reference.type()) {
    EXPECT_EQ(cv::norm(decoded.image, reference, cv::NORM_INF), 0);
  }
  return decoded.status;
}

class DecoderDifferential : public ::testing::Test {
 protected:
  // Writes the variant and checks it; returns the status.
  RateStatus Check(const EncodedVariant& v) {
    const std::string path = dir_ / "image";
    WriteBytes(path, v.bytes);
    return ExpectSameAsImread(path, v.name);
  }
  ScratchDir dir_;
};

TEST_F(DecoderDifferential, EveryPngKindAndJpegKind) {
  for (const auto& variants : {PngVariants(), JpegVariants()}) {
    for (const EncodedVariant& v : variants) {
      // Only the chunk whose bytes were damaged makes an intact image damaged.
      const bool damaged = v.name.find("damaged") != std::string::npos;
      EXPECT_EQ(StatusText(Check(v)), std::string(damaged ? "damaged" : "ok")) << v.name;
    }
  }
}

TEST_F(DecoderDifferential, DamagedFiles) {
  for (const EncodedVariant& v : DamagedVariants()) {
    const RateStatus status = Check(v);
    // A JPEG cut short is decoded with a warning, and so reported.
    if (v.name.find("jpeg cut") != std::string::npos && WasDecoded(status)) {
      EXPECT_EQ(StatusText(status), std::string("damaged")) << v.name;
    }
  }
}

TEST(ImageHeaderRead, PngSignatureWithoutHeaderChunkGivesNoSize) {
  ScratchDir dir;
  const EncodedVariant garbage = DamagedVariants().back();
  WriteBytes(dir / "bad.png", garbage.bytes);
  ImageExtent extent;
  EXPECT_FALSE(ReadImageExtent(dir / "bad.png", extent)) << garbage.name;
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
  for (std::string line; std::getline(list, line);) {
    std::istringstream fields(line);
    std::string package, path, format;
    double width = 0, height = 0;
    if (!(fields >> package >> path >> format >> width >> height)) continue;
    if ((format != "JPEG" && format != "PNG") || width * height > kMaxPixels) continue;
    std::ifstream probe(root + "/" + path);
    if (!probe) continue;
    ExpectSameAsImread(root + "/" + path, path);
    ++checked;
  }
  if (checked == 0) GTEST_SKIP() << "no photos under " << root;
}

}  // namespace
