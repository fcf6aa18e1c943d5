// The engine must give exactly the reference's doubles, bit for bit, for any
// size, content, row step, thread count and loop flavour (AVX2 or scalar).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cctype>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include "engine.h"
#include "engine_sums.h"
#include "measures.h"
#include "test_images.h"

// Sanitised builds run a smaller share of the random cases.
#if defined(__SANITIZE_ADDRESS__)
#define FOCUSRATE_SLOW_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FOCUSRATE_SLOW_BUILD 1
#endif
#endif

namespace {

using engine_internal::EngineOptions;

#ifdef FOCUSRATE_SLOW_BUILD
constexpr int kGeneratorShare = 3;  // every third generator per small size
constexpr int kRandomSizes = 16;
constexpr int kPhotos = 1;
#else
constexpr int kGeneratorShare = 1;
constexpr int kRandomSizes = 80;
constexpr int kPhotos = 4;
#endif

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// "" when every figure has the same bits, else the first that differs.
std::string Mismatch(const FocusFigures& want, const FocusFigures& got) {
  const struct { const char* name; double want, got; } figures[] = {
      {"laplace", want.laplace, got.laplace},
      {"varianceLap", want.varianceLap, got.varianceLap},
      {"tenengrad", want.tenengrad, got.tenengrad},
      {"grayLevel", want.grayLevel, got.grayLevel},
  };
  for (const auto& f : figures) {
    if (!SameBits(f.want, f.got)) {
      char text[128];
      std::snprintf(text, sizeof text, "%s: reference %.17g, engine %.17g", f.name, f.want, f.got);
      return text;
    }
  }
  return "";
}

// Every thread count with the AVX2 loops (where the CPU has them), and the
// scalar loops alone. Stripes are forced down to one row each.
struct Route {
  int threads;
  bool avx2;
};
constexpr Route kRoutes[] = {{1, true}, {2, true}, {3, true}, {1, false}, {3, false}};

// Adds one failure naming the image and route, and returns false, at the
// first route that differs from the reference.
bool MatchesReference(const cv::Mat& image, const std::string& what) {
  const FocusFigures want = ReferenceFigures(image);
  for (const Route& r : kRoutes) {
    EngineOptions options;
    options.threads = r.threads;
    options.minPixelsPerStripe = 1;
    options.allowAvx2 = r.avx2;
    const FocusFigures got =
        engine_internal::FinishFigures(engine_internal::ImageSums(image, options));
    const std::string diff = Mismatch(want, got);
    if (!diff.empty()) {
      ADD_FAILURE() << what << ", " << image.cols << "x" << image.rows << "x"
                    << image.channels() << ", threads " << r.threads
                    << (r.avx2 ? "" : " (scalar loops)") << ": " << diff;
      return false;
    }
  }
  return true;
}

cv::Mat MakeNearBlack(int width, int height, std::uint32_t seed, int channels) {
  cv::Mat noise = MakeNoise(width, height, seed, channels);
  return noise / 64;  // values 0..4: means close to 0 stress Gray-Level
}

// Thin vertical and horizontal bars of 0 and 255: the steepest gradients a
// smoothed image can still have.
cv::Mat MakeBars(int width, int height, std::uint32_t seed, int channels) {
  cv::Mat image(height, width, CV_8UC(channels));
  const bool vertical = seed % 2 == 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width * channels; ++x) {
      const int across = vertical ? x / channels : y;
      image.ptr<std::uint8_t>(y)[x] = (across / 2) % 2 ? 255 : 0;
    }
  }
  return image;
}

struct Generator {
  const char* name;
  cv::Mat (*make)(int width, int height, std::uint32_t seed, int channels);
};

const Generator kGenerators[] = {
    {"zeros", [](int w, int h, std::uint32_t, int ch) { return MakeUniform(w, h, 0, ch); }},
    {"all 255", [](int w, int h, std::uint32_t, int ch) { return MakeUniform(w, h, 255, ch); }},
    {"checkerboard 1",
     [](int w, int h, std::uint32_t, int ch) { return MakeCheckerboard(w, h, 1, ch); }},
    {"checkerboard 3",
     [](int w, int h, std::uint32_t, int ch) { return MakeCheckerboard(w, h, 3, ch); }},
    {"ramp", [](int w, int h, std::uint32_t, int ch) { return MakeRamp(w, h, ch); }},
    {"noise", MakeNoise},
    {"near-black", MakeNearBlack},
    {"bars", MakeBars},
    {"soft blobs", MakeSoftBlobs},
};

std::string Describe(const Generator& g, std::uint32_t seed) {
  return std::string(g.name) + " (seed " + std::to_string(seed) + ")";
}

