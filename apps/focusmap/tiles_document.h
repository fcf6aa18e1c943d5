// The tile file of a focus map (--tiles-json): the grid and every figure of
// every tile, written by Jzon.
#ifndef FOCUSRATE_TILES_DOCUMENT_H
#define FOCUSRATE_TILES_DOCUMENT_H

#include <string>

#include "engine.h"
#include "figure_columns.h"

namespace focusrate {

/// Writes image size, grid edges, the measure mapped (its full name), the
/// colour scale's ends (scale_min, scale_max), the sharpest tile by it
/// (null when no tile has a finite figure), the whole image's figures and one
/// object per tile (row by row: column, row, x, y, width, height, figures)
/// to path, tab-indented, a tile at a time. False, with error set to the
/// errno saying why, when it could not be written; an existing file then
/// keeps its content.
bool SaveTilesDocument(const std::string& path, const TiledSums& sums, cv::Size image,
                       const FigureColumn& measure, double scaleMin, double scaleMax,
                       int sharpest, int& error);

/// Reads the scale another map was drawn on from its tiles document at
/// path; false when the file cannot be read as one or holds no scale.
bool LoadScale(const std::string& path, double& scaleMin, double& scaleMax);

}  // namespace focusrate

#endif  // FOCUSRATE_TILES_DOCUMENT_H
