#include "salient_region.h"

#include <algorithm>
#include <opencv2/imgproc.hpp>
#include <vector>

namespace focusrate {

namespace {

// At 64 x 64 the residual marks objects rather than texture, and costs
// well under a millisecond whatever the photo's size.
constexpr int kSide = 64;
constexpr int kWindow = kSide / 3;
// A window must hold this many times its share of the saliency to count:
// a flat map (sky, a wall, an even texture) leaves the choice to the centre.
constexpr double kMinContrast = 1.5;

cv::Mat SaliencyMap(const cv::Mat& image) {
  cv::Mat grey, small, planes[2], spectrum;
  cv::cvtColor(image, grey, cv::COLOR_BGR2GRAY);
  cv::resize(grey, small, cv::Size(kSide, kSide), 0, 0, cv::INTER_AREA);
  small.convertTo(planes[0], CV_32F, 1.0 / 255);
  planes[1] = cv::Mat::zeros(planes[0].size(), CV_32F);
  cv::merge(planes, 2, spectrum);
  cv::dft(spectrum, spectrum);
  cv::split(spectrum, planes);
  cv::Mat amplitude, phase, smooth;
  cv::cartToPolar(planes[0], planes[1], amplitude, phase);
  cv::log(amplitude + 1e-6, amplitude);
  cv::blur(amplitude, smooth, cv::Size(3, 3));
  cv::exp(amplitude - smooth, amplitude);
  cv::polarToCart(amplitude, phase, planes[0], planes[1]);
  cv::merge(planes, 2, spectrum);
  cv::idft(spectrum, spectrum, cv::DFT_SCALE);
  cv::split(spectrum, planes);
  cv::Mat map;
  cv::magnitude(planes[0], planes[1], map);
  map = map.mul(map);
  cv::GaussianBlur(map, map, cv::Size(), 2.5);
  return map;
}

}  // namespace

bool FindSalientRegion(const cv::Mat& image, cv::Rect& region) {
  if (image.cols < kSide || image.rows < kSide) return false;
  const cv::Mat map = SaliencyMap(image);
  // Each point: the sum of the window whose top-left corner it is.
  cv::Mat sums;
  cv::boxFilter(map, sums, -1, cv::Size(kWindow, kWindow), cv::Point(0, 0), false,
                cv::BORDER_CONSTANT);
  double best = 0;
  cv::Point at;
  cv::minMaxLoc(sums(cv::Rect(0, 0, kSide - kWindow + 1, kSide - kWindow + 1)), nullptr, &best,
                nullptr, &at);
  const double share = cv::sum(map)[0] * kWindow * kWindow / (kSide * kSide);
  if (!(best > kMinContrast * share)) return false;
  const double sx = static_cast<double>(image.cols) / kSide;
  const double sy = static_cast<double>(image.rows) / kSide;
  region = cv::Rect(cv::Point(cvRound(at.x * sx), cvRound(at.y * sy)),
                    cv::Point(cvRound((at.x + kWindow) * sx), cvRound((at.y + kWindow) * sy)));
  return true;
}

}  // namespace focusrate
