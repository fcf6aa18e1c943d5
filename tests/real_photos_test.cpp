// focusrate on real photographs of every codec and size at hand: the result
// file must equal, byte for byte, the literal OpenCV pipeline run here on
// the same file, and below the printed digits our decoders and the engine,
// fed row by row as the programs feed it, must give its pixels and doubles. Photos come from $FOCUSRATE_PHOTOS.
#include <cstring>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>
#include <string>

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "cli_test_util.h"
#include "image_input.h"
#include "measures.h"
#include "streamed_rating.h"

using namespace focusrate;

namespace {

// Every photo up to this size runs; of the bigger ones only kBigPhotos do,
// to keep the run short. The sanitizer build starts each process slowly, so
// it rates one small photo of each package and format.
#if defined(__SANITIZE_ADDRESS__)
constexpr double kMaxPixels = 3e5;
constexpr bool kOnePerFormat = true;
#else
constexpr double kMaxPixels = 2e6;
constexpr bool kOnePerFormat = false;
#endif
const std::set<std::string> kBigPhotos = {
    "usr/share/doc/opencv-doc/examples/data/chessboard.png",
    "usr/share/backgrounds/Dragonfly_by_Bolly.jpg",
};

const char* const kEnvRoot = std::getenv("FOCUSRATE_PHOTOS");
const std::string kPhotoRoot =
    kEnvRoot && *kEnvRoot ? kEnvRoot : "/var/tmp/focusrate-photos/root";

// Runs focusrate on path and checks the file against the pipeline run here.
void ExpectSameAsPipeline(const std::string& path) {
  ScratchDir dir;  // fresh, so no earlier result is read
  const std::string out = dir / "result.json";
  const ProcessResult run =
      RunProcess({FOCUSRATE_BINARY_DIR "/bin/focusrate", path, out}, "", 300);
  const cv::Mat decoded = cv::imread(path, cv::IMREAD_COLOR);
  if (decoded.empty()) {
    EXPECT_EQ(255, run.status) << "OpenCV cannot decode it, so focusrate must not rate it";
    EXPECT_EQ("focusrate: " + path + ": cannot decode\n", run.err);
    EXPECT_EQ("", ReadBytes(out));
    return;
  }
  EXPECT_EQ("", run.err);
  EXPECT_EQ(0, run.status);
  // Below the six printed digits too: our decoders' pixels and the engine's
  // doubles, bit for bit.
  const cv::Mat ours = DecodeImage(path).image;
  EXPECT_TRUE(ours.size() == decoded.size() && cv::norm(ours, decoded, cv::NORM_INF) == 0);
  const FocusFigures want = ReferenceFigures(decoded);
  const FocusFigures got = RateWholeFrame(path, std::numeric_limits<long long>::max(), 2).figures;
  EXPECT_EQ(0, std::memcmp(&want, &got, sizeof want));
  EXPECT_EQ(ResultFileByHand(want), ReadBytes(out));
}

}  // namespace

// Lines of the list hold package, path, format, width and height; comments
// start with '#', and the header has no numbers. Photos not fetched are
// passed by.
TEST(RealPhotos, ResultFilesMatchTheLiteralPipeline) {
  std::ifstream list(FOCUSRATE_SOURCE_DIR "/tests/data/real_photos.tsv");
  std::set<std::string> formats;
  int rated = 0;
  for (std::string line; std::getline(list, line);) {
    std::string package, path, format;
    double width, height;
    std::istringstream fields(line);
    if (line[0] == '#' || !(fields >> package >> path >> format >> width >> height)) continue;
    if (width * height > kMaxPixels && kBigPhotos.count(path) == 0) continue;
    if (!std::ifstream(kPhotoRoot + "/" + path).good()) continue;
    if (kOnePerFormat && !formats.insert(package + " " + format).second) continue;
    SCOPED_TRACE(package + ":" + path);
    ExpectSameAsPipeline(kPhotoRoot + "/" + path);
    ++rated;
  }
  if (rated == 0) GTEST_SKIP() << "no photos under " << kPhotoRoot;
}

// A bundled sample in every container and depth the decoders read: each is
// reduced to three 8-bit channels before rating, in OpenCV's own way.
TEST(CodecVariants, ResultFilesMatchTheLiteralPipeline) {
  ScratchDir dir;
  const std::string source = FOCUSRATE_SOURCE_DIR "/samples/scene_sharp.png";
  const cv::Mat bgr = cv::imread(source, cv::IMREAD_COLOR);
  cv::Mat grey, bgra, deep, deepGrey;
  cv::cvtColor(bgr, grey, cv::COLOR_BGR2GRAY);
  cv::cvtColor(bgr, bgra, cv::COLOR_BGR2BGRA);
  bgr.convertTo(deep, CV_16U, 257.0, 40.0);  // low byte not a copy of the high one
  grey.convertTo(deepGrey, CV_16U, 256.0, 200.0);
  const std::pair<const char*, const cv::Mat&> variants[] = {
      {"colour.png", bgr},  {"colour.jpg", bgr},  {"colour.bmp", bgr},  {"colour.ppm", bgr},
      {"colour.webp", bgr}, {"colour.tiff", bgr}, {"rgba.png", bgra},    {"grey.pgm", grey},
      {"grey.jpg", grey},   {"grey.png", grey},   {"deep.png", deep},    {"deep.tiff", deep},
      {"deep.ppm", deep},   {"deep-grey.png", deepGrey},
  };
  for (const auto& [name, image] : variants) {
    SCOPED_TRACE(name);
    ASSERT_TRUE(cv::imwrite(dir / name, image));
    ExpectSameAsPipeline(dir / name);
  }
}
