// What the batch program learns about one image: the outcome of one row.
#ifndef FOCUSRATE_RATED_IMAGE_H
#define FOCUSRATE_RATED_IMAGE_H

#include <limits>

#include "focus_figures.h"
#include "image_input.h"

struct RatedImage {
  RateStatus status = RateStatus::Ok;
  FocusFigures figures = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::quiet_NaN()};
};

/// Whether the image got its figures (a damaged file gets them too).
inline bool WasRated(const RatedImage& rated) {
  return WasDecoded(rated.status);
}

#endif  // FOCUSRATE_RATED_IMAGE_H
