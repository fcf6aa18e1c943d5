// The thumbnails of the report page: JPEG files named by input position,
// never by the input's own name.
#ifndef FOCUSRATE_REPORT_THUMBS_H
#define FOCUSRATE_REPORT_THUMBS_H

#include <cstddef>
#include <string>

#include <opencv2/core.hpp>

namespace focusrate {

/// The long side of a thumbnail, in pixels.
constexpr int kThumbSide = 480;

/// "000123.jpg" for index 123.
std::string ThumbName(std::size_t index);

/// image (8-bit blue-green-red) as a baseline JPEG file at quality (1-100);
/// "" when libjpeg fails (out of memory).
std::string EncodeJpeg(const cv::Mat& image, int quality);

}  // namespace focusrate

#endif  // FOCUSRATE_REPORT_THUMBS_H
