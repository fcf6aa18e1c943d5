// What the batch program learns about one image: the outcome of one row.
#ifndef FOCUSRATE_RATED_IMAGE_H
#define FOCUSRATE_RATED_IMAGE_H

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>

#include <opencv2/core.hpp>

#include "focus_figures.h"
#include "image_input.h"

namespace focusrate {

constexpr double kNoFigure = std::numeric_limits<double>::quiet_NaN();

/// Where a frame stands in its burst (--bursts).
struct BurstPlace {
  std::size_t burst = 0;        ///< 1, 2, ... in input order; 0 for a frame not rated
  double relative = kNoFigure;  ///< figure / best figure of its burst
  bool pick = false;            ///< the best frame of its burst
};

struct RatedImage {
  RateStatus status = RateStatus::Ok;
  std::string failure;  ///< CannotRate: what went wrong, in one line
  Rendition rendition;  ///< what was rated, when decoded
  FocusFigures figures = {kNoFigure, kNoFigure, kNoFigure, kNoFigure, kNoFigure};
  /// With --subject: the region rated as the subject, in the upright image,
  /// how it was found ("face", "center", ...), and its figures.
  cv::Rect subject;
  std::string subjectHow;
  FocusFigures subjectFigures = {kNoFigure, kNoFigure, kNoFigure, kNoFigure, kNoFigure};
  std::uint64_t fingerprint = 0;  ///< SceneFingerprint of the whole image, when asked for
  /// Microseconds since the epoch it was taken (CaptureTime), when asked for.
  std::optional<std::int64_t> captureTime;
  BurstPlace place;               ///< with --bursts
  std::string sidecar;            ///< with --xmp: what became of its sidecar
  /// When asked for (RateSettings::reducedSide): the upright image made
  /// small, from the pixels the rating decoded.
  cv::Mat reduced;
  cv::Size reducedFrom;  ///< the upright size of the image reduced
  /// When asked for (RateSettings::tileMap): the Variance-Lap of each tile
  /// of the default grid over the part rated, upright (VarianceLapMap).
  cv::Mat tileMap;
};

/// Whether the image got its figures (a damaged file gets them too).
inline bool WasRated(const RatedImage& rated) {
  return WasDecoded(rated.status);
}

}  // namespace focusrate

#endif  // FOCUSRATE_RATED_IMAGE_H
