// The sharpness figures of one image (or tile), as the measures compute them.
#ifndef FOCUSRATE_FOCUS_FIGURES_H
#define FOCUSRATE_FOCUS_FIGURES_H

#include <limits>

/// Every figure is of the smoothed grey image. A figure not measured (an
/// empty tile, a default-made value) is NaN.
struct FocusFigures {
  static constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

  double laplace = kNone;      ///< mean of |Lx| + |Ly| (second differences)
  double varianceLap = kNone;  ///< population variance of the 4-neighbour Laplacian
  double tenengrad = kNone;    ///< mean squared Sobel gradient magnitude
  /// Grey-level variance over mean (NaN for a black image); this is also
  /// Groen's normalised variance.
  double grayLevel = kNone;
  /// varianceLap over the squared mean grey level: fair between exposures
  /// (NaN when the mean grey level is 0). Not written to result files.
  double varianceLapNorm = kNone;
  /// Standard deviation of white noise in the grey image before smoothing,
  /// as estimated from the image itself (0..255 scale; the README gives
  /// the model and its limits).
  double noise = kNone;
  /// varianceLap less what that noise and the rounding add to it, at least 0.
  double varianceLapDenoised = kNone;
  /// varianceLapDenoised over the squared mean grey level (NaN at mean 0).
  double varianceLapDenoisedNorm = kNone;
  /// Brenner's gradient, both directions: mean of (g(x+1,y) - g(x-1,y))^2 +
  /// (g(x,y+1) - g(x,y-1))^2, pixels two apart.
  double brenner = kNone;
  /// Nayar's sum-modified Laplacian: mean of |2g - left - right| +
  /// |2g - up - down| over the pixels where that is at least kSmlThreshold
  /// (0 elsewhere).
  double sumModifiedLaplace = kNone;
  /// Vollath's F4 in x and y: (sum g(x) g(x+1) - sum g(x) g(x+2)) per
  /// pixel, both directions added.
  double vollath = kNone;
  /// Detail energy of the undecimated one-level Haar wavelet: mean of
  /// LH^2 + HL^2 + HH^2 over the 2x2 block whose top-left is each pixel.
  double haarEnergy = kNone;
};

/// Which figures a pass computes. Classic: laplace, varianceLap, tenengrad,
/// grayLevel and varianceLapNorm, the rest left NaN. All: every figure, at
/// about 30% more time in the engine.
enum class FigureSet { Classic, All };

/// The sum-modified Laplacian's threshold on |2g - left - right| + |2g - up - down|.
constexpr int kSmlThreshold = 8;

#endif  // FOCUSRATE_FOCUS_FIGURES_H
