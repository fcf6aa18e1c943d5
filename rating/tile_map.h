// Where in a frame the focus lies, coarsely: one figure per tile of the
// default grid, for pictures of a whole run (the report's overlays).
#ifndef FOCUSRATE_TILE_MAP_H
#define FOCUSRATE_TILE_MAP_H

#include <vector>

#include <opencv2/core.hpp>

#include "focus_sums.h"
#include "tile_grid.h"

namespace focusrate {

/// The Variance-Lap of each tile (sums row-major, as TiledSums holds them):
/// a CV_64F matrix with a row per grid row; NaN for an empty tile.
cv::Mat VarianceLapMap(const std::vector<FocusSums>& tiles, const TileGrid& grid);

}  // namespace focusrate

#endif  // FOCUSRATE_TILE_MAP_H
