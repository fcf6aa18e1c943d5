#include "ranking_at_scale.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "engine.h"
#include "figure_columns.h"
#include "image_input.h"
#include "photo_variants.h"

using namespace focusrate;

namespace {

constexpr int kScales[] = {1, 2, 4, 8};
constexpr size_t kScaleCount = std::size(kScales);
constexpr double kSigmas[] = {0.5, 1, 2, 4};
using ScaledFigures = std::array<FocusFigures, kScaleCount>;

// The whole frame's figures at each scale, of the image saved as JPEG at
// path and decoded as focusrank --scale decodes it.
ScaledFigures RateAtScales(const cv::Mat& image, const std::string& path) {
  std::vector<uchar> jpeg;
  cv::imencode(".jpg", image, jpeg, {cv::IMWRITE_JPEG_QUALITY, 92});
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(jpeg.data()), static_cast<std::streamsize>(jpeg.size()));
  ScaledFigures figures;
  for (size_t k = 0; k < kScaleCount; ++k)
    figures[k] = FastFigures(DecodeImage(path, {RawRendition::Half, kScales[k]}).image, 1);
  return figures;
}

struct Tallies {
  std::vector<int> top, ordered;  ///< per figure and scale
  std::vector<int> told;          ///< per sigma and scale
  std::vector<std::vector<double>> margins;  ///< sharp over blurred, per sigma and scale
  int ladders = 0;
};

// One ladder's frames, sharpest first, counted for every figure and scale.
void CountLadder(const std::vector<ScaledFigures>& steps, Tallies& t) {
  const std::vector<FigureColumn>& columns = AllFigureColumns();
  for (size_t f = 0; f < columns.size(); ++f)
    for (size_t k = 0; k < kScaleCount; ++k) {
      auto v = [&](size_t s) { return columns[f].value(steps[s][k]); };
      bool first = true, falling = true;
      for (size_t s = 1; s < steps.size(); ++s) {
        first = first && v(0) > v(s);
        falling = falling && v(s - 1) > v(s);
      }
      t.top[f * kScaleCount + k] += first;
      t.ordered[f * kScaleCount + k] += falling;
    }
  ++t.ladders;
}

void CountPhoto(const cv::Mat& photo, int seed, const std::string& path, Tallies& t) {
  const ScaledFigures sharp = RateAtScales(photo, path);
  for (int kind = 0; kind < 3; ++kind)
    for (bool noisy : {false, true}) {
      std::vector<ScaledFigures> steps;
      for (int level = -1; level < 3; ++level) {
        const cv::Mat step = level < 0 ? photo : Blurred(photo, kind, level);
        steps.push_back(noisy ? RateAtScales(WithNoise(step, seed), path)
                              : level < 0 ? sharp : RateAtScales(step, path));
      }
      CountLadder(steps, t);
    }
  // Two frames of a burst: each its own sensor noise.
  const ScaledFigures noisy = RateAtScales(WithNoise(photo, seed), path);
  for (size_t g = 0; g < std::size(kSigmas); ++g) {
    cv::Mat blurred;
    cv::GaussianBlur(photo, blurred, cv::Size(), kSigmas[g]);
    const ScaledFigures soft = RateAtScales(WithNoise(blurred, seed + 1000), path);
    for (size_t k = 0; k < kScaleCount; ++k) {
      t.told[g * kScaleCount + k] += noisy[k].varianceLap > soft[k].varianceLap;
      t.margins[g * kScaleCount + k].push_back(noisy[k].varianceLap / soft[k].varianceLap);
    }
  }
}

void PrintScaleHeads(const char* first, int width) {
  std::printf("%-18s", first);
  for (int scale : kScales) std::printf("  %*s", width, ("1/" + std::to_string(scale)).c_str());
}

}  // namespace

void ReportScales(const std::vector<cv::Mat>& photos) {
  char path[] = "/tmp/ranking_at_scale-XXXXXX";
  const int fd = ::mkstemp(path);
  if (fd < 0) return;
  ::close(fd);
  const std::vector<FigureColumn>& columns = AllFigureColumns();
  Tallies t{std::vector<int>(columns.size() * kScaleCount), std::vector<int>(columns.size() * kScaleCount),
            std::vector<int>(std::size(kSigmas) * kScaleCount),
            std::vector<std::vector<double>>(std::size(kSigmas) * kScaleCount)};
  for (size_t p = 0; p < photos.size(); ++p) {
    CountPhoto(photos[p], static_cast<int>(p), path, t);
    std::fprintf(stderr, "\r%zu/%zu photos at reduced scale", p + 1, photos.size());
  }
  std::fprintf(stderr, "\n");
  std::remove(path);
  std::printf("\n== Blur ladders at reduced scale, whole frame (%d ladders; photos of %d px on\n"
              "   the long side saved as JPEG, decoded at 1/N as focusrank --scale does; target:\n"
              "   top-1 >= 95%%)\n",
              t.ladders, std::max(photos.front().cols, photos.front().rows));
  PrintScaleHeads("top-1 / ladder", 13);
  for (size_t f = 0; f < columns.size(); ++f) {
    std::printf("\n%-18s", columns[f].name);
    for (size_t k = 0; k < kScaleCount; ++k)
      std::printf("  %5.1f%% %5.1f%%", Share(t.top[f * kScaleCount + k], t.ladders),
                  Share(t.ordered[f * kScaleCount + k], t.ladders));
  }
  const int n = static_cast<int>(photos.size());
  std::printf("\n\n== The photo against one Gaussian blur of it, each with noise of its own (sigma 4):\n"
              "   variance_lap higher, and the median of sharp over blurred (%d photos)\n", n);
  PrintScaleHeads("blur sigma (px)", 13);
  for (size_t g = 0; g < std::size(kSigmas); ++g) {
    std::printf("\n%-18g", kSigmas[g]);
    for (size_t k = 0; k < kScaleCount; ++k) {
      std::vector<double>& m = t.margins[g * kScaleCount + k];
      std::nth_element(m.begin(), m.begin() + m.size() / 2, m.end());
      std::printf("  %5.1f%% %5.2fx", Share(t.told[g * kScaleCount + k], n), m[m.size() / 2]);
    }
  }
  std::printf("\n");
}
