// The EXIF orientation exactly as cv::imread finds it, so that an image
// decoded here is turned upright the way OpenCV turns it.
#ifndef FOCUSRATE_EXIF_ORIENTATION_H
#define FOCUSRATE_EXIF_ORIENTATION_H

#include <cstddef>
#include <cstdint>

#include <opencv2/core.hpp>

namespace focusrate {

/// The orientation (1-8; 1 when absent) in a TIFF-structured EXIF block, read
/// as OpenCV 4.6's ExifReader reads it: the first directory only, the first
/// orientation entry, and reading stops at the first entry it cannot parse.
int ExifOrientation(const uint8_t* data, size_t size);

/// Turns image upright for an EXIF orientation, as cv::imread does.
void ApplyOrientation(int orientation, cv::Mat& image);

}  // namespace focusrate

#endif  // FOCUSRATE_EXIF_ORIENTATION_H
