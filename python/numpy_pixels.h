// The figures of a numpy array, read where it lies: in place when its rows
// are contiguous, row by row through a one-row buffer otherwise.
#ifndef FOCUSRATE_NUMPY_PIXELS_H
#define FOCUSRATE_NUMPY_PIXELS_H

#include <pybind11/numpy.h>

#include "engine.h"

namespace focusrate {

/// Checks that array is uint8 H x W (grey) or H x W x 3 (colour), not
/// empty, and throws TypeError (not an array, another dtype) or ValueError
/// (shape) naming what it got otherwise. `function` prefixes the message.
void CheckPixels(const pybind11::object& array, const char* function);

/// The figures of a checked array with channels in `order`. Needs no GIL;
/// the array must stay alive meanwhile.
FocusFigures ArrayFigures(const pybind11::array& array, ChannelOrder order, int threads);

}  // namespace focusrate

#endif  // FOCUSRATE_NUMPY_PIXELS_H
