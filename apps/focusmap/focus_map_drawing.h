// The focus map picture: the photo dimmed to grey under a heat overlay of
// one figure per tile, the sharpest tile outlined, and a legend bar.
#ifndef FOCUSRATE_FOCUS_MAP_DRAWING_H
#define FOCUSRATE_FOCUS_MAP_DRAWING_H

#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "tile_grid.h"

namespace focusrate {

/// The photo is drawn at most this many pixels along its long side.
constexpr int kMapLongSide = 1600;

/// The index of the largest finite value (the first of equals), -1 when
/// none is finite.
int SharpestTile(const std::vector<double>& values);

/// Draws the map of photo (CV_8UC3) cut by grid: values[j * columns + i] is
/// the figure of tile (i, j); a value that is not finite
/// leaves its tile uncoloured. Colours follow the values on a log scale,
/// from the smallest positive one (at least a millionth of the largest) to
/// the largest. The photo is reduced to kMapLongSide when larger; the legend,
/// titled title, sits to its right.
cv::Mat DrawFocusMap(const cv::Mat& photo, const TileGrid& grid,
                     const std::vector<double>& values, const std::string& title);

}  // namespace focusrate

#endif  // FOCUSRATE_FOCUS_MAP_DRAWING_H
