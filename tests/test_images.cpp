#include "test_images.h"

#include <algorithm>
#include <random>

#include <opencv2/imgproc.hpp>

cv::Mat MakeUniform(int width, int height, int value, int channels) {
  return cv::Mat(height, width, CV_8UC(channels), cv::Scalar::all(value));
}

cv::Mat MakeCheckerboard(int width, int height, int cell, int channels) {
  cv::Mat image = MakeUniform(width, height, 0, channels);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool lit = ((x / cell) + (y / cell)) % 2 == 1;
      for (int c = 0; c < channels; ++c) {
        const int value = lit ? 255 - 255 * c / 3 : 255 * c / 4;
        image.ptr<std::uint8_t>(y)[x * channels + c] = static_cast<std::uint8_t>(value);
      }
    }
  }
  return image;
}

cv::Mat MakeRamp(int width, int height, int channels) {
  cv::Mat image = MakeUniform(width, height, 0, channels);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const int across = width > 1 ? x * 255 / (width - 1) : 0;
      const int values[3] = {across, height > 1 ? y * 255 / (height - 1) : 0, 255 - across};
      std::uint8_t* pixel = image.ptr<std::uint8_t>(y) + x * channels;
      for (int c = 0; c < channels; ++c) pixel[c] = static_cast<std::uint8_t>(values[c % 3]);
    }
  }
  return image;
}

cv::Mat MakeNoise(int width, int height, std::uint32_t seed, int channels) {
  cv::Mat image = MakeUniform(width, height, 0, channels);
  // mt19937's output is fixed by the standard (unlike the distributions), so
  // the top byte of each draw is the same everywhere.
  std::mt19937 rng(seed);
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = image.ptr<std::uint8_t>(y);
    for (int i = 0; i < width * channels; ++i) row[i] = static_cast<std::uint8_t>(rng() >> 24);
  }
  return image;
}

cv::Mat MakeSoftBlobs(int width, int height, std::uint32_t seed, int channels) {
  cv::Mat smooth, stretched;
  const double sigma = std::max(2.0, std::min(width, height) / 16.0);
  cv::GaussianBlur(MakeNoise(width, height, seed, channels), smooth, cv::Size(0, 0), sigma, sigma,
                   cv::BORDER_REFLECT_101);
  cv::normalize(smooth, stretched, 0, 255, cv::NORM_MINMAX, CV_8U);
  return stretched;
}

cv::Mat MakeDot3x3() {
  cv::Mat image = MakeUniform(3, 3, 0);
  image.at<std::uint8_t>(1, 1) = 255;
  return image;
}
