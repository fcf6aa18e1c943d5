#include "af_point.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace focusrate {

namespace {

// Without an AF area, the subject is taken as this share of the long side.
constexpr double kShareOfLongSide = 0.2;

}  // namespace

cv::Rect AfPointBox(const AfPoint& point, cv::Size upright, int orientation) {
  // In fractions the turn is what ApplyOrientation does to pixels: a
  // transpose for 5-8, then the flips.
  cv::Point2d centre = point.centre;
  cv::Size2d area = point.area;
  if (orientation >= 5 && orientation <= 8) {
    std::swap(centre.x, centre.y);
    std::swap(area.width, area.height);
  }
  if (orientation == 2 || orientation == 3 || orientation == 6 || orientation == 7)
    centre.x = 1 - centre.x;
  if (orientation == 3 || orientation == 4 || orientation == 7 || orientation == 8)
    centre.y = 1 - centre.y;
  const double side = kShareOfLongSide * std::max(upright.width, upright.height);
  // An area wider than the frame (a file's nonsense) is the frame, which
  // also keeps the pixel counts within int.
  const double w = area.width > 0 ? std::min(area.width, 1.0) * upright.width : side;
  const double h = area.height > 0 ? std::min(area.height, 1.0) * upright.height : side;
  const double x = centre.x * upright.width, y = centre.y * upright.height;
  auto at = [](double v) { return static_cast<int>(std::lround(v)); };
  const cv::Point topLeft(at(x - w / 2), at(y - h / 2));
  const cv::Point bottomRight(at(x + w / 2), at(y + h / 2));
  return cv::Rect(topLeft, bottomRight) & cv::Rect(cv::Point(), upright);
}

}  // namespace focusrate
