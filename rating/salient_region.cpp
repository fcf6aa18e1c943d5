#include "salient_region.h"

#include <opencv2/imgproc.hpp>

namespace focusrate {

namespace {

// At 64 x 64, blurred once more, what defocus does to a photo is gone: the
// region follows what the photo shows, not which part of it is sharp. It
// costs well under a millisecond beside the reduction itself.
constexpr int kSide = 64;
// Weight towards the middle (a Gaussian of this share of each side): a
// bright edge or corner is rarely the subject.
constexpr double kCentreWeight = 0.5;
// The blob: the cells joined to the peak that differ at least this share of
// its difference, and a cell around them.
constexpr double kBlobLevel = 0.5;
constexpr int kMargin = 1;
// A blob must differ this many times the mean difference and cover at most
// this share of the frame; else the centre rates the subject better.
constexpr double kMinContrast = 2;
constexpr double kMaxArea = 0.3;

// Each cell: how far its colour (CIELAB, lightness too) lies from the
// photo's mean colour, weighted towards the middle.
cv::Mat ColourContrast(const cv::Mat& image) {
  cv::Mat small, lab;
  cv::resize(image, small, cv::Size(kSide, kSide), 0, 0, cv::INTER_AREA);
  small.convertTo(small, CV_32FC3, 1.0 / 255);
  cv::cvtColor(small, lab, cv::COLOR_BGR2Lab);
  cv::GaussianBlur(lab, lab, cv::Size(), 1);
  cv::Mat planes[3];
  cv::split(lab - cv::mean(lab), planes);
  cv::Mat distance =
      planes[0].mul(planes[0]) + planes[1].mul(planes[1]) + planes[2].mul(planes[2]);
  cv::sqrt(distance, distance);
  const cv::Mat weight = cv::getGaussianKernel(kSide, kCentreWeight * kSide, CV_32F);
  return distance.mul(weight * weight.t());
}

}  // namespace

bool FindSalientRegion(const cv::Mat& image, cv::Rect& region) {
  if (image.cols < kSide || image.rows < kSide) return false;
  const cv::Mat map = ColourContrast(image);
  double peak = 0;
  cv::Point at;
  cv::minMaxLoc(map, nullptr, &peak, nullptr, &at);
  cv::Mat labels;
  cv::connectedComponents(map >= kBlobLevel * peak, labels, 8, CV_32S);
  const cv::Rect joined = cv::boundingRect(labels == labels.at<int>(at));
  const cv::Rect blob = cv::Rect(joined.x - kMargin, joined.y - kMargin,
                                 joined.width + 2 * kMargin, joined.height + 2 * kMargin) &
                        cv::Rect(0, 0, kSide, kSide);
  if (!(cv::mean(map(blob))[0] > kMinContrast * cv::mean(map)[0]) ||
      blob.area() > kMaxArea * kSide * kSide)
    return false;
  const double sx = static_cast<double>(image.cols) / kSide;
  const double sy = static_cast<double>(image.rows) / kSide;
  region = cv::Rect(cv::Point(cvRound(blob.x * sx), cvRound(blob.y * sy)),
                    cv::Point(cvRound(blob.br().x * sx), cvRound(blob.br().y * sy)));
  return true;
}

}  // namespace focusrate
