// One streaming pass from the decoded image to the four figures. Each row
// stripe keeps three source rows (split into planes), one row of column sums
// and three grey rows, so memory grows with the width only. The scalar loops
// here also finish what the AVX2 loops leave and run alone without AVX2.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <system_error>
#include <thread>
#include <vector>

#include "engine.h"
#include "engine_kernels.h"
#include "engine_sums.h"

namespace engine_internal {
namespace {

// BORDER_REFLECT_101: mirror about the edge pixel without repeating it. Only
// called with i in [-1, n]; a single row or column mirrors onto itself.
int Reflect(int i, int n) {
  if (n == 1) return 0;
  if (i < 0) return -i;
  if (i >= n) return 2 * n - 2 - i;
  return i;
}

// Fills index -1 and width of a row stored from index 0.
template <typename T>
void PadRow(T* row, int width) {
  row[-1] = row[Reflect(-1, width)];
  row[width] = row[Reflect(width, width)];
}

// The grey-image figures of one row; above, centre and below are padded.
void MeasureRowFrom(int x, const uint8_t* a, const uint8_t* b, const uint8_t* c, int width,
                    FocusSums& sums) {
  int64_t laplace = 0, lap = 0, lapSquares = 0, gradient = 0, grey = 0, greySquares = 0;
  for (; x < width; ++x) {
    // Column (1, 2, 1), (-1, 2, -1) and (-1, 0, 1) at x - 1, x, x + 1.
    const int vl = a[x - 1] + 2 * b[x - 1] + c[x - 1];
    const int vm = a[x] + 2 * b[x] + c[x];
    const int vr = a[x + 1] + 2 * b[x + 1] + c[x + 1];
    const int dl = 2 * b[x - 1] - a[x - 1] - c[x - 1];
    const int dm = 2 * b[x] - a[x] - c[x];
    const int dr = 2 * b[x + 1] - a[x + 1] - c[x + 1];
    const int el = c[x - 1] - a[x - 1];
    const int em = c[x] - a[x];
    const int er = c[x + 1] - a[x + 1];
    const int lx4 = 2 * vm - vl - vr;
    const int ly4 = dl + 2 * dm + dr;
    const int l = a[x] + c[x] + b[x - 1] + b[x + 1] - 4 * b[x];
    const int gx = vr - vl;
    const int gy = el + 2 * em + er;
    laplace += std::abs(lx4) + std::abs(ly4);
    lap += l;
    lapSquares += l * l;
    gradient += gx * gx + gy * gy;
    grey += b[x];
    greySquares += b[x] * b[x];
  }
  sums.laplace += laplace;
  sums.lap += lap;
  sums.lapSquares += lapSquares;
  sums.gradient += gradient;
  sums.grey += grey;
  sums.greySquares += greySquares;
}

#ifdef FOCUSRATE_AVX2_LOOPS
constexpr bool kAvx2Built = true;
#else
constexpr bool kAvx2Built = false;
#endif

// The row loops: the AVX2 loop (when built and allowed) takes a leading run,
// the scalar loop the rest. `if constexpr` keeps builds without the vector
// loops from naming them at all.
class RowKernels {
 public:
  explicit RowKernels(bool avx2) : avx2_(kAvx2Built && avx2) {}

  void Measure(const uint8_t* a, const uint8_t* b, const uint8_t* c, int width,
               FocusSums& sums) const {
    int x = 0;
    if constexpr (kAvx2Built) x = avx2_ ? avx2::MeasureRow(a, b, c, width, sums) : 0;
    MeasureRowFrom(x, a, b, c, width, sums);
    sums.pixels += width;
  }

  void Split(const uint8_t* bgr, int width, uint8_t* c0, uint8_t* c1, uint8_t* c2) const {
    int x = 0;
    if constexpr (kAvx2Built) x = avx2_ ? avx2::SplitChannels(bgr, width, c0, c1, c2) : 0;
    for (; x < width; ++x) {
      const uint8_t* pixel = bgr + 3 * static_cast<ptrdiff_t>(x);
      c0[x] = pixel[0];
      c1[x] = pixel[1];
      c2[x] = pixel[2];
    }
  }

  void SumColumns(const uint8_t* t, const uint8_t* m, const uint8_t* b, int width,
                  uint16_t* sum) const {
    int x = 0;
    if constexpr (kAvx2Built) x = avx2_ ? avx2::SumColumns(t, m, b, width, sum) : 0;
    for (; x < width; ++x) sum[x] = static_cast<uint16_t>(t[x] + 2 * m[x] + b[x]);
  }

  // 3x3 (1, 2, 1) smoothing rounds each channel to 8 bits before the grey
  // weights: (S + 8) >> 4, then Y = (9798 B + 19235 G + 3735 R + 2^14) >> 15.
  void GreyColour(const uint16_t* s0, const uint16_t* s1, const uint16_t* s2, int width,
                  uint8_t* grey) const {
    int x = 0;
    if constexpr (kAvx2Built) x = avx2_ ? avx2::SmoothGreyColour(s0, s1, s2, width, grey) : 0;
    for (; x < width; ++x) {
      const int c0 = (s0[x - 1] + 2 * s0[x] + s0[x + 1] + 8) >> 4;
      const int c1 = (s1[x - 1] + 2 * s1[x] + s1[x + 1] + 8) >> 4;
      const int c2 = (s2[x - 1] + 2 * s2[x] + s2[x + 1] + 8) >> 4;
      grey[x] = static_cast<uint8_t>((9798 * c0 + 19235 * c1 + 3735 * c2 + 16384) >> 15);
    }
  }

