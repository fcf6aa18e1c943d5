// Where the camera focused, as the file's maker note records it, and where
// that lies in the decoded, upright picture.
#ifndef FOCUSRATE_AF_POINT_H
#define FOCUSRATE_AF_POINT_H

#include <optional>
#include <string>

#include <opencv2/core.hpp>

namespace focusrate {

/// An AF point in the camera's frame as stored (before any EXIF turn), in
/// fractions of that frame, so that it fits any size the picture is decoded
/// at.
struct AfPoint {
  cv::Point2d centre;  ///< across and down, 0 to 1
  cv::Size2d area;     ///< the AF area's width and height; 0 when none is recorded
};

/// The AF point path records, read with exiv2 in a MetadataScope: Canon's
/// AFInfo2 (the points in focus, else those selected), Nikon's
/// contrast-detect AF area, Panasonic's AFPointPosition, Olympus's
/// AFPointSelected, Fujifilm's FocusPixel, Sony's FocusLocation. Nothing
/// when the file records none (or an AF area of "none"), when the point
/// lies outside the frame, or when the file cannot be read; never throws for
/// a bad file.
std::optional<AfPoint> ReadAfPoint(const std::string& path);

/// The box point stands for in a picture of size upright that the EXIF
/// orientation turned upright from the stored frame: the AF area around
/// the point, else a square of a fifth of the long side, clipped to the
/// picture.
cv::Rect AfPointBox(const AfPoint& point, cv::Size upright, int orientation);

}  // namespace focusrate

#endif  // FOCUSRATE_AF_POINT_H
