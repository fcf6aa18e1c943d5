// The engine must give exactly the reference's doubles, bit for bit, for any
// size, content, row step, thread count and loop flavour (AVX2 or scalar).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <utility>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include "engine.h"
#include "engine_sums.h"
#include "measures.h"
#include "test_images.h"

namespace {

// Sanitised builds run a smaller share of the cases: every third generator
// per small size, fewer random sizes and one photo.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kGeneratorShare = 3, kRandomSizes = 16, kPhotos = 1;
#else
constexpr int kGeneratorShare = 1, kRandomSizes = 80, kPhotos = 4;
#endif

// "" when every figure has the same bits, else both sets of figures.
std::string Mismatch(const FocusFigures& want, const FocusFigures& got) {
  if (std::memcmp(&want, &got, sizeof want) == 0) return "";
  std::string text;
  for (const FocusFigures* f : {&want, &got}) {
    char part[128];
    std::snprintf(part, sizeof part, " %.17g %.17g %.17g %.17g", f->laplace, f->varianceLap,
                  f->tenengrad, f->grayLevel);
    text += (f == &want ? "reference" : ", engine") + std::string(part);
  }
  return text;
}

// Adds one failure naming the image and route, and returns false, at the
// first route that differs from the reference. Routes: every thread count
// with the AVX2 loops (where the CPU has them) and the scalar loops alone,
// with stripes forced down to one row each.
bool MatchesReference(const cv::Mat& image, const std::string& what) {
  const FocusFigures want = ReferenceFigures(image);
  const std::pair<int, bool> routes[] = {{1, true}, {2, true}, {3, true}, {1, false}, {3, false}};
  for (const auto& [threads, avx2] : routes) {
    const engine_internal::EngineOptions options{threads, 1, avx2};
    const std::string diff =
        Mismatch(want, engine_internal::FinishFigures(engine_internal::ImageSums(image, options)));
    if (!diff.empty()) {
      ADD_FAILURE() << what << ", " << image.cols << "x" << image.rows << "x" << image.channels()
                    << ", threads " << threads << (avx2 ? "" : " (scalar loops)") << ": " << diff;
      return false;
    }
  }
  return true;
}

using Make = cv::Mat (*)(int width, int height, std::uint32_t seed, int channels);

// Thin vertical or horizontal bars of 0 and 255: the steepest gradients a
// smoothed image can still have.
cv::Mat MakeBars(int width, int height, std::uint32_t seed, int channels) {
  cv::Mat image(height, width, CV_8UC(channels));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width * channels; ++x) {
      image.ptr<std::uint8_t>(y)[x] = ((seed % 2 ? y : x / channels) / 2) % 2 ? 255 : 0;
    }
  }
  return image;
}

// Seed and channels are ignored by the generators that need none.
#define FIXED(expr) [](int w, int h, std::uint32_t, int ch) -> cv::Mat { return expr; }
const struct Generator {
  const char* name;
  Make make;
} kGenerators[] = {
    {"zeros", FIXED(MakeUniform(w, h, 0, ch))},
    {"all 255", FIXED(MakeUniform(w, h, 255, ch))},
    {"checkerboard 1", FIXED(MakeCheckerboard(w, h, 1, ch))},
    {"checkerboard 3", FIXED(MakeCheckerboard(w, h, 3, ch))},
    {"ramp", FIXED(MakeRamp(w, h, ch))},
    {"noise", MakeNoise},
    // Values 0..4: means close to 0 stress Gray-Level.
    {"near-black", [](int w, int h, std::uint32_t s, int ch) -> cv::Mat { return MakeNoise(w, h, s, ch) / 64; }},
    {"bars", MakeBars},
    {"soft blobs", MakeSoftBlobs},
};
#undef FIXED

bool GeneratedMatches(const Generator& g, int w, int h, std::uint32_t seed, int channels) {
  return MatchesReference(g.make(w, h, seed, channels),
                          std::string(g.name) + " (seed " + std::to_string(seed) + ")");
}

TEST(EngineDifferential, EverySizeUpTo20x20) {
  std::uint32_t seed = 1;
  for (int h = 1; h <= 20; ++h) {
    for (int w = 1; w <= 20; ++w) {
      for (std::size_t k = 0; k < std::size(kGenerators); ++k) {
        if ((k + w + h) % kGeneratorShare != 0) continue;
        for (int ch : {1, 3}) {
          if (!GeneratedMatches(kGenerators[k], w, h, ++seed, ch)) return;
        }
      }
    }
  }
}