  void GreyMono(const uint16_t* s, int width, uint8_t* grey) const {
    int x = 0;
    if constexpr (kAvx2Built) x = avx2_ ? avx2::SmoothGreyMono(s, width, grey) : 0;
    for (; x < width; ++x) {
      grey[x] = static_cast<uint8_t>((s[x - 1] + 2 * s[x] + s[x + 1] + 8) >> 4);
    }
  }

 private:
  bool avx2_;
};

// Produces padded grey rows on demand from a ring of three. Row r always sits
// in slot r % 3, so the three rows around any centre never evict each other.
class GreyRows {
 public:
  GreyRows(const cv::Mat& image, RowKernels kernels)
      : image_(image),
        kernels_(kernels),
        width_(image.cols),
        rows_(image.rows),
        channels_(image.channels()),
        stride_(static_cast<size_t>(width_) + 2),
        sums_(stride_ * channels_),
        grey_(stride_ * 3) {
    if (channels_ == 3) planes_.resize(static_cast<size_t>(width_) * 9);
  }

  // Grey row y (0 <= y < rows), readable at [-1, width].
  const uint8_t* Row(int y) {
    uint8_t* row = grey_.data() + stride_ * (y % 3) + 1;
    if (greyTag_[y % 3] != y) {
      MakeGrey(y, row);
      greyTag_[y % 3] = y;
    }
    return row;
  }

 private:
  void MakeGrey(int y, uint8_t* out) {
    const int above = Reflect(y - 1, rows_);
    const int below = Reflect(y + 1, rows_);
    for (int ch = 0; ch < channels_; ++ch) {
      uint16_t* sum = Sums(ch);
      kernels_.SumColumns(Plane(above, ch), Plane(y, ch), Plane(below, ch), width_, sum);
      PadRow(sum, width_);
    }
    if (channels_ == 3) {
      kernels_.GreyColour(Sums(0), Sums(1), Sums(2), width_, out);
    } else {
      kernels_.GreyMono(Sums(0), width_, out);
    }
    PadRow(out, width_);
  }

  uint16_t* Sums(int ch) { return sums_.data() + stride_ * ch + 1; }

  // Channel ch of source row r; a grey source is its own single plane.
  const uint8_t* Plane(int r, int ch) {
    const uint8_t* src = image_.ptr<uint8_t>(r);
    if (channels_ == 1) return src;
    uint8_t* slot = planes_.data() + static_cast<size_t>(width_) * 3 * (r % 3);
    if (planeTag_[r % 3] != r) {
      kernels_.Split(src, width_, slot, slot + width_, slot + 2 * width_);
      planeTag_[r % 3] = r;
    }
    return slot + static_cast<size_t>(width_) * ch;
  }

  const cv::Mat& image_;
  RowKernels kernels_;
  int width_, rows_, channels_;
  size_t stride_;
  std::vector<uint8_t> planes_;
  int planeTag_[3] = {-1, -1, -1};
  std::vector<uint16_t> sums_;
  std::vector<uint8_t> grey_;
  int greyTag_[3] = {-1, -1, -1};
};

// The tiles' sums of rows [y0, y1), row-major as in TiledSums; the grey rows
// just outside are recomputed, not shared. Each tile's row segment is
// measured through pointers offset to its first column, so its neighbours
// are the image's own.
std::vector<FocusSums> StripeSums(const cv::Mat& image, const TileGrid& grid, int y0, int y1,
                                  RowKernels kernels) {
  GreyRows grey(image, kernels);
  const int columns = grid.Columns();
  std::vector<FocusSums> tiles(static_cast<size_t>(columns) * grid.Rows());
  int j = 0;
  for (int y = y0; y < y1; ++y) {
    while (grid.yEdges[j + 1] <= y) ++j;
    const uint8_t* above = grey.Row(Reflect(y - 1, image.rows));
    const uint8_t* centre = grey.Row(y);
    const uint8_t* below = grey.Row(Reflect(y + 1, image.rows));
    FocusSums* row = tiles.data() + static_cast<size_t>(j) * columns;
    for (int i = 0; i < columns; ++i) {
      const int x0 = grid.xEdges[i], x1 = grid.xEdges[i + 1];
      if (x1 > x0) kernels.Measure(above + x0, centre + x0, below + x0, x1 - x0, row[i]);
    }
  }
  return tiles;
}

bool CpuHasAvx2() {
#ifdef FOCUSRATE_AVX2_LOOPS
  // cpu_init first: this may run before the runtime has probed the CPU.
  static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
  return has;
#else
  return false;
#endif
}

}  // namespace

TiledSums TiledImageSums(const cv::Mat& image, const TileGrid& grid,
                         const EngineOptions& options) {
  CV_Assert(image.dims == 2 && !image.empty() && image.depth() == CV_8U &&
            (image.channels() == 1 || image.channels() == 3) &&
            FitsImage(grid, image.cols, image.rows));
  const RowKernels kernels(options.allowAvx2 && CpuHasAvx2());
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
  TiledSums total{FocusSums(), grid, std::vector<FocusSums>(parts[0].size())};
  for (int i = 0; i < stripes; ++i) {
    if (errors[i]) std::rethrow_exception(errors[i]);
    for (size_t t = 0; t < parts[i].size(); ++t) total.tiles[t] += parts[i][t];
  }
  for (const FocusSums& tile : total.tiles) total.whole += tile;
  return total;
}

}  // namespace engine_internal

TiledSums FastTiledSums(const cv::Mat& image, const TileGrid& grid, int threads) {
  engine_internal::EngineOptions options;
  options.threads = threads;
  return engine_internal::TiledImageSums(image, grid, options);
}

FocusFigures FastFigures(const cv::Mat& image, int threads) {
  // One tile: the per-tile loop costs nothing over a plain whole-row pass.
  return FiguresFromSums(FastTiledSums(image, UniformGrid(image.cols, image.rows, 1, 1), threads).whole);
}
