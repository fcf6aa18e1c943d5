// Ranking at reduced scale, as focusrank --scale rates: is a photo still
// told from its blurred copies at 1/2, 1/4 and 1/8 of its size?
#ifndef FOCUSRATE_BENCH_RANKING_AT_SCALE_H
#define FOCUSRATE_BENCH_RANKING_AT_SCALE_H

#include <vector>

#include <opencv2/core.hpp>

/// Prints two tables for the photos: the blur ladders of photo_variants.h
/// (clean and noisy), every frame saved as a JPEG (quality 92, as cameras
/// save) and decoded at 1/1, 1/2, 1/4 and 1/8 as focusrank decodes it, with
/// per figure and scale the share of ladders whose unblurred frame scores
/// highest (top-1) and that fall all the way; then the share of photos
/// whose variance_lap beats that of one Gaussian blur, per sigma and scale,
/// both with noise of their own, as two frames of a burst.
void ReportScales(const std::vector<cv::Mat>& photos);

#endif  // FOCUSRATE_BENCH_RANKING_AT_SCALE_H
