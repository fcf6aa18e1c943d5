// The one entry point of the plugin that decodes with cv::imread. The
// programs load it with dlopen only when a file needs it, so they need not
// link opencv_imgcodecs, whose ~140 libraries (GDAL, GDCM, poppler, video
// codecs...) take most of a one-photo run to load.
#ifndef FOCUSRATE_IMREAD_PLUGIN_H
#define FOCUSRATE_IMREAD_PLUGIN_H

#include <opencv2/core.hpp>

namespace focusrate {

/// The plugin's file name, in the folder plugin_loader.h looks in.
#define FOCUSRATE_IMREAD_PLUGIN_FILE "libfocusrate_imread.so"

/// Its symbol: cv::imread(path, IMREAD_COLOR) into image; exceptions
/// propagate as cv::imread throws them.
#define FOCUSRATE_IMREAD_SYMBOL "FocusrateImreadColor"
using ImreadColorFunction = void (*)(const char* path, cv::Mat* image);

}  // namespace focusrate

#endif  // FOCUSRATE_IMREAD_PLUGIN_H
