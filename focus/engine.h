// One streaming pass that computes the four figures without full-size
// intermediates; bit-identical to ReferenceFigures.
#ifndef FOCUSRATE_ENGINE_H
#define FOCUSRATE_ENGINE_H

#include <cstdint>
#include <memory>

#include <opencv2/core.hpp>

#include "focus_figures.h"

/// image: CV_8UC3 (blue, green, red) or CV_8UC1 (grey), any row step.
/// threads: stripes rated in parallel (1 = this thread only); small images
/// always use one thread. The result does not depend on threads.
FocusFigures FastFigures(const cv::Mat& image, int threads);

/// An image handed over row by row, top to bottom, as a decoder produces it.
/// Keeps three rows and measures each row as soon as its neighbours are in,
/// so memory grows with the width only; the figures are FastFigures' bits.
class RowStream {
 public:
  /// channels: 3 (blue, green, red) or 1 (grey); width, height at least 1.
  RowStream(int width, int height, int channels);
  ~RowStream();
  RowStream(const RowStream&) = delete;
  RowStream& operator=(const RowStream&) = delete;

  /// Where the next row goes: width * channels bytes.
  uint8_t* NextRow();
  /// That row is written.
  void RowDone();
  /// The figures, once every row is done.
  FocusFigures Finish();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

#endif  // FOCUSRATE_ENGINE_H
