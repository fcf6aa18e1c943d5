#include "test_images.h"

#include <algorithm>
#include <random>

#include <opencv2/imgproc.hpp>

cv::Mat MakeUniform(int width, int height, int value, int channels) {
  return cv::Mat(height, width, CV_8UC(channels), cv::Scalar::all(value));
}

cv::Mat MakeCheckerboard(int width, int height, int cell, int channels) {
  cv::Mat image = MakeUniform(width, height, 0, channels);
  cv::Mat_<std::uint8_t>(image.reshape(1)).forEach([&](std::uint8_t& value, const int* at) {
    const int c = at[1] % channels, lit = (at[1] / channels / cell + at[0] / cell) % 2;
    value = static_cast<std::uint8_t>(lit ? 255 - 255 * c / 3 : 255 * c / 4);
  });
  return image;
}

cv::Mat MakeRamp(int width, int height, int channels) {
  cv::Mat image = MakeUniform(width, height, 0, channels);
  cv::Mat_<std::uint8_t>(image.reshape(1)).forEach([&](std::uint8_t& value, const int* at) {
    const int across = width > 1 ? at[1] / channels * 255 / (width - 1) : 0;
    const int values[3] = {across, height > 1 ? at[0] * 255 / (height - 1) : 0, 255 - across};
    value = static_cast<std::uint8_t>(values[at[1] % channels % 3]);
  });
  return image;
}

cv::Mat MakeNoise(int width, int height, std::uint32_t seed, int channels) {
  cv::Mat image = MakeUniform(width, height, 0, channels);
  // mt19937's output is fixed by the standard (unlike the distributions), so
  // the top byte of each draw is the same everywhere.
  std::mt19937 rng(seed);
  cv::Mat_<std::uint8_t> bytes = image.reshape(1);  // row after row, as the draws come
  for (std::uint8_t& value : bytes) value = static_cast<std::uint8_t>(rng() >> 24);
  return image;
}

cv::Mat MakeSoftBlobs(int width, int height, std::uint32_t seed, int channels) {
  cv::Mat smooth, stretched;
  const double sigma = std::max(2.0, std::min(width, height) / 16.0);
  // OpenCV's default border is BORDER_REFLECT_101.
  cv::GaussianBlur(MakeNoise(width, height, seed, channels), smooth, cv::Size(), sigma, sigma);
  cv::normalize(smooth, stretched, 0, 255, cv::NORM_MINMAX, CV_8U);
  return stretched;
}

cv::Mat MakeDot3x3() {
  return cv::Mat_<std::uint8_t>({3, 3}, {0, 0, 0, 0, 255, 0, 0, 0, 0});
}
