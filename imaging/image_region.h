// The part of each image that focusrank rates (--roi), so a subject can be
// rated apart from its background.
#ifndef FOCUSRATE_IMAGE_REGION_H
#define FOCUSRATE_IMAGE_REGION_H

#include <string>

#include <opencv2/core.hpp>

namespace focusrate {

struct RegionChoice {
  enum class Kind { Whole, Box, Centre };
  Kind kind = Kind::Whole;
  long long x = 0, y = 0, width = 0, height = 0;  ///< Box: pixels
  double percent = 100;                           ///< Centre: of width and height
};

/// Parses "X,Y,W,H" (X, Y >= 0; W, H >= 1) or "center:P" (0 < P <= 100).
/// False for anything else, including an empty region.
bool ParseRegion(const std::string& text, RegionChoice& region);

/// The rectangle the region covers in an image of that size, clipped to it;
/// empty when the region lies wholly outside. A centred region always keeps
/// at least one pixel each way.
cv::Rect RegionIn(const RegionChoice& region, cv::Size size);

}  // namespace focusrate

#endif  // FOCUSRATE_IMAGE_REGION_H
