#include "photo_variants.h"

#include <algorithm>
#include <chrono>
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

cv::Mat BlendInEllipse(const cv::Mat& inside, const cv::Mat& outside, const cv::Rect2d& box,
                       double feather) {
  cv::Mat mask(inside.size(), CV_32F, cv::Scalar(0));
  const cv::Point2d centre = (box.tl() + box.br()) / 2;
  cv::ellipse(mask, cv::Point(cvRound(centre.x), cvRound(centre.y)),
              cv::Size(cvRound(box.width / 2), cvRound(box.height / 2)), 0, 0, 360, cv::Scalar(1),
              cv::FILLED);
  cv::GaussianBlur(mask, mask, cv::Size(), feather);
  cv::Mat in, out, m3;
  inside.convertTo(in, CV_32FC3);
  outside.convertTo(out, CV_32FC3);
  cv::cvtColor(mask, m3, cv::COLOR_GRAY2BGR);
  cv::Mat blend = in.mul(m3) + out.mul(cv::Scalar::all(1) - m3), result;
  blend.convertTo(result, CV_8UC3);
  return result;
}

double MedianMs(const std::function<void()>& run, int repeats) {
  std::vector<double> ms;
  for (int r = 0; r < repeats; ++r) {
    const auto t0 = std::chrono::steady_clock::now();
    run();
    ms.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  std::sort(ms.begin(), ms.end());
  return ms[ms.size() / 2];
}

double Share(int wins, int total) { return total ? 100.0 * wins / total : 0; }
