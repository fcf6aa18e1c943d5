#include "numpy_pixels.h"

#include <climits>
#include <cstdint>
#include <string>

#include "call_arguments.h"
#include "row_stream.h"

namespace py = pybind11;

void CheckPixels(const py::object& object, const char* function) {
  const std::string name(function);
  if (!py::isinstance<py::array>(object))
    throw py::type_error(name + ": expected a numpy array, got " + TypeName(object));
  const py::array array = py::reinterpret_borrow<py::array>(object);
  if (!array.dtype().is(py::dtype::of<uint8_t>()))
    throw py::type_error(name + ": expected dtype uint8, got " +
                         py::str(array.dtype()).cast<std::string>());
  const bool grey = array.ndim() == 2;
  if (!grey && !(array.ndim() == 3 && array.shape(2) == 3))
    throw py::value_error(name + ": expected shape (H, W) or (H, W, 3), got " +
                          py::str(array.attr("shape")).cast<std::string>());
  if (array.shape(0) == 0 || array.shape(1) == 0)
    throw py::value_error(name + ": the array is empty");
  if (array.shape(0) > INT_MAX || array.shape(1) > INT_MAX)
    throw py::value_error(name + ": the array is too large");
}

FocusFigures ArrayFigures(const py::array& array, ChannelOrder order, int threads) {
  const int rows = static_cast<int>(array.shape(0)), cols = static_cast<int>(array.shape(1));
  const int channels = array.ndim() == 3 ? 3 : 1;
  const ssize_t rowStep = array.strides(0), pixelStep = array.strides(1);
  const ssize_t channelStep = channels == 3 ? array.strides(2) : 1;
  const ssize_t rowBytes = static_cast<ssize_t>(cols) * channels;
  const auto* data = static_cast<const uint8_t*>(array.data());
  if (pixelStep == channels && channelStep == 1 && (rows == 1 || rowStep >= rowBytes)) {
    // cv::Mat takes a const-less pointer but the engine only reads it.
    const cv::Mat pixels(rows, cols, CV_8UC(channels), const_cast<uint8_t*>(data),
                         static_cast<size_t>(rows == 1 ? rowBytes : rowStep));
    return FastFigures(pixels, threads, order);
  }
  // Pixels apart from each other (a view with steps, a transposed or
  // flipped array) are gathered one row at a time.
  RowStream stream(cols, rows, channels, threads, order);
  for (int y = 0; y < rows; ++y) {
    uint8_t* out = stream.NextRow();
    const uint8_t* row = data + y * rowStep;
    for (int x = 0; x < cols; ++x)
      for (int c = 0; c < channels; ++c) *out++ = row[x * pixelStep + c * channelStep];
    stream.RowDone();
  }
  return stream.Finish();
}
