// A numpy array as the engine's image, without copying when its rows are
// contiguous.
#ifndef FOCUSRATE_NUMPY_PIXELS_H
#define FOCUSRATE_NUMPY_PIXELS_H

#include <pybind11/numpy.h>

#include <opencv2/core.hpp>

/// Checks that array is uint8 H x W (grey) or H x W x 3 (colour), not
/// empty, and throws TypeError (not an array, another dtype) or ValueError
/// (shape) naming what it got otherwise. `function` prefixes the message.
void CheckPixels(const pybind11::object& array, const char* function);

/// The pixels of a checked array: a cv::Mat over its memory when each row
/// is contiguous (any row step), else a contiguous copy. The array must
/// outlive the result. Needs no GIL.
cv::Mat PixelsOf(const pybind11::array& array);

#endif  // FOCUSRATE_NUMPY_PIXELS_H
