// One streaming pass that computes the four figures without full-size
// intermediates; bit-identical to ReferenceFigures.
#ifndef FOCUSRATE_ENGINE_H
#define FOCUSRATE_ENGINE_H

#include <opencv2/core.hpp>

#include "focus_figures.h"

/// image: CV_8UC3 (blue, green, red) or CV_8UC1 (grey), any row step.
/// threads: stripes rated in parallel (1 = this thread only); small images
/// always use one thread. The result does not depend on threads.
FocusFigures FastFigures(const cv::Mat& image, int threads);

#endif  // FOCUSRATE_ENGINE_H
