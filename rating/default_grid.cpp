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

TileGrid DefaultGrid(cv::Size image) {
  const cv::Size cells = DefaultGridSize(image);
  return UniformGrid(image.width, image.height, cells.width, cells.height);
}

int SharpestTile(const std::vector<double>& figures) {
  int best = -1;
  for (size_t k = 0; k < figures.size(); ++k)
    if (std::isfinite(figures[k]) && (best < 0 || figures[k] > figures[best]))
      best = static_cast<int>(k);
  return best;
}

}  // namespace focusrate
