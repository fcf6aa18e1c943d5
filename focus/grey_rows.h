// Engine internals shared by the whole-image pass (engine.cpp) and the row
// stream (row_stream.cpp): the row loops and the grey rows made from source
// rows. Not included by engine_avx2.cpp, so nothing inline here is ever
// compiled with -mavx2.
#ifndef FOCUSRATE_GREY_ROWS_H
#define FOCUSRATE_GREY_ROWS_H

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <utility>
#include <vector>

#include "engine_kernels.h"

namespace focusrate {

namespace engine_internal {

/// Whether the AVX2 loops were built and this CPU runs them.
bool CpuHasAvx2();

// BORDER_REFLECT_101: mirror about the edge pixel without repeating it. Only
// called with i in [-1, n]; a single row or column mirrors onto itself.
inline int Reflect(int i, int n) {
  if (n == 1) return 0;
  if (i < 0) return -i;
  if (i >= n) return 2 * n - 2 - i;
  return i;
}

// Fills index -1 and width of a row stored from index 0.
template <typename T>
inline void PadRow(T* row, int width) {
  row[-1] = row[Reflect(-1, width)];
  row[width] = row[Reflect(width, width)];
}

// The grey-image sums of one row from column x on (all of them when
// `extended`, else the classic ones); above, centre and below are padded.
void MeasureRowFrom(int x, const uint8_t* a, const uint8_t* b, const uint8_t* c, int width,
                    bool extended, FocusSums& sums);

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
  // channels: of the source (1 or 3); extended: also the sums only
  // FigureSet::All needs.
  RowKernels(bool avx2, int channels, bool rgb, bool extended)
      : avx2_(kAvx2Built && avx2), colour_(channels == 3), rgb_(rgb), extended_(extended) {}

  void Measure(const uint8_t* a, const uint8_t* b, const uint8_t* c, int width,
               FocusSums& sums) const {
    int x = 0;
    if constexpr (kAvx2Built) x = avx2_ ? avx2::MeasureRow(a, b, c, width, extended_, sums) : 0;
    MeasureRowFrom(x, a, b, c, width, extended_, sums);
    sums.pixels += width;
    if (!extended_) return;
    sums.extendedPixels += width;
    if (colour_) sums.colourPixels += width;
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
  // Red-first pixels only swap which sums carry the blue and red weights.
  void GreyColour(const uint16_t* s0, const uint16_t* s1, const uint16_t* s2, int width,
                  uint8_t* grey) const {
    if (rgb_) std::swap(s0, s2);
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
  bool colour_;
  bool rgb_;
  bool extended_;
};

// Where the source rows are: row r at base + step * (r % ring). A whole image
// has ring == rows; a stream keeps only the last three rows.
struct SourceRows {
  const uint8_t* base;
  size_t step;
  int ring;
};

// Produces padded grey rows on demand from a ring of three. Row r always sits
// in slot r % 3, so the three rows around any centre never evict each other.
class GreyRows {
 public:
  GreyRows(SourceRows source, int width, int rows, int channels, RowKernels kernels)
      : source_(source),
        kernels_(kernels),
        width_(width),
        rows_(rows),
        channels_(channels),
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

  // Adds the figures of grey row y between xEdges[i] and xEdges[i + 1] to
  // tiles[i]. Each segment is measured through pointers offset to its first
  // column, so its neighbours are the row's own.
  void Measure(int y, const std::vector<int>& xEdges, FocusSums* tiles) {
    const uint8_t* above = Row(Reflect(y - 1, rows_));
    const uint8_t* centre = Row(y);
    const uint8_t* below = Row(Reflect(y + 1, rows_));
    for (size_t i = 0; i + 1 < xEdges.size(); ++i) {
      const int x0 = xEdges[i], x1 = xEdges[i + 1];
      if (x1 > x0) kernels_.Measure(above + x0, centre + x0, below + x0, x1 - x0, tiles[i]);
    }
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
    const uint8_t* src = source_.base + source_.step * static_cast<size_t>(r % source_.ring);
    if (channels_ == 1) return src;
    uint8_t* slot = planes_.data() + static_cast<size_t>(width_) * 3 * (r % 3);
    if (planeTag_[r % 3] != r) {
      kernels_.Split(src, width_, slot, slot + width_, slot + 2 * width_);
      planeTag_[r % 3] = r;
    }
    return slot + static_cast<size_t>(width_) * ch;
  }

  SourceRows source_;
  RowKernels kernels_;
  int width_, rows_, channels_;
  size_t stride_;
  std::vector<uint8_t> planes_;
  int planeTag_[3] = {-1, -1, -1};
  std::vector<uint16_t> sums_;
  std::vector<uint8_t> grey_;
  int greyTag_[3] = {-1, -1, -1};
};

}  // namespace engine_internal

}  // namespace focusrate

#endif  // FOCUSRATE_GREY_ROWS_H
