#include "tile_map.h"

namespace focusrate {

cv::Mat VarianceLapMap(const std::vector<FocusSums>& tiles, const TileGrid& grid) {
  cv::Mat map(grid.Rows(), grid.Columns(), CV_64F);
  for (int j = 0; j < grid.Rows(); ++j)
    for (int i = 0; i < grid.Columns(); ++i)
      map.at<double>(j, i) = FiguresFromSums(tiles[static_cast<size_t>(j) * grid.Columns() + i]).varianceLap;
  return map;
}

}  // namespace focusrate
