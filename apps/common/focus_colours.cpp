#include "focus_colours.h"

#include <algorithm>
#include <cmath>

#include <opencv2/imgproc.hpp>

namespace focusrate {

LogScale::LogScale(const std::vector<double>& values) {
  double top = 0, bottom = INFINITY;
  for (double v : values) {
    if (!std::isfinite(v) || v <= 0) continue;
    top = std::max(top, v);
    bottom = std::min(bottom, v);
  }
  hi_ = top > 0 ? top : 1;
  lo_ = top > 0 ? std::max(bottom, top * 1e-6) : 1;
}

double LogScale::Position(double v) const {
  if (hi_ <= lo_) return 1;
  return std::clamp(std::log(std::max(v, lo_) / lo_) / std::log(hi_ / lo_), 0.0, 1.0);
}

double LogScale::ValueAt(double position) const { return lo_ * std::pow(hi_ / lo_, position); }

cv::Vec3b FocusColour(double position) {
  static const cv::Mat lut = [] {
    cv::Mat ramp(1, 256, CV_8UC1), colours;
    for (int k = 0; k < 256; ++k) ramp.at<uint8_t>(0, k) = static_cast<uint8_t>(k);
    cv::applyColorMap(ramp, colours, cv::COLORMAP_INFERNO);
    return colours;
  }();
  return lut.at<cv::Vec3b>(0, static_cast<int>(std::lround(std::clamp(position, 0.0, 1.0) * 255)));
}

}  // namespace focusrate
