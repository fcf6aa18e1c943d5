#include "focus_peaking.h"

#include <algorithm>
#include <cmath>

#include <opencv2/imgproc.hpp>

namespace focusrate {

namespace {

// Pixels at least this share of the best energy are painted: enough to
// outline every edge in focus, few enough that soft texture stays grey.
constexpr double kNearBest = 0.4;

cv::Mat Reduced(const cv::Mat& photo, int maxSize) {
  const int longSide = std::max(photo.cols, photo.rows);
  if (maxSize <= 0 || longSide <= maxSize) return photo;
  const double ratio = static_cast<double>(maxSize) / longSide;
  cv::Mat small;
  cv::resize(photo,  small,
             cv::Size(std::max(1, static_cast<int>(std::lround(photo.cols * ratio))),
                      std::max(1, static_cast<int>(std::lround(photo.rows * ratio)))),
             0, 0, cv::INTER_AREA);
  return small;
}

// The smoothing keeps single noisy pixels from counting as detail; the
// averaging turns the Laplacian's zero crossings on an edge into one band.
cv::Mat Energy(const cv::Mat& grey) {
  cv::Mat smooth, laplacian, energy;
  cv::GaussianBlur(grey, smooth, cv::Size(3, 3), 0);
  cv::Laplacian(smooth, laplacian, CV_32F, 1);
  cv::boxFilter(cv::abs(laplacian), energy, CV_32F, cv::Size(5, 5));
  return energy;
}

cv::Mat Grey(const cv::Mat& photo, int maxSize) {
  cv::Mat grey;
  cv::cvtColor(Reduced(photo, maxSize), grey, cv::COLOR_BGR2GRAY);
  return grey;
}

double Highest(const cv::Mat& energy) {
  double highest = 0;
  cv::minMaxLoc(energy, nullptr, &highest);
  return highest;
}

}  // namespace

double PeakEnergy(const cv::Mat& photo, int maxSize) {
  return Highest(Energy(Grey(photo, maxSize)));
}

cv::Mat PeakingPicture(const cv::Mat& photo, int maxSize, double best, cv::Vec3b colour) {
  const cv::Mat grey = Grey(photo, maxSize);
  const cv::Mat energy = Energy(grey);
  if (best <= 0) best = Highest(energy);
  cv::Mat picture;
  cv::cvtColor(grey, picture, cv::COLOR_GRAY2BGR);
  // A flat frame has no best to be near: nothing is painted.
  if (best > 0) picture.setTo(colour, energy >= kNearBest * best);
  return picture;
}

}  // namespace focusrate
