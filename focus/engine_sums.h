// Engine internals: how the image is cut into stripes and threads. Tests use
// it to force stripes on tiny images and the scalar loops on AVX2 machines.
#ifndef FOCUSRATE_ENGINE_SUMS_H
#define FOCUSRATE_ENGINE_SUMS_H

#include <cstdint>

#include <opencv2/core.hpp>

#include "engine.h"
#include "tile_grid.h"

namespace engine_internal {

struct EngineOptions {
  int threads = 1;                          ///< at most this many stripes at once
  int64_t minPixelsPerStripe = 512 * 1024;  ///< below ~1 MP one thread is faster
  bool allowAvx2 = true;                    ///< false: scalar loops only
  bool rgb = false;                         ///< colour channels red first
  FigureSet figures = FigureSet::Classic;
};

/// FastTiledSums with every option: rated in row stripes.
TiledSums TiledImageSums(const cv::Mat& image, const TileGrid& grid,
                         const EngineOptions& options);

}  // namespace engine_internal

#endif  // FOCUSRATE_ENGINE_SUMS_H
