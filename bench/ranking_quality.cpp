// How well the figures rank controlled variants of real photos, per figure
// and subject mode; every figure against noise and exposure; and what tiles
// cost beside the whole-frame pass.
// Usage: ranking_quality PHOTO_DIR [COUNT]   (COUNT photos, default 40)
// For each photo, reduced to 1024 pixels on its long side:
//  - six blur ladders (Gaussian, disk, motion; each without and with noise)
//    of the photo and three growing blurs: right when the figure falls
//    strictly along the ladder;
//  - subject pairs: an ellipse a quarter of the frame (centred, on the
//    upper right third, and around the photo's most detailed tile), sharp
//    inside and defocused outside against the reverse: a win when the
//    subject-sharp frame scores higher;
//  - an exposure pair: the photo half a stop darker (x 2^-0.5) against a
//    slightly blurred copy at full brightness: a win when the sharp one
//    scores higher;
//  - at reduced scale, as focusrank --scale rates (ranking_at_scale.h).
// Then every figure of the whole frame (FigureSet::All) on:
//  - a Gaussian ladder, sigma 0, 1, 2, 3, clean and with noise of sigma 4;
//  - the clean photo against it blurred (sigma 1) with noise of sigma 4, 8
//    and 16 added to each channel, or the same noise to all three (grey
//    noise, which the grey image keeps whole);
//  - the photo x 0.7 against it blurred (sigma 1) at full brightness;
// and the noise figure's mean on the clean and the noisy frames. Before that
// table, what each subject mode costs beside the whole frame on 1.7 MP copies.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <opencv2/imgproc.hpp>
#include <string>
#include <vector>

#include "default_grid.h"
#include "engine.h"
#include "figure_columns.h"
#include "image_header.h"
#include "image_input.h"
#include "photo_variants.h"
#include "ranking_at_scale.h"
#include "subject_region.h"

using namespace focusrate;

namespace fs = std::filesystem;

