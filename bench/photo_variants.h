// The controlled variants of a photo the ranking benchmarks rate: growing
// blurs of three kinds, and noise.
#ifndef FOCUSRATE_BENCH_PHOTO_VARIANTS_H
#define FOCUSRATE_BENCH_PHOTO_VARIANTS_H

#include <opencv2/core.hpp>

/// A disk of that radius (defocus), normalised to sum 1.
cv::Mat Disk(int radius);

/// image blurred by kind (0 Gaussian, sigma 1, 2, 4; 1 disk, radius 2, 4,
/// 8; 2 horizontal motion, 5, 11, 21 pixels) at level 0, 1 or 2.
cv::Mat Blurred(const cv::Mat& image, int kind, int level);

/// Normal noise of sigma added, drawn per channel or (grey) once for all three.
cv::Mat WithNoise(const cv::Mat& image, int seed, double sigma = 4, bool grey = false);

/// wins out of total, in percent (0 of none).
double Share(int wins, int total);

#endif  // FOCUSRATE_BENCH_PHOTO_VARIANTS_H