TEST(EngineDifferential, EverySizeUpTo20x20) {
  std::uint32_t seed = 1;
  for (int h = 1; h <= 20; ++h) {
    for (int w = 1; w <= 20; ++w) {
      for (std::size_t k = 0; k < std::size(kGenerators); ++k) {
        if ((k + w + h) % kGeneratorShare != 0) continue;
        const Generator& g = kGenerators[k];
        for (int ch : {1, 3}) {
          ++seed;
          if (!MatchesReference(g.make(w, h, seed, ch), Describe(g, seed))) return;
        }
      }
    }
  }
}

TEST(EngineDifferential, SeededSizesUpTo600) {
  std::mt19937 rng(20240611);
  for (int i = 0; i < kRandomSizes; ++i) {
    const int w = 1 + static_cast<int>(rng() % 600);
    const int h = 1 + static_cast<int>(rng() % 600);
    const std::uint32_t seed = rng();
    const Generator& g = kGenerators[i % std::size(kGenerators)];
    const int ch = i % 3 == 0 ? 1 : 3;
    if (!MatchesReference(g.make(w, h, seed, ch), Describe(g, seed))) return;
  }
}

// Rows longer than the vector loops' 32-bit lane budget, and widths just
// past a multiple of the vector step.
TEST(EngineDifferential, WideRows) {
  const int sizes[][2] = {{9000, 3}, {4113, 4}, {4096 + 16, 2}, {33, 40}, {47, 7}};
  std::uint32_t seed = 7;
  for (const auto& s : sizes) {
    for (const Generator& g : kGenerators) {
      ++seed;
      if (!MatchesReference(g.make(s[0], s[1], seed, 3), Describe(g, seed))) return;
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
      const int x = static_cast<int>(rng() % (700 - w + 1));
      const int y = static_cast<int>(rng() % (300 - h + 1));
      const cv::Mat view = base(cv::Rect(x, y, w, h));
      ASSERT_FALSE(view.isContinuous() && h > 1);
      if (!MatchesReference(view, "noise view at " + std::to_string(x) + "," +
                                      std::to_string(y))) {
        return;
      }
    }
  }
}

// The public call with real thread counts; 1200 x 900 is past the size where
// it starts using more than one thread.
TEST(EngineDifferential, PublicCallAnyThreadCount) {
  const cv::Mat image = MakeSoftBlobs(1200, 900, 5, 3) + MakeNoise(1200, 900, 6, 3) / 8;
  const FocusFigures want = ReferenceFigures(image);
  for (int threads : {-1, 0, 1, 2, 3, 8}) {
    SCOPED_TRACE("threads " + std::to_string(threads));
    EXPECT_EQ(Mismatch(want, FastFigures(image, threads)), "");
  }
}

TEST(EngineDifferential, RefusesOtherImageKinds) {
  EXPECT_THROW(FastFigures(cv::Mat(), 1), cv::Exception);
  EXPECT_THROW(FastFigures(cv::Mat(4, 4, CV_8UC4, cv::Scalar::all(9)), 1), cv::Exception);
  EXPECT_THROW(FastFigures(cv::Mat(4, 4, CV_16UC1, cv::Scalar::all(9)), 1), cv::Exception);
}

std::filesystem::path PhotoRoot() {
  const char* env = std::getenv("FOCUSRATE_PHOTOS");
  return env ? env : "/var/tmp/focusrate-photos/root";
}

// A spread of photographs (files of 100 kB or more; smaller ones are mostly
// icons): files at even steps through the list sorted by size.
std::vector<std::filesystem::path> SamplePhotos(int count) {
  std::vector<std::pair<std::uintmax_t, std::filesystem::path>> found;
  std::error_code ec;
  for (std::filesystem::recursive_directory_iterator it(PhotoRoot(), ec), end; !ec && it != end;
       it.increment(ec)) {
    std::string ext = it->path().extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (ext != ".jpg" && ext != ".jpeg" && ext != ".png") continue;
    std::error_code fileEc;  // an unreadable file is skipped, not the walk ended
    const std::uintmax_t bytes = it->is_regular_file(fileEc) ? it->file_size(fileEc) : 0;
    if (!fileEc && bytes >= 100'000) found.emplace_back(bytes, it->path());
  }
  std::sort(found.begin(), found.end());
  std::vector<std::filesystem::path> picked;
  for (int i = 0; i < count && !found.empty(); ++i) {
    picked.push_back(found[(found.size() - 1) * (2 * i + 1) / (2 * count)].second);
  }
  return picked;
}

TEST(EngineDifferential, RealPhotos) {
  const std::vector<std::filesystem::path> photos = SamplePhotos(kPhotos);
  if (photos.empty()) GTEST_SKIP() << "no photos under " << PhotoRoot();
  for (const std::filesystem::path& p : photos) {
    const cv::Mat image = cv::imread(p.string(), cv::IMREAD_COLOR);
    if (image.empty() || image.total() > 16'000'000) continue;  // keep the run short
    if (!MatchesReference(image, p.string())) return;
  }
}

}  // namespace
