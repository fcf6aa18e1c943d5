// How well each subject mode tells a photo focused on its subject from the
// same photo focused elsewhere, on real photos whose subject was marked by
// eye (kPhotos: a box around what the photo is of).
// Usage: subject_quality PHOTO_DIR [FIGURE]   (default variance_lap)
// PHOTO_DIR is the root the Debian packages were unpacked into
// (scripts/fetch_photos.sh). Each photo is cropped, keeping its aspect, so
// that its subject's centre lands in the middle or on the left, right or
// upper third line, and the crop reduced to 1024 pixels on its long side.
// The pair: the ellipse inscribed in the subject's box sharp and the rest
// defocused (Gaussian, sigma 2.5), against the reverse; a win when the
// subject-sharp frame scores higher. Per mode: wins per placement, how often
// the region lies on the subject (they overlap by half the smaller of the
// two), and how often both frames got the same region (a region that
// follows the focus is no subject finder). The photos alternate between
// the half the subject finder was tuned on and the half kept back.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <opencv2/imgproc.hpp>
#include <string>
#include <vector>

#include "engine.h"
#include "figure_columns.h"
#include "image_input.h"
#include "photo_variants.h"
#include "salient_region.h"
#include "subject_region.h"

using namespace focusrate;

namespace {

struct Marked {
  const char* package;
  const char* path;
  int x, y, w, h;  ///< the subject, in the photo's pixels
};

const Marked kPhotos[] = {
    {"opencv-doc", "usr/share/doc/opencv-doc/examples/data/butterfly.jpg", 8, 95, 477, 225},
    {"opencv-doc", "usr/share/doc/opencv-doc/examples/data/squirrel_cls.jpg", 125, 110, 245, 250},
    {"opencv-doc", "usr/share/doc/opencv-doc/examples/data/messi5.jpg", 150, 60, 290, 275},
    {"opencv-doc", "usr/share/doc/opencv-doc/examples/data/chicky_512.png", 145, 55, 240, 280},
    {"opencv-doc", "usr/share/doc/opencv-doc/examples/data/rubberwhale1.png", 215, 92, 105, 90},
    {"python3-skimage", "usr/lib/python3/dist-packages/skimage/data/chelsea.png", 130, 80, 220,
     190},
    {"python3-skimage", "usr/lib/python3/dist-packages/skimage/data/coffee.png", 170, 15, 260,
     310},
    {"python3-skimage", "usr/lib/python3/dist-packages/skimage/data/astronaut.png", 165, 25, 140,
     135},
    {"python3-skimage", "usr/lib/python3/dist-packages/skimage/data/motorcycle_left.png", 90, 75,
     595, 375},
    {"python3-skimage", "usr/lib/python3/dist-packages/skimage/data/rocket.jpg", 300, 125, 45, 285},
    {"lomiri-wallpapers-16.04", "usr/share/backgrounds/Dragonfly_by_Bolly.jpg", 1740, 1030, 1590,
     610},
    {"lomiri-wallpapers-16.04", "usr/share/backgrounds/free_by_Peter_Nerlich.jpg", 720, 1265, 1135,
     580},
    {"lomiri-wallpapers-16.04", "usr/share/backgrounds/seeding_by_Clements_Engelhardt.jpg", 700,
     265, 1725, 1430},
    {"lomiri-wallpapers-16.04", "usr/share/backgrounds/friends_by_Aitzol_Berasategi.jpg", 615, 710,
     775, 1295},
    {"lomiri-wallpapers-16.04", "usr/share/backgrounds/Picture_0B_by_freespace.jpg", 1060, 610, 740,
     690},
    {"lomiri-wallpapers-20.04", "usr/share/backgrounds/Kleiber_by_Lukas_Baubkus.jpg", 2410, 1165,
     850, 1075},
    {"mate-backgrounds", "usr/share/backgrounds/mate/nature/Aqua.jpg", 1375, 620, 800, 725},
    {"mate-backgrounds", "usr/share/backgrounds/mate/nature/Garden.jpg", 930, 300, 1630, 1270},
    {"mate-backgrounds", "usr/share/backgrounds/mate/nature/LadyBird.jpg", 1660, 700, 265, 230},
    {"mate-backgrounds", "usr/share/backgrounds/mate/nature/TwoWings.jpg", 830, 415, 1600, 680},
    {"mate-backgrounds", "usr/share/backgrounds/mate/nature/YellowFlower.jpg", 1880, 1020, 680,
     580},
    {"plasma-workspace-wallpapers", "usr/share/wallpapers/FallenLeaf/contents/images/2560x1600.jpg",
     1330, 480, 1050, 785},
    {"plasma-workspace-wallpapers", "usr/share/wallpapers/Kite/contents/images/2560x1600.jpg", 1640,
     485, 185, 170},
    {"plasma-workspace-wallpapers",
     "usr/share/wallpapers/OneStandsOut/contents/images/2560x1600.jpg", 1550, 685, 230, 230},
    {"libjxl-testdata", "usr/share/libjxl-testdata/jxl/flower/flower.png", 990, 310, 825, 965},
    {"libjxl-testdata",
     "usr/share/libjxl-testdata/external/wesaturate/500px/tmshre_riaphotographs_srgb8.png", 290,
     140, 110, 165},
};

struct Placement {
  const char* name;
  double fx, fy;  ///< where the subject's centre lands, as a share of the crop
};
const Placement kPlacements[] = {{"centred", 0.5, 0.5},
                                  {"left", 1 / 3.0, 0.5},
                                  {"right", 2 / 3.0, 0.5},
                                  {"upper", 0.5, 1 / 3.0}};
constexpr int kPlacementCount = std::size(kPlacements);

constexpr int kLongSide = 1024;
constexpr double kDefocus = 2.5;  // Gaussian sigma at kLongSide
constexpr double kFeather = 6;
// A crop smaller than this share of the photo's sides would be mostly
// subject, or enlarged past what the photo holds: that placement is left out.
constexpr double kMinScale = 0.5;

enum class Mode { Whole, Center, Peak, Faces, Auto, Salient, Marked };
struct ModeName {
  const char* name;
  Mode mode;
};
const ModeName kModes[] = {{"whole", Mode::Whole}, {"center", Mode::Center},
                           {"peak", Mode::Peak},   {"faces", Mode::Faces},
                           {"auto", Mode::Auto},   {"salient", Mode::Salient},
                           {"marked", Mode::Marked}};
constexpr int kModeCount = std::size(kModes);

// Salient: the salient step of auto alone, no faces looked for. Marked:
// the subject's box itself, what a perfect finder would rate.
SubjectRating Rate(const cv::Mat& image, Mode mode, const cv::Rect& subject) {
  switch (mode) {
    case Mode::Whole: {
      const FocusFigures whole = FastFigures(image, 1);
      return {whole, cv::Rect(cv::Point(), image.size()), "whole", whole};
    }
    case Mode::Center: return RateWithSubject(image, SubjectMode::Center, FigureSet::Classic);
    case Mode::Peak: return RateWithSubject(image, SubjectMode::Peak, FigureSet::Classic);
    case Mode::Faces: return RateWithSubject(image, SubjectMode::Faces, FigureSet::Classic);
    case Mode::Auto: return RateWithSubject(image, SubjectMode::Auto, FigureSet::Classic);
    case Mode::Marked: return RateRegion(image, subject, "marked", FigureSet::Classic);
    case Mode::Salient: break;
  }
  cv::Rect found;
  if (FindSalientRegion(image, found))
    return RateRegion(image, found, "salient", FigureSet::Classic);
  return RateWithSubject(image, SubjectMode::Center, FigureSet::Classic);
}

// The largest crop of the photo's aspect that puts the subject's centre at
// the placement; empty when it would be smaller than kMinScale.
cv::Rect CropFor(cv::Size size, const cv::Rect& subject, const Placement& at) {
  const double cx = subject.x + subject.width / 2.0, cy = subject.y + subject.height / 2.0;
  const double scale = std::min({1.0, cx / (at.fx * size.width),
                                 (size.width - cx) / ((1 - at.fx) * size.width),
                                 cy / (at.fy * size.height),
                                 (size.height - cy) / ((1 - at.fy) * size.height)});
  if (scale < kMinScale) return {};
  const cv::Rect crop(cvRound(cx - at.fx * scale * size.width),
                      cvRound(cy - at.fy * scale * size.height), cvRound(scale * size.width),
                      cvRound(scale * size.height));
  return crop & cv::Rect(cv::Point(), size);
}

bool OnSubject(const cv::Rect& region, const cv::Rect& subject) {
  return 2 * (region & subject).area() >= std::min(region.area(), subject.area());
}

struct Counts {
  int pairs[kPlacementCount] = {};
  int wins[kModeCount][kPlacementCount] = {};
  int onSubject[kModeCount] = {}, sameRegion[kModeCount] = {};

