// cv::imread for the formats decoded nowhere else, from the plugin library
// that alone links opencv_imgcodecs.
#ifndef FOCUSRATE_OPENCV_FALLBACK_H
#define FOCUSRATE_OPENCV_FALLBACK_H

#include <string>

#include <opencv2/core.hpp>

/// cv::imread(path, IMREAD_COLOR), exceptions and all. The plugin is loaded
/// on first use from beside the program (FOCUSRATE_IMREAD_PLUGIN_FROM_BIN);
/// std::runtime_error says why when it cannot be.
cv::Mat ImreadColor(const std::string& path);

#endif  // FOCUSRATE_OPENCV_FALLBACK_H
