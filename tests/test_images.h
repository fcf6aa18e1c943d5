// Seeded image generators shared by tests and benchmarks: the same arguments
// always give the same pixels, so no image fixture has to be committed.
// Images are grey (CV_8UC1) by default; channels 3 gives blue-green-red
// images whose channels differ, so a channel-order mistake changes figures.
#ifndef FOCUSRATE_TESTS_TEST_IMAGES_H
#define FOCUSRATE_TESTS_TEST_IMAGES_H

#include <cstdint>

#include <opencv2/core.hpp>

/// Every pixel value (each channel the same).
cv::Mat MakeUniform(int width, int height, int value, int channels = 1);

/// Squares of cell x cell pixels alternating between dark and light, dark at
/// the top left; a BGR image gets distinct values per channel.
cv::Mat MakeCheckerboard(int width, int height, int cell, int channels = 1);

/// Left to right from 0 to 255 (a single column is 0); BGR: blue rises,
/// green rises down the rows, red falls.
cv::Mat MakeRamp(int width, int height, int channels = 1);

/// Independent uniform values 0..255 per pixel and channel from seed.
cv::Mat MakeNoise(int width, int height, std::uint32_t seed, int channels = 1);

/// Noise smoothed with a wide Gaussian and stretched to 0..255: a stand-in
/// for a defocused photograph.
cv::Mat MakeSoftBlobs(int width, int height, std::uint32_t seed, int channels = 1);

/// 3x3 grey, 0 everywhere except 255 at the centre.
cv::Mat MakeDot3x3();

#endif  // FOCUSRATE_TESTS_TEST_IMAGES_H