// Seeded random sizes, then rows longer than the vector loops' 32-bit lane
// budget and widths just past a multiple of the vector step.
TEST(EngineDifferential, SeededSizesUpTo600AndWideRows) {
  std::mt19937 rng(20240611);
  for (int i = 0; i < kRandomSizes; ++i) {
    const int w = 1 + static_cast<int>(rng() % 600), h = 1 + static_cast<int>(rng() % 600);
    const std::uint32_t seed = rng();
    const Generator& g = kGenerators[i % std::size(kGenerators)];
    if (!GeneratedMatches(g, w, h, seed, i % 3 == 0 ? 1 : 3)) return;
  }
  const int sizes[][2] = {{9000, 3}, {4113, 4}, {4096 + 16, 2}, {33, 40}, {47, 7}};
  std::uint32_t seed = 7;
  for (const auto& s : sizes) {
    for (const Generator& g : kGenerators) {
      if (!GeneratedMatches(g, s[0], s[1], ++seed, 3)) return;
    }
  }
}

// Views into a larger image: the row step exceeds width x channels, and the
// neighbours just outside the view must be ignored.
TEST(EngineDifferential, RegionsOfLargerImages) {
  for (int ch : {1, 3}) {
    const cv::Mat base = MakeNoise(700, 300, 99 + ch, ch);
    std::mt19937 rng(1234 + ch);
    for (int i = 0; i < 40; ++i) {
      const int w = 1 + static_cast<int>(rng() % (i < 20 ? 40 : 600));
      const int h = 1 + static_cast<int>(rng() % 200);
      const int x = static_cast<int>(rng() % (700 - w + 1)),
                y = static_cast<int>(rng() % (300 - h + 1));
      const cv::Mat view = base(cv::Rect(x, y, w, h));
      ASSERT_FALSE(view.isContinuous() && h > 1);
      if (!MatchesReference(view, "noise view at " + std::to_string(x) + "," + std::to_string(y)))
        return;
    }
  }
}

// The public call with real thread counts (1200 x 900 is past the size where
// it starts using more than one thread), and the image kinds it refuses.
TEST(EngineDifferential, PublicCallAnyThreadCountAndRefusals) {
  const cv::Mat image = MakeSoftBlobs(1200, 900, 5, 3) + MakeNoise(1200, 900, 6, 3) / 8;
  const FocusFigures want = ReferenceFigures(image);
  for (int threads : {-1, 0, 1, 2, 3, 8}) {
    SCOPED_TRACE("threads " + std::to_string(threads));
    EXPECT_EQ(Mismatch(want, FastFigures(image, threads)), "");
  }
  EXPECT_THROW(FastFigures(cv::Mat(), 1), cv::Exception);
  EXPECT_THROW(FastFigures(cv::Mat(4, 4, CV_8UC4, cv::Scalar::all(9)), 1), cv::Exception);
  EXPECT_THROW(FastFigures(cv::Mat(4, 4, CV_16UC1, cv::Scalar::all(9)), 1), cv::Exception);
}

// Photographs of a spread of sizes and kinds, where fetched.
TEST(EngineDifferential, RealPhotos) {
  const char* env = std::getenv("FOCUSRATE_PHOTOS");
  const std::string root = env && *env ? env : "/var/tmp/focusrate-photos/root";
  const char* const photos[] = {
      "usr/share/doc/opencv-doc/examples/data/fruits.jpg",
      "usr/share/visp-images-data/ViSP-images/Solvay/Solvay_conference_1927_Version2_640x440.jpg",
      "usr/share/visp-images-data/ViSP-images/Solvay/Solvay_conference_1927_Version2_2126x1463.png",
      "usr/share/backgrounds/Picture_0B_by_freespace.jpg",
  };
  int rated = 0;
  for (int i = 0; i < kPhotos; ++i) {
    const cv::Mat image = cv::imread(root + "/" + photos[i], cv::IMREAD_COLOR);
    if (image.empty()) continue;
    ++rated;
    if (!MatchesReference(image, photos[i])) return;
  }
  if (rated == 0) GTEST_SKIP() << "no photos under " << root;
}

}  // namespace
