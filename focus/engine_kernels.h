// Engine internals: the exact sums and the row kernels. Free of OpenCV and
// of templates on purpose: engine_avx2.cpp includes it under -mavx2, and an
// inline function emitted there could be picked by the linker for every
// caller, AVX2 instructions and all.
#ifndef FOCUSRATE_ENGINE_KERNELS_H
#define FOCUSRATE_ENGINE_KERNELS_H

#include <cstdint>

#include "focus_figures.h"

namespace engine_internal {

/// Exact integer sums over the grey image. Every figure is a short double
/// formula of these, so any summation order gives the reference's bits.
struct FocusSums {
  int64_t laplace = 0;      ///< sum of |4 Lx| + |4 Ly|
  int64_t lap = 0;          ///< sum of the 4-neighbour Laplacian
  int64_t lapSquares = 0;   ///< sum of its squares
  int64_t gradient = 0;     ///< sum of Gx^2 + Gy^2 (3x3 Sobel)
  int64_t grey = 0;         ///< sum of grey values
  int64_t greySquares = 0;  ///< sum of their squares
  int64_t pixels = 0;

  FocusSums& operator+=(const FocusSums& o);
};

/// The double arithmetic of OpenCV's mean and meanStdDev on those sums.
FocusFigures FinishFigures(const FocusSums& sums);

/// Vector loops over one row. Each handles a leading run of pixels (a
/// multiple of 16, possibly 0) and returns its length; the caller's scalar
/// loop finishes the row. Rows passed as "padded" are readable at [-1, width].
namespace avx2 {

/// Adds the figures of grey row `centre` (neighbours `above`, `below`).
int MeasureRow(const uint8_t* above, const uint8_t* centre, const uint8_t* below,
               int width, FocusSums& sums);

/// Splits blue-green-red pixels into three planes.
int SplitChannels(const uint8_t* bgr, int width, uint8_t* c0, uint8_t* c1, uint8_t* c2);

/// sum[x] = top[x] + 2 mid[x] + bottom[x]: the vertical (1, 2, 1) pass.
int SumColumns(const uint8_t* top, const uint8_t* mid, const uint8_t* bottom, int width,
               uint16_t* sum);

/// Horizontal (1, 2, 1) pass on padded column sums, rounding, then the
/// 15-bit grey weights (c0 is the plane of channel 0, blue).
int SmoothGreyColour(const uint16_t* c0, const uint16_t* c1, const uint16_t* c2, int width,
                     uint8_t* grey);

/// Horizontal (1, 2, 1) pass and rounding for a grey input.
int SmoothGreyMono(const uint16_t* sum, int width, uint8_t* grey);

}  // namespace avx2

}  // namespace engine_internal

#endif  // FOCUSRATE_ENGINE_KERNELS_H
