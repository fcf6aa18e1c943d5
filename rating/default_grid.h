// The tile grid a focus map and the peak subject use unless told otherwise,
// and the sharpest of its tiles.
#ifndef FOCUSRATE_DEFAULT_GRID_H
#define FOCUSRATE_DEFAULT_GRID_H

#include <vector>

#include <opencv2/core.hpp>

#include "tile_grid.h"

namespace focusrate {

/// The most tiles a grid may have: each tile's figures are kept, and a
/// focus map shows no more than this anyway.
constexpr int kMaxGridTiles = 65536;

/// Columns x rows for an image of that size: 8 tiles along the short side
/// and as many along the long side as keep the tiles roughly square, but no
/// more tiles along a side than pixels, nor more than kMaxGridTiles.
cv::Size DefaultGridSize(cv::Size image);

/// That grid over an image of that size.
TileGrid DefaultGrid(cv::Size image);

/// The index of the largest finite tile figure (the first of equals), -1
/// when none is finite (empty tiles are NaN).
int SharpestTile(const std::vector<double>& figures);

}  // namespace focusrate

#endif  // FOCUSRATE_DEFAULT_GRID_H
