#include "default_grid.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kShortSideTiles = 8;
}  // namespace

cv::Size DefaultGridSize(cv::Size image) {
  const int shortSide = std::max(1, std::min(image.width, image.height));
  const int longSide = std::max(image.width, image.height);
  int along = std::max(1, static_cast<int>(std::lround(static_cast<double>(kShortSideTiles) *
                                                       longSide / shortSide)));
  // A sliver of an image gets no more tiles than pixels along it.
  along = std::min(along, std::max(1, longSide));
  return image.width >= image.height ? cv::Size(along, kShortSideTiles)
                                     : cv::Size(kShortSideTiles, along);
}
