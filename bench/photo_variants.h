// The controlled variants of a photo the ranking benchmarks rate: growing
// blurs of three kinds, noise, and a frame sharp only in part; and what
// rating them costs.
#ifndef FOCUSRATE_BENCH_PHOTO_VARIANTS_H
#define FOCUSRATE_BENCH_PHOTO_VARIANTS_H

#include <functional>

#include <opencv2/core.hpp>

/// A disk of that radius (defocus), normalised to sum 1.
cv::Mat Disk(int radius);

/// image blurred by kind (0 Gaussian, sigma 1, 2, 4; 1 disk, radius 2, 4,
/// 8; 2 horizontal motion, 5, 11, 21 pixels) at level 0, 1 or 2.
cv::Mat Blurred(const cv::Mat& image, int kind, int level);

/// Normal noise of sigma added, drawn per channel or (grey) once for all three.
cv::Mat WithNoise(const cv::Mat& image, int seed, double sigma = 4, bool grey = false);

/// inside within the ellipse inscribed in box and outside beyond it, the
/// edge feathered by a Gaussian of sigma feather (both CV_8UC3, one size).
cv::Mat BlendInEllipse(const cv::Mat& inside, const cv::Mat& outside, const cv::Rect2d& box,
                       double feather);

/// The median time of repeats runs, in milliseconds.
double MedianMs(const std::function<void()>& run, int repeats);

/// wins out of total, in percent (0 of none).
double Share(int wins, int total);

#endif  // FOCUSRATE_BENCH_PHOTO_VARIANTS_H
