// One streaming pass that computes the figures without full-size
// intermediates; bit-identical to ReferenceFigures and ReferenceTileFigures.
#ifndef FOCUSRATE_ENGINE_H
#define FOCUSRATE_ENGINE_H

#include <vector>

#include <opencv2/core.hpp>

#include "focus_figures.h"
#include "focus_sums.h"
#include "tile_grid.h"

/// How the three channels of a colour image are ordered in memory: OpenCV
/// decodes to blue-green-red, most other libraries give red-green-blue.
enum class ChannelOrder { Bgr, Rgb };

/// image: CV_8UC3 (channels in `order`) or CV_8UC1 (grey), at least 1x1, any
/// row step; other images throw cv::Exception. threads: stripes rated in
/// parallel (1 = this thread only); small images always use one thread.
/// set: the figures measured, the others left NaN (focus_figures.h).
/// The result does not depend on threads.
FocusFigures FastFigures(const cv::Mat& image, int threads,
                         ChannelOrder order = ChannelOrder::Bgr,
                         FigureSet set = FigureSet::Classic);

struct TiledSums {
  FocusSums whole;
  TileGrid grid;
  std::vector<FocusSums> tiles;  ///< row-major: tiles[j * grid.Columns() + i]
};

/// The whole image's sums and each tile's, in the same single pass; the
/// tiles' sums add up to `whole`. A tile's figures use the whole image's
/// neighbours across its edges. Image and threads as FastFigures; a grid
/// that does not fit the image (FitsImage) throws cv::Exception.
///   const TiledSums t = FastTiledSums(image, UniformGrid(image.cols, image.rows, 12, 8), 2);
///   const FocusFigures corner = FiguresFromSums(t.tiles[0]);
TiledSums FastTiledSums(const cv::Mat& image, const TileGrid& grid, int threads,
                        FigureSet set = FigureSet::Classic);

#endif  // FOCUSRATE_ENGINE_H