  Counts& operator+=(const Counts& o) {
    for (int k = 0; k < kPlacementCount; ++k) pairs[k] += o.pairs[k];
    for (int m = 0; m < kModeCount; ++m) {
      for (int k = 0; k < kPlacementCount; ++k) wins[m][k] += o.wins[m][k];
      onSubject[m] += o.onSubject[m];
      sameRegion[m] += o.sameRegion[m];
    }
    return *this;
  }
};

void PrintCounts(const char* set, const Counts& c) {
  int all = 0;
  for (int k = 0; k < kPlacementCount; ++k) all += c.pairs[k];
  const int thirds = all - c.pairs[0];
  for (int m = 0; m < kModeCount; ++m) {
    std::printf("%-8s %-8s", set, kModes[m].name);
    int thirdWins = 0;
    for (int k = 0; k < kPlacementCount; ++k) {
      std::printf(" %7.1f%%", Share(c.wins[m][k], c.pairs[k]));
      if (k > 0) thirdWins += c.wins[m][k];
    }
    std::printf(" %7.1f%% %9.1f%% %7.1f%%\n", Share(thirdWins, thirds),
                Share(c.onSubject[m], all), Share(c.sameRegion[m], all));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: subject_quality PHOTO_DIR [FIGURE]\n");
    return 2;
  }
  const FigureColumn* figure = FindFigureColumn(argc > 2 ? argv[2] : "variance_lap");
  if (!figure || figure->set != FigureSet::Classic) {
    std::fprintf(stderr, "subject_quality: not a figure of the classic set: %s\n", argv[2]);
    return 2;
  }
  Counts halves[2];
  int photos = 0;
  std::vector<double> salientMs;
  for (size_t p = 0; p < std::size(kPhotos); ++p) {
    const Marked& marked = kPhotos[p];
    const std::string path = (std::filesystem::path(argv[1]) / marked.path).string();
    const DecodedImage decoded = DecodeImage(path);
    if (!WasDecoded(decoded.status)) {
      std::fprintf(stderr, "subject_quality: skipped %s (%s)\n", path.c_str(), marked.package);
      continue;
    }
    ++photos;
    const cv::Rect subject(marked.x, marked.y, marked.w, marked.h);
    Counts& counts = halves[p % 2];
    for (int k = 0; k < kPlacementCount; ++k) {
      const cv::Rect crop = CropFor(decoded.image.size(), subject, kPlacements[k]);
      if (crop.empty()) continue;
      const double scale = static_cast<double>(kLongSide) / std::max(crop.width, crop.height);
      cv::Mat sharp, defocused;
      cv::resize(decoded.image(crop), sharp, cv::Size(), scale, scale,
                 scale < 1 ? cv::INTER_AREA : cv::INTER_CUBIC);
      cv::GaussianBlur(sharp, defocused, cv::Size(), kDefocus);
      const cv::Rect2d box((subject.x - crop.x) * scale, (subject.y - crop.y) * scale,
                           subject.width * scale, subject.height * scale);
      const cv::Rect inFrame = cv::Rect(box) & cv::Rect(cv::Point(), sharp.size());
      const cv::Mat subjectSharp = BlendInEllipse(sharp, defocused, box, kFeather);
      const cv::Mat backgroundSharp = BlendInEllipse(defocused, sharp, box, kFeather);
      ++counts.pairs[k];
      for (int m = 0; m < kModeCount; ++m) {
        const SubjectRating a = Rate(subjectSharp, kModes[m].mode, inFrame);
        const SubjectRating b = Rate(backgroundSharp, kModes[m].mode, inFrame);
        counts.wins[m][k] += figure->value(a.subject) > figure->value(b.subject);
        counts.onSubject[m] += OnSubject(a.region, inFrame);
        counts.sameRegion[m] += a.region == b.region;
      }
      cv::Rect found;
      salientMs.push_back(MedianMs([&] { FindSalientRegion(subjectSharp, found); }, 3));
    }
    std::fprintf(stderr, "\r%zu/%zu photos", p + 1, std::size(kPhotos));
  }
  std::fprintf(stderr, "\n");
  if (salientMs.empty()) {
    std::fprintf(stderr, "subject_quality: none of the marked photos under %s\n", argv[1]);
    return 1;
  }
  Counts all = halves[0];
  all += halves[1];
  std::printf("== Subject pairs on %d marked photos, %s (%% wins; pairs: %d centred, %d left, "
              "%d right, %d upper)\n",
              photos, figure->name, all.pairs[0], all.pairs[1], all.pairs[2], all.pairs[3]);
  std::printf("%-8s %-8s", "photos", "mode");
  for (const Placement& at : kPlacements) std::printf(" %8s", at.name);
  std::printf(" %8s %10s %8s\n", "thirds", "on subject", "same");
  PrintCounts("all", all);
  PrintCounts("tuned", halves[0]);
  PrintCounts("held", halves[1]);
  std::sort(salientMs.begin(), salientMs.end());
  std::printf("salient step: %.2f ms median, %.2f ms worst per %d px frame (one thread, median "
              "of 3 each)\n",
              salientMs[salientMs.size() / 2], salientMs.back(), kLongSide);
  return 0;
}
