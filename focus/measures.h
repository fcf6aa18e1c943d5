// The focus measures, written for reading with OpenCV: the reference that
// every faster path must match bit for bit.
#ifndef FOCUSRATE_MEASURES_H
#define FOCUSRATE_MEASURES_H

#include <vector>

#include <opencv2/core.hpp>

#include "focus_figures.h"
#include "tile_grid.h"

/// Each takes the 8-bit grey image (CV_8UC1, at least 1x1) and returns one
/// figure; none changes the image or keeps state. Like every OpenCV filter,
/// they take the border of a view (ROI) from the pixels around it.
double LaplaceMeasure(const cv::Mat& gray);
double LaplaceVarianceMeasure(const cv::Mat& gray);
double TenengradMeasure(const cv::Mat& gray, int apertureSize);
double GrayLevelMeasure(const cv::Mat& gray);
double BrennerMeasure(const cv::Mat& gray);
double SumModifiedLaplaceMeasure(const cv::Mat& gray);
double VollathMeasure(const cv::Mat& gray);
double HaarEnergyMeasure(const cv::Mat& gray);

/// The literal pipeline on a decoded image: 3x3 Gaussian smoothing, grey
/// conversion (code 7 on blue-green-red data; a CV_8UC1 image is already
/// grey and is only smoothed), then the measures of `set`.
/// A view is rated as an image of its own: it is copied before smoothing.
FocusFigures ReferenceFigures(const cv::Mat& image, FigureSet set = FigureSet::Classic);

/// The same pipeline filtering the whole image, then each tile's figures
/// over its rectangle of the filtered responses (row-major, as TiledSums);
/// an empty tile's figures are NaN. The grid must fit the image.
std::vector<FocusFigures> ReferenceTileFigures(const cv::Mat& image, const TileGrid& grid,
                                               FigureSet set = FigureSet::Classic);

#endif  // FOCUSRATE_MEASURES_H
