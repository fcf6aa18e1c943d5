// Tile edges: uniform grids and the 3x3 grid around a region.
#include "tile_grid.h"

#include <algorithm>
#include <cstdint>

namespace focusrate {

namespace {

// n parts of [0, size): edge i at floor(i * size / n), in 64 bits so that
// large sizes times many parts cannot overflow.
std::vector<int> UniformEdges(int size, int parts) {
  std::vector<int> edges(static_cast<size_t>(parts) + 1);
  for (int i = 0; i <= parts; ++i) {
    edges[i] = static_cast<int>(int64_t{i} * size / parts);
  }
  return edges;
}

bool Ascending(const std::vector<int>& edges, int size) {
  return edges.size() >= 2 && edges.front() == 0 && edges.back() == size &&
         std::is_sorted(edges.begin(), edges.end());
}

}  // namespace

int TileGrid::Columns() const { return static_cast<int>(xEdges.size()) - 1; }

int TileGrid::Rows() const { return static_cast<int>(yEdges.size()) - 1; }

cv::Rect TileGrid::Tile(int i, int j) const {
  return cv::Rect(xEdges[i], yEdges[j], xEdges[i + 1] - xEdges[i], yEdges[j + 1] - yEdges[j]);
}

TileGrid UniformGrid(int width, int height, int columns, int rows) {
  CV_Assert(width >= 0 && height >= 0 && columns >= 1 && rows >= 1);
  return {UniformEdges(width, columns), UniformEdges(height, rows)};
}

TileGrid RegionGrid(int width, int height, const cv::Rect& region) {
  CV_Assert(width >= 0 && height >= 0);
  // OpenCV makes an empty intersection the empty rectangle at the origin.
  const cv::Rect r = region & cv::Rect(0, 0, width, height);
  return {{0, r.x, r.x + r.width, width}, {0, r.y, r.y + r.height, height}};
}

bool FitsImage(const TileGrid& grid, int width, int height) {
  return Ascending(grid.xEdges, width) && Ascending(grid.yEdges, height);
}

}  // namespace focusrate