namespace {

constexpr int kLongSide = 1024;
constexpr int kMinSide = 600;
constexpr double kMinContrast = 8;  // grey-level standard deviation

struct Mode {
  const char* name;
  SubjectMode subject;  ///< None: the whole frame
};
const Mode kModes[] = {{"whole", SubjectMode::None},
                       {"center", SubjectMode::Center},
                       {"peak", SubjectMode::Peak},
                       {"faces", SubjectMode::Faces},
                       {"auto", SubjectMode::Auto}};

FocusFigures Rate(const cv::Mat& image, SubjectMode mode) {
  return mode == SubjectMode::None ? FastFigures(image, 1)
                                   : RateWithSubject(image, mode, FigureSet::Classic).subject;
}

// count photos spread evenly over the sorted list of those large enough,
// so that every package's photos take part.
std::vector<cv::Mat> LoadPhotos(const fs::path& dir, size_t count) {
  std::vector<std::string> paths;
  for (const auto& entry : fs::recursive_directory_iterator(dir)) {
    std::string ext = entry.path().extension().string();
    for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    ImageExtent extent;
    if (entry.is_regular_file() && (ext == ".jpg" || ext == ".jpeg" || ext == ".png") &&
        ReadImageExtent(entry.path().string(), extent) &&
        std::min(extent.width, extent.height) >= kMinSide)
      paths.push_back(entry.path().string());
  }
  std::sort(paths.begin(), paths.end());
  std::vector<cv::Mat> photos;
  const size_t step = std::max<size_t>(1, paths.size() / std::max<size_t>(1, count));
  for (size_t k = 0; k < paths.size() && photos.size() < count; k += step) {
    DecodedImage decoded = DecodeImage(paths[k]);
    if (!WasDecoded(decoded.status)) continue;
    const cv::Mat& image = decoded.image;
    const double scale = static_cast<double>(kLongSide) / std::max(image.cols, image.rows);
    cv::Mat small;
    cv::resize(image, small, cv::Size(), scale, scale, cv::INTER_AREA);
    // Some packages ship flat fills (a black wallpaper): nothing to focus on.
    cv::Mat grey;
    cv::Scalar mean, spread;
    cv::cvtColor(small, grey, cv::COLOR_BGR2GRAY);
    cv::meanStdDev(grey, mean, spread);
    if (spread[0] < kMinContrast) continue;
    photos.push_back(small);
  }
  return photos;
}

// The subject sharp inside an ellipse of a quarter of the frame and the rest
// defocused (subjectSharp), or the reverse; the ellipse's edge is feathered.
cv::Mat SubjectFrame(const cv::Mat& photo, const cv::Mat& defocused, cv::Point2f centre,
                     bool subjectSharp) {
  const double k = 1 / std::sqrt(CV_PI);  // pi a b = W H / 4
  const cv::Size2d axes(photo.cols * k, photo.rows * k);
  const cv::Rect2d box(cv::Point2d(centre) - cv::Point2d(axes.width / 2, axes.height / 2), axes);
  return subjectSharp ? BlendInEllipse(photo, defocused, box, 4)
                      : BlendInEllipse(defocused, photo, box, 4);
}

struct Tally {
  int ladders[2] = {0, 0};  ///< without noise, with noise
  int centred = 0, third = 0, detail = 0, exposure = 0;
};

FocusFigures RateAll(const cv::Mat& image) {
  return FastFigures(image, 1, ChannelOrder::Bgr, FigureSet::All);
}

// The cases of the noise and exposure table: a ladder is right when the
// figure falls strictly along it, a pair when its first frame scores higher.
struct NoiseCase {
  const char* name;
  std::vector<cv::Mat> (*frames)(const cv::Mat& photo, int seed);
};

cv::Mat Gaussian(const cv::Mat& image, double sigma) {
  if (sigma == 0) return image;
  cv::Mat out;
  cv::GaussianBlur(image, out, cv::Size(), sigma);
  return out;
}

template <int kSigma, bool kGrey>
std::vector<cv::Mat> NoisyPair(const cv::Mat& photo, int seed) {
  return {photo, WithNoise(Gaussian(photo, 1), seed, kSigma, kGrey)};
}

const NoiseCase kNoiseCases[] = {
    {"blur 0-3",
     [](const cv::Mat& photo, int) {
       return std::vector<cv::Mat>{photo, Gaussian(photo, 1), Gaussian(photo, 2),
                                   Gaussian(photo, 3)};
     }},
    {"+noise 4",
     [](const cv::Mat& photo, int seed) {
       std::vector<cv::Mat> steps;
       for (double sigma : {0, 1, 2, 3}) steps.push_back(WithNoise(Gaussian(photo, sigma), seed));
       return steps;
     }},
    {"noise 4", NoisyPair<4, false>},
    {"noise 8", NoisyPair<8, false>},
    {"noise 16", NoisyPair<16, false>},
    {"grey 8", NoisyPair<8, true>},
    {"grey 16", NoisyPair<16, true>},
    {"exposure",
     [](const cv::Mat& photo, int) {
       cv::Mat dark;
       photo.convertTo(dark, CV_8UC3, 0.7);
       return std::vector<cv::Mat>{dark, Gaussian(photo, 1)};
     }},
};

void RankNoiseAndExposure(const std::vector<cv::Mat>& photos) {
  const std::vector<FigureColumn>& figures = AllFigureColumns();
  const size_t nCases = std::size(kNoiseCases);
  std::vector<int> wins(figures.size() * nCases, 0);
  // The noise figure's sum on the clean photo and on each pair's noisy frame.
  std::vector<double> noise(nCases + 1, 0);
  for (size_t p = 0; p < photos.size(); ++p) {
    noise[nCases] += RateAll(photos[p]).noise;
    for (size_t c = 0; c < nCases; ++c) {
      std::vector<FocusFigures> rated;
      for (const cv::Mat& frame : kNoiseCases[c].frames(photos[p], static_cast<int>(p)))
        rated.push_back(RateAll(frame));
      noise[c] += rated.back().noise;
      for (size_t f = 0; f < figures.size(); ++f) {
        bool falling = true;
        for (size_t s = 1; s < rated.size(); ++s)
          falling = falling && figures[f].value(rated[s - 1]) > figures[f].value(rated[s]);
        wins[f * nCases + c] += falling;
      }
    }
    std::fprintf(stderr, "\r%zu/%zu photos", p + 1, photos.size());
  }
  std::fprintf(stderr, "\n");
  const int n = static_cast<int>(photos.size());
  std::printf("\n== Every figure, whole frame, against noise and exposure (%d photos; %% right)\n", n);
  std::printf("%-27s", "figure");
  for (const NoiseCase& c : kNoiseCases) std::printf(" %9s", c.name);
  std::printf("\n");
  for (size_t f = 0; f < figures.size(); ++f) {
    std::printf("%-27s", figures[f].name);
    for (size_t c = 0; c < nCases; ++c) std::printf(" %8.1f%%", Share(wins[f * nCases + c], n));
    std::printf("\n");
  }
  std::printf("%-27s", "noise figure, last frame");
  for (size_t c = 0; c < nCases; ++c) std::printf(" %9.2f", noise[c] / n);
  std::printf("\n%-27s %9.2f   (means over the photos)\n", "noise figure, clean photo",
              noise[nCases] / n);
}

// Each mode on every photo enlarged to 1600 x 1067 (1.7 MP), median of 3.
void TimeModes(const std::vector<cv::Mat>& photos) {
  std::vector<double> ms(std::size(kModes), 0);
  for (const cv::Mat& photo : photos) {
    cv::Mat big;
    cv::resize(photo, big, cv::Size(1600, 1067), 0, 0, cv::INTER_CUBIC);
    for (size_t m = 0; m < std::size(kModes); ++m)
      ms[m] += MedianMs([&] { Rate(big, kModes[m].subject); }, 3);
  }
  std::printf("\n== Subject modes on 1.7 MP (one thread, mean over %zu photos)\n", photos.size());
  std::printf("%-8s %9s %7s\n", "mode", "ms", "x whole");
  for (size_t m = 0; m < std::size(kModes); ++m)
    std::printf("%-8s %9.2f %7.2f\n", kModes[m].name, ms[m] / photos.size(), ms[m] / ms[0]);
}

void TimeTiles(const cv::Mat& photo) {
  cv::Mat big;
  cv::resize(photo, big, cv::Size(6000, 4000), 0, 0, cv::INTER_CUBIC);
  const cv::Size cells = DefaultGridSize(big.size());
  const TileGrid grid = UniformGrid(big.cols, big.rows, cells.width, cells.height);
  const TileGrid fine = UniformGrid(big.cols, big.rows, 240, 160);
  const double whole = MedianMs([&] { FastFigures(big, 1); }, 7);
  const double tiled = MedianMs([&] { FastTiledSums(big, grid, 1); }, 7);
  const double tiledFine = MedianMs([&] { FastTiledSums(big, fine, 1); }, 7);
  const double subject =
      MedianMs([&] { RateWithSubject(big, SubjectMode::Center, FigureSet::Classic); }, 7);
  std::printf("\n== Tiles on 24 MP (one thread, median of 7)\n");
  std::printf("%-34s %9s %7s\n", "pass", "ms", "x whole");
  std::printf("%-34s %9.1f %7.2f\n", "whole frame (FastFigures)", whole, 1.0);
  std::printf("%-34s %9.1f %7.2f\n", "default grid 12x8 (FastTiledSums)", tiled, tiled / whole);
  std::printf("%-34s %9.1f %7.2f\n", "grid 240x160 (FastTiledSums)", tiledFine, tiledFine / whole);
  std::printf("%-34s %9.1f %7.2f\n", "--subject center (RateWithSubject)", subject,
              subject / whole);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: ranking_quality PHOTO_DIR [COUNT]\n");
    return 2;
  }
  const std::vector<cv::Mat> photos = LoadPhotos(argv[1], argc > 2 ? std::stoul(argv[2]) : 40);
  if (photos.empty()) {
    std::fprintf(stderr, "ranking_quality: no photos of at least %d pixels in %s\n", kMinSide,
                 argv[1]);
    return 1;
  }
  const std::vector<FigureColumn> columns = MeasuredFigureColumns(FigureSet::Classic);
  const size_t nModes = std::size(kModes);
  std::vector<Tally> tally(nModes * columns.size());
  int ladders = 0;
  for (size_t p = 0; p < photos.size(); ++p) {
    const cv::Mat& photo = photos[p];
    // Every frame of this photo, rated once per mode.
    std::vector<std::vector<FocusFigures>> ladderFigures;
    for (int kind = 0; kind < 3; ++kind) {
      for (int noisy = 0; noisy < 2; ++noisy) {
        std::vector<cv::Mat> steps = {photo};
        for (int level = 0; level < 3; ++level) steps.push_back(Blurred(photo, kind, level));
        if (noisy)
          for (size_t s = 0; s < steps.size(); ++s)
            steps[s] = WithNoise(steps[s], static_cast<int>(p));
        for (const Mode& mode : kModes) {
          std::vector<FocusFigures> figures;
          for (const cv::Mat& step : steps) figures.push_back(Rate(step, mode.subject));
          ladderFigures.push_back(figures);
        }
        ++ladders;
      }
    }
    cv::Mat defocused;
    cv::filter2D(photo, defocused, -1, Disk(6));
    const cv::Rect peak = RateWithSubject(photo, SubjectMode::Peak, FigureSet::Classic).region;
    const cv::Point2f centres[3] = {{photo.cols / 2.0f, photo.rows / 2.0f},
                                    {photo.cols * 2 / 3.0f, photo.rows / 3.0f},
                                    (peak.tl() + peak.br()) / 2};
    cv::Mat subjectSharp[3], backgroundSharp[3];
    for (int c = 0; c < 3; ++c) {
      subjectSharp[c] = SubjectFrame(photo, defocused, centres[c], true);
      backgroundSharp[c] = SubjectFrame(photo, defocused, centres[c], false);
    }
    cv::Mat dark, bright;
    photo.convertTo(dark, CV_8UC3, 1 / std::sqrt(2.0));
    cv::GaussianBlur(photo, bright, cv::Size(), 1.0);
    for (size_t m = 0; m < nModes; ++m) {
      const SubjectMode mode = kModes[m].subject;
      FocusFigures pairs[3][2];
      for (int c = 0; c < 3; ++c) {
        pairs[c][0] = Rate(subjectSharp[c], mode);
        pairs[c][1] = Rate(backgroundSharp[c], mode);
      }
      const FocusFigures darkSharp = Rate(dark, mode), brightBlurred = Rate(bright, mode);
      for (size_t f = 0; f < columns.size(); ++f) {
        Tally& t = tally[m * columns.size() + f];
        auto v = [&](const FocusFigures& figures) { return columns[f].value(figures); };
        for (size_t l = m; l < ladderFigures.size(); l += nModes) {
          const std::vector<FocusFigures>& steps = ladderFigures[l];
          bool falling = true;
          for (size_t s = 1; s < steps.size(); ++s)
            falling = falling && v(steps[s - 1]) > v(steps[s]);
          t.ladders[(l / nModes) % 2] += falling;
        }
        t.centred += v(pairs[0][0]) > v(pairs[0][1]);
        t.third += v(pairs[1][0]) > v(pairs[1][1]);
        t.detail += v(pairs[2][0]) > v(pairs[2][1]);
        t.exposure += v(darkSharp) > v(brightBlurred);
      }
    }
    std::fprintf(stderr, "\r%zu/%zu photos", p + 1, photos.size());
  }
  std::fprintf(stderr, "\n");
  const int n = static_cast<int>(photos.size());
  std::printf("== Ranking quality on %d photos (%d ladders, %d pairs of each kind)\n", n, ladders,
              n);
  std::printf("%-8s %-18s %8s %8s %8s %9s %9s %9s %9s\n", "mode", "figure", "ladders", "clean",
              "noisy", "centred", "third", "detail", "exposure");
  for (size_t m = 0; m < nModes; ++m)
    for (size_t f = 0; f < columns.size(); ++f) {
      const Tally& t = tally[m * columns.size() + f];
      std::printf("%-8s %-18s %7.1f%% %7.1f%% %7.1f%% %8.1f%% %8.1f%% %8.1f%% %8.1f%%\n",
                  kModes[m].name, columns[f].name, Share(t.ladders[0] + t.ladders[1], ladders),
                  Share(t.ladders[0], ladders / 2), Share(t.ladders[1], ladders / 2),
                  Share(t.centred, n), Share(t.third, n), Share(t.detail, n),
                  Share(t.exposure, n));
    }
  TimeModes(photos);
  RankNoiseAndExposure(photos);
  ReportScales(photos);
  TimeTiles(photos.front());
  return 0;
}
