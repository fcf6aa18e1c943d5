// Encoding a picture as JPEG in memory with libjpeg-turbo, beside the PNG
// encoder, so a map can be written in the format its name asks for.
#ifndef FOCUSRATE_JPEG_ENCODER_H
#define FOCUSRATE_JPEG_ENCODER_H

#include <string>

#include <opencv2/core.hpp>

namespace focusrate {

/// The JPEG file bytes of image (CV_8UC3 blue-green-red, at least 1x1, any
/// row step) at quality (1..100). Throws std::runtime_error when libjpeg
/// fails. fastDct trades a little accuracy for speed (thumbnails).
std::string EncodeJpeg(const cv::Mat& image, int quality = 90, bool fastDct = false);

}  // namespace focusrate

#endif  // FOCUSRATE_JPEG_ENCODER_H
