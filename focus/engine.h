// One streaming pass that computes the four figures without full-size
// intermediates; bit-identical to ReferenceFigures.
#ifndef FOCUSRATE_ENGINE_H
#define FOCUSRATE_ENGINE_H

#include <opencv2/core.hpp>

#include "focus_figures.h"

/// How the three channels of a colour image are ordered in memory: OpenCV
/// decodes to blue-green-red, most other libraries give red-green-blue.
enum class ChannelOrder { Bgr, Rgb };

/// image: CV_8UC3 (channels in `order`) or CV_8UC1 (grey), any row step.
/// threads: stripes rated in parallel (1 = this thread only); small images
/// always use one thread. The result does not depend on threads.
FocusFigures FastFigures(const cv::Mat& image, int threads,
                         ChannelOrder order = ChannelOrder::Bgr);

#endif  // FOCUSRATE_ENGINE_H
