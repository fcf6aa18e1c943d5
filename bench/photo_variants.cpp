#include "photo_variants.h"

#include <vector>

#include <opencv2/imgproc.hpp>

cv::Mat Disk(int radius) {
  cv::Mat k =
      cv::getStructuringElement(cv::MORPH_ELLIPSE, cv::Size(2 * radius + 1, 2 * radius + 1));
  k.convertTo(k, CV_32F);
  return k / cv::sum(k)[0];
}

namespace {

cv::Mat Motion(int length) { return cv::Mat(1, length, CV_32F, cv::Scalar(1.0 / length)); }

}  // namespace

cv::Mat Blurred(const cv::Mat& image, int kind, int level) {
  cv::Mat out;
  if (kind == 0) {
    const double sigma[] = {1, 2, 4};
    cv::GaussianBlur(image, out, cv::Size(), sigma[level]);
  } else {
    const int disk[] = {2, 4, 8}, motion[] = {5, 11, 21};
    cv::filter2D(image, out, -1, kind == 1 ? Disk(disk[level]) : Motion(motion[level]));
  }
  return out;
}

cv::Mat WithNoise(const cv::Mat& image, int seed, double sigma, bool grey) {
  cv::Mat noise(image.size(), grey ? CV_16SC1 : CV_16SC3);
  cv::RNG rng(static_cast<uint64_t>(seed) + 1);
  rng.fill(noise, cv::RNG::NORMAL, 0, sigma);
  if (grey) cv::merge(std::vector<cv::Mat>(3, noise), noise);
  cv::Mat wide, out;
  image.convertTo(wide, CV_16SC3);
  cv::add(wide, noise, wide);
  wide.convertTo(out, CV_8UC3);
  return out;
}

double Share(int wins, int total) { return total ? 100.0 * wins / total : 0; }
