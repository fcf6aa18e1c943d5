// Engine internals: the row kernels. Free of OpenCV and
// of templates on purpose: engine_avx2.cpp includes it under -mavx2, and an
// inline function emitted there could be picked by the linker for every
// caller, AVX2 instructions and all.
#ifndef FOCUSRATE_ENGINE_KERNELS_H
#define FOCUSRATE_ENGINE_KERNELS_H

#include <cstdint>

#include "focus_sums.h"

namespace engine_internal {

/// Vector loops over one row. Each handles a leading run of pixels (a
/// multiple of 16, possibly 0) and returns its length; the caller's scalar
/// loop finishes the row. Rows passed as "padded" are readable at [-1, width].
namespace avx2 {

/// Adds the sums of grey row `centre` (neighbours `above`, `below`), all of
/// them when `extended`; handles the whole row when it is at least 16 pixels
/// wide.
int MeasureRow(const uint8_t* above, const uint8_t* centre, const uint8_t* below,
               int width, bool extended, FocusSums& sums);

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
