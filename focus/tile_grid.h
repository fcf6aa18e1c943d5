// How an image is cut into tiles for per-tile figures: the column and row
// edges, shared by the engine and the reference.
#ifndef FOCUSRATE_TILE_GRID_H
#define FOCUSRATE_TILE_GRID_H

#include <vector>

#include <opencv2/core.hpp>

namespace focusrate {

struct TileGrid {
  std::vector<int> xEdges;  ///< ascending, from 0 to the image width; tile column i covers [xEdges[i], xEdges[i+1])
  std::vector<int> yEdges;  ///< the same for rows
  int Columns() const;      ///< xEdges.size() - 1
  int Rows() const;         ///< yEdges.size() - 1
  /// Tile (i, j) as a rectangle of the image (empty for an empty tile).
  cv::Rect Tile(int i, int j) const;
};

/// C x R tiles: column i covers floor(i*W/C) .. floor((i+1)*W/C)-1 (same for
/// rows); C or R may exceed W or H (empty tiles). Throws cv::Exception for
/// a count below 1 or a negative size.
TileGrid UniformGrid(int width, int height, int columns, int rows);

/// The 3x3 grid whose middle tile is `region` (clipped to the image), for
/// rating a region within the whole image. A region outside the image gives
/// an empty middle tile.
TileGrid RegionGrid(int width, int height, const cv::Rect& region);

/// Whether the grid's edges run ascending from 0 to width and height.
bool FitsImage(const TileGrid& grid, int width, int height);

}  // namespace focusrate

#endif  // FOCUSRATE_TILE_GRID_H
