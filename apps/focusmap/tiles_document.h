// The tile file of a focus map (--tiles-json): the grid and every figure of
// every tile, written by Jzon.
#ifndef FOCUSRATE_TILES_DOCUMENT_H
#define FOCUSRATE_TILES_DOCUMENT_H

#include <string>

#include "engine.h"
#include "figure_columns.h"

namespace focusrate {

/// Writes image size, grid edges, the measure mapped, the sharpest tile by it
/// (null when no tile has a finite figure), the whole image's figures and one
/// object per tile (row by row: column, row, x, y, width, height, figures)
/// to path, tab-indented, a tile at a time. False, with error set to the
/// errno saying why, when it could not be written; an existing file then
/// keeps its content.
bool SaveTilesDocument(const std::string& path, const TiledSums& sums, cv::Size image,
                       const FigureColumn& measure, int sharpest, int& error);

}  // namespace focusrate

#endif  // FOCUSRATE_TILES_DOCUMENT_H
