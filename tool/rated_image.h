// What the batch program learns about one image: the outcome of one row.
#ifndef FOCUSRATE_RATED_IMAGE_H
#define FOCUSRATE_RATED_IMAGE_H

#include <limits>

#include "focus_figures.h"
#include "image_input.h"

struct RatedImage {
  RateStatus status = RateStatus::Ok;
  bool outsideRegion = false;  ///< decoded, but the --roi region misses it
  FocusFigures figures = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::quiet_NaN()};
};

/// Whether the image got its figures.
inline bool WasRated(const RatedImage& rated) {
  return rated.status == RateStatus::Ok && !rated.outsideRegion;
}

/// The status column: StatusText, or "region outside image".
const char* RowStatusText(const RatedImage& rated);

#endif  // FOCUSRATE_RATED_IMAGE_H
