// One streaming pass from the decoded image to the sums of the figures, for
// the whole image and each tile of a grid at once. Each row
// stripe keeps three source rows (split into planes), one row of column sums
// and three grey rows, so memory grows with the width only. The row loops
// are grey_rows' (scalar, finishing what the AVX2 loops leave).
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <memory>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "engine.h"
#include "engine_kernels.h"
#include "engine_sums.h"
#include "grey_rows.h"

namespace focusrate {

namespace engine_internal {
namespace {

// The tiles' sums of rows [y0, y1), row-major as in TiledSums; the grey rows
// just outside are recomputed, not shared.
std::vector<FocusSums> StripeSums(const cv::Mat& image, const TileGrid& grid, int y0, int y1,
                                  RowKernels kernels) {
  GreyRows grey({image.data, image.step[0], image.rows}, image.cols, image.rows,
                image.channels(), kernels);
  const int columns = grid.Columns();
  std::vector<FocusSums> tiles(static_cast<size_t>(columns) * grid.Rows());
  int j = 0;
  for (int y = y0; y < y1; ++y) {
    while (grid.yEdges[j + 1] <= y) ++j;
    grey.Measure(y, grid.xEdges, tiles.data() + static_cast<size_t>(j) * columns);
  }
  return tiles;
}

}  // namespace

TiledSums TiledImageSums(const cv::Mat& image, const TileGrid& grid,
                         const EngineOptions& options) {
  CV_Assert(image.dims == 2 && !image.empty() && image.depth() == CV_8U &&
            (image.channels() == 1 || image.channels() == 3) &&
            FitsImage(grid, image.cols, image.rows));
  const RowKernels kernels(options.allowAvx2 && CpuHasAvx2(), image.channels(), options.rgb,
                           options.figures == FigureSet::All);
  const int64_t pixels = static_cast<int64_t>(image.rows) * image.cols;
  const int64_t byPixels = pixels / std::max<int64_t>(options.minPixelsPerStripe, 1);
  const int stripes = static_cast<int>(
      std::max<int64_t>(1, std::min<int64_t>({options.threads, image.rows, byPixels})));

  std::vector<std::vector<FocusSums>> parts(stripes);
  std::vector<std::exception_ptr> errors(stripes);
  auto run = [&](int i) {
    try {
      parts[i] = StripeSums(image, grid, static_cast<int>(int64_t{image.rows} * i / stripes),
                            static_cast<int>(int64_t{image.rows} * (i + 1) / stripes), kernels);
    } catch (...) {
      errors[i] = std::current_exception();
    }
  };
  std::vector<std::thread> workers;
  workers.reserve(stripes);
  for (int i = 1; i < stripes; ++i) {
    try {
      workers.emplace_back(run, i);
    } catch (const std::system_error&) {
      run(i);  // no thread to be had: rate this stripe here instead
    }
  }
  run(0);
  for (std::thread& w : workers) w.join();
  TiledSums total{FocusSums(), grid,
                  std::vector<FocusSums>(static_cast<size_t>(grid.Columns()) * grid.Rows())};
  for (int i = 0; i < stripes; ++i) {
    if (errors[i]) std::rethrow_exception(errors[i]);
    for (size_t t = 0; t < parts[i].size(); ++t) total.tiles[t] += parts[i][t];
  }
  for (const FocusSums& tile : total.tiles) total.whole += tile;
  return total;
}

}  // namespace engine_internal

TiledSums FastTiledSums(const cv::Mat& image, const TileGrid& grid, int threads, FigureSet set) {
  engine_internal::EngineOptions options;
  options.threads = threads;
  options.figures = set;
  return engine_internal::TiledImageSums(image, grid, options);
}

FocusFigures FastFigures(const cv::Mat& image, int threads, ChannelOrder order, FigureSet set) {
  engine_internal::EngineOptions options;
  options.threads = threads;
  options.rgb = order == ChannelOrder::Rgb;
  options.figures = set;
  // One tile: the per-tile loop costs nothing over a plain whole-row pass.
  return FiguresFromSums(
      engine_internal::TiledImageSums(image, UniformGrid(image.cols, image.rows, 1, 1), options)
          .whole);
}

}  // namespace focusrate
