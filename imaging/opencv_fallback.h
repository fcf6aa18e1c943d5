// cv::imread for the formats decoded nowhere else, from the plugin library
// that alone links opencv_imgcodecs.
#ifndef FOCUSRATE_OPENCV_FALLBACK_H
#define FOCUSRATE_OPENCV_FALLBACK_H

#include <string>

#include <opencv2/core.hpp>

/// cv::imread(path, IMREAD_COLOR), exceptions and all. The plugin is loaded
/// on first use from beside the program (FOCUSRATE_IMREAD_PLUGIN_FROM_BIN),
/// or from the folder set below; std::runtime_error says why when it cannot be.
cv::Mat ImreadColor(const std::string& path);

/// Where the plugin is, for code loaded into a program that is not ours (the
/// Python module): a folder ending in '/'. Takes effect only before the
/// first ImreadColor.
void SetImreadPluginDirectory(const std::string& directory);

#endif  // FOCUSRATE_OPENCV_FALLBACK_H
