// The focus map picture: the photo dimmed to grey under a heat overlay of
// one figure per tile, the sharpest tile outlined, and a legend bar.
#ifndef FOCUSRATE_FOCUS_MAP_DRAWING_H
#define FOCUSRATE_FOCUS_MAP_DRAWING_H

#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "focus_colours.h"
#include "tile_grid.h"

namespace focusrate {

/// The photo is drawn at most this many pixels along its long side.
constexpr int kMapLongSide = 1600;

/// Draws the map of photo (CV_8UC3) cut by grid: values[j * columns + i] is
/// the figure of tile (i, j); a value that is not finite
/// leaves its tile uncoloured. Colours follow the values on scale, from
/// black to pale yellow, laid over the photo at opacity for the top of the
/// scale and less further down, so soft tiles read as nothing there. The
/// photo is reduced to kMapLongSide when larger; the legend, titled title,
/// sits to its right.
cv::Mat DrawFocusMap(const cv::Mat& photo, const TileGrid& grid,
                     const std::vector<double>& values, const std::string& title,
                     const LogScale& scale, double opacity);

}  // namespace focusrate

#endif  // FOCUSRATE_FOCUS_MAP_DRAWING_H
