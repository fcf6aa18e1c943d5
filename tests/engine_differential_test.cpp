// The engine must give exactly the reference's doubles, bit for bit, for any
// size, content, row step, thread count and loop flavour (AVX2 or scalar).
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <random>
#include <string>
#include <utility>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include "engine.h"
#include "engine_sums.h"
#include "measures.h"
#include "test_images.h"

namespace {

// Sanitised builds run a smaller share of the cases: every third generator
// per small size and fewer random sizes.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kGeneratorShare = 3, kRandomSizes = 16;
#else
constexpr int kGeneratorShare = 1, kRandomSizes = 80;
#endif

// %.17g round-trips a double, and tells -0 from 0, so equal text means
// equal bits.
std::string Text(const FocusFigures& f) {
  char text[128];
  std::snprintf(text, sizeof text, "%.17g %.17g %.17g %.17g", f.laplace, f.varianceLap,
                f.tenengrad, f.grayLevel);
  return text;
}

// Seed and channels are ignored by the generators that need none.
#define FIXED(expr) [](int w, int h, std::uint32_t, int ch) -> cv::Mat { return expr; }
using Generator = std::pair<const char*, cv::Mat (*)(int w, int h, std::uint32_t seed, int ch)>;
const Generator kGenerators[] = {
    {"zeros", FIXED(MakeUniform(w, h, 0, ch))},
    {"all 255", FIXED(MakeUniform(w, h, 255, ch))},
    {"checkerboard 1", FIXED(MakeCheckerboard(w, h, 1, ch))},
    {"checkerboard 3", FIXED(MakeCheckerboard(w, h, 3, ch))},
    {"ramp", FIXED(MakeRamp(w, h, ch))},
    {"noise", MakeNoise},
    // Values 0..4: means close to 0 stress Gray-Level.
    {"near-black",
     [](int w, int h, std::uint32_t s, int ch) -> cv::Mat { return MakeNoise(w, h, s, ch) / 64; }},
    {"soft blobs", MakeSoftBlobs},
};
#undef FIXED

// Adds one failure naming the generated image and route, and returns false,
// at the first route that differs from the reference. Routes: every thread count
// with the AVX2 loops (where the CPU has them) and the scalar loops alone,
// with stripes forced down to one row each, on the image and on a copy
// inside a larger noise image, whose row step exceeds width x channels and
// whose neighbours just outside the view must be ignored.
bool GeneratedMatches(const Generator& g, int w, int h, std::uint32_t seed, int channels) {
  const cv::Mat image = g.second(w, h, seed, channels);
  const std::string want = Text(ReferenceFigures(image));
  cv::Mat canvas = MakeNoise(w + 7, h + 2, 5, channels);
  cv::Mat view = canvas(cv::Rect(3, 1, w, h));
  image.copyTo(view);
  const std::pair<int, bool> routes[] = {{1, true}, {2, true}, {3, true}, {1, false}, {3, false}};
  for (const cv::Mat& input : {image, view}) {
    for (const auto& [threads, avx2] : routes) {
      const engine_internal::EngineOptions options{threads, 1, avx2};
      const std::string got =
          Text(FiguresFromSums(engine_internal::TiledImageSums(input, UniformGrid(w, h, 1, 1), options).whole));
      if (got != want) {
        ADD_FAILURE() << g.first << " (seed " << seed << "), " << w << "x" << h << "x" << channels
                      << (input.data == image.data ? "" : " (view)") << ", threads " << threads
                      << (avx2 ? "" : " (scalar)") << ": reference " << want << ", engine " << got;
        return false;
      }
    }
  }
  return true;
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
    const Generator& g = kGenerators[i % std::size(kGenerators)];
    if (!GeneratedMatches(g, w, h, rng(), i % 3 == 0 ? 1 : 3)) return;
  }
  const int sizes[][2] = {{9000, 3}, {4113, 4}, {4096 + 16, 2}, {33, 40}, {47, 7}};
  std::uint32_t seed = 7;
  for (const auto& s : sizes) {
    for (const Generator& g : kGenerators)
      if (!GeneratedMatches(g, s[0], s[1], ++seed, 3)) return;
  }
}

// The public call with real thread counts (1200 x 900 is past the size where
// it starts using more than one thread), and the image kinds it refuses.
TEST(EngineDifferential, PublicCallAnyThreadCountAndRefusals) {
  const cv::Mat image = MakeSoftBlobs(1200, 900, 5, 3) + MakeNoise(1200, 900, 6, 3) / 8;
  const std::string want = Text(ReferenceFigures(image));
  for (int threads : {-1, 0, 1, 2, 3, 8})
    EXPECT_EQ(want, Text(FastFigures(image, threads))) << "threads " << threads;
  EXPECT_THROW(FastFigures(cv::Mat(), 1), cv::Exception);
  EXPECT_THROW(FastFigures(cv::Mat(4, 4, CV_8UC4, cv::Scalar::all(9)), 1), cv::Exception);
  EXPECT_THROW(FastFigures(cv::Mat(4, 4, CV_16UC1, cv::Scalar::all(9)), 1), cv::Exception);
}

}  // namespace
