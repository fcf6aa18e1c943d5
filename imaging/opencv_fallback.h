// cv::imread for the formats decoded nowhere else, from the plugin library
// that alone links opencv_imgcodecs.
#ifndef FOCUSRATE_OPENCV_FALLBACK_H
#define FOCUSRATE_OPENCV_FALLBACK_H

#include <string>

#include <opencv2/core.hpp>

#include "plugin_loader.h"

/// cv::imread(path, IMREAD_COLOR), exceptions and all, from the plugin
/// loaded on first use (plugin_loader.h); no image when the plugin cannot
/// be loaded (DecoderPluginProblem says why).
cv::Mat ImreadColor(const std::string& path);

#endif  // FOCUSRATE_OPENCV_FALLBACK_H
