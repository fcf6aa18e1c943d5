// Exact integer sums over the smoothed grey image, from which every figure
// is finished. Sums of tiles add up: a block of tiles is rated by adding
// their sums and finishing the total.
#ifndef FOCUSRATE_FOCUS_SUMS_H
#define FOCUSRATE_FOCUS_SUMS_H

#include <cstdint>

#include "focus_figures.h"

/// Each figure is a short double formula of these, so any summation order
/// gives the reference's bits.
struct FocusSums {
  int64_t laplace = 0;      ///< sum of |4 Lx| + |4 Ly|
  int64_t lap = 0;          ///< sum of the 4-neighbour Laplacian
  int64_t lapSquares = 0;   ///< sum of its squares
  int64_t gradient = 0;     ///< sum of Gx^2 + Gy^2 (3x3 Sobel)
  int64_t grey = 0;         ///< sum of grey values
  int64_t greySquares = 0;  ///< sum of their squares
  int64_t pixels = 0;
  // The extended sums, taken only for FigureSet::All (engine.h):
  int64_t noiseSquares = 0;    ///< sum of (M * g)^2, M the noise mask (noise_model.h)
  int64_t brenner = 0;         ///< sum of the squared differences two pixels apart
  int64_t sml = 0;             ///< sum of the modified Laplacian where past the threshold
  int64_t vollath = 0;         ///< twice Vollath's F4 terms
  int64_t haar = 0;            ///< four times the Haar detail energy
  int64_t extendedPixels = 0;  ///< pixels whose extended sums were taken
  int64_t colourPixels = 0;    ///< those of them from a colour image

  FocusSums& operator+=(const FocusSums& o);
};

/// The figures of the pixels the sums cover, with the double arithmetic of
/// OpenCV's mean and meanStdDev. Every figure is NaN when pixels == 0, and
/// those from the extended sums unless every pixel's were taken.
///   FocusSums block = tiled.tiles[0];
///   block += tiled.tiles[1];
///   const FocusFigures f = FiguresFromSums(block);
FocusFigures FiguresFromSums(const FocusSums& sums);

#endif  // FOCUSRATE_FOCUS_SUMS_H
