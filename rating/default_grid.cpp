#include "default_grid.h"

#include <algorithm>
#include <cmath>

namespace focusrate {

namespace {
constexpr int kShortSideTiles = 8;
}  // namespace

cv::Size DefaultGridSize(cv::Size image) {
  const int shortSide = std::max(1, std::min(image.width, image.height));
  const int longSide = std::max(image.width, image.height);
  // A sliver of an image gets no more tiles than pixels along either side,
  // so no tile is empty.
  const int across = std::min(kShortSideTiles, shortSide);
  int along = std::max(1, static_cast<int>(std::lround(static_cast<double>(kShortSideTiles) *
                                                       longSide / shortSide)));
  along = std::min({along, std::max(1, longSide), kMaxGridTiles / across});
  return image.width >= image.height ? cv::Size(along, across) : cv::Size(across, along);
}

}  // namespace focusrate
