// Encoding a picture as PNG in memory with libpng, so the programs need not
// load opencv_imgcodecs to write one.
#ifndef FOCUSRATE_PNG_ENCODER_H
#define FOCUSRATE_PNG_ENCODER_H

#include <string>

#include <opencv2/core.hpp>

namespace focusrate {

/// The PNG file bytes of image (CV_8UC3 blue-green-red, or CV_8UC4 with
/// alpha; at least 1x1, any row step): 8-bit RGB or RGBA, fastest
/// compression. Throws std::runtime_error when
/// libpng fails; std::bad_alloc when memory runs out.
std::string EncodePng(const cv::Mat& image);

}  // namespace focusrate

#endif  // FOCUSRATE_PNG_ENCODER_H
