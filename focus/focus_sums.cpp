// Turns exact sums into the figures with the same double operations, in the
// same order, as OpenCV's mean and meanStdDev.
#include "focus_sums.h"

#include <algorithm>
#include <cmath>

#include "noise_model.h"

FocusSums& FocusSums::operator+=(const FocusSums& o) {
  laplace += o.laplace;
  lap += o.lap;
  lapSquares += o.lapSquares;
  gradient += o.gradient;
  grey += o.grey;
  greySquares += o.greySquares;
  pixels += o.pixels;
  noiseSquares += o.noiseSquares;
  brenner += o.brenner;
  sml += o.sml;
  vollath += o.vollath;
  haar += o.haar;
  extendedPixels += o.extendedPixels;
  colourPixels += o.colourPixels;
  return *this;
}

namespace {

// meanStdDev's deviation, squared again by the measure: keeping the square
// root and the re-squaring reproduces the reference's last bit.
double Variance(double mean, double squaresSum, double scale) {
#ifdef __aarch64__
  // OpenCV's arm64 build contracts this into one fused multiply-add (one
  // rounding); x86-64 builds round the product first.
  const double spread = std::fma(squaresSum, scale, -(mean * mean));
#else
  const double spread = squaresSum * scale - mean * mean;
#endif
  const double sd = std::sqrt(std::max(spread, 0.0));
  return sd * sd;
}

// A black tile may still see a Laplacian from its neighbours: NaN, not infinity.
double OverSquaredMean(double figure, double greyMean) {
  return greyMean == 0 ? FocusFigures::kNone : figure / (greyMean * greyMean);
}

}  // namespace

FocusFigures FiguresFromSums(const FocusSums& sums) {
  if (sums.pixels == 0) return FocusFigures();
  // Multiply by the reciprocal as OpenCV does; dividing changes the last bit.
  const double scale = 1.0 / static_cast<double>(sums.pixels);
  FocusFigures f;
  // Quarter-integer sums are exact in double, as the reference's |Lx| + |Ly| are.
  f.laplace = (static_cast<double>(sums.laplace) * 0.25) * scale;
  f.tenengrad = static_cast<double>(sums.gradient) * scale;
  const double lapMean = static_cast<double>(sums.lap) * scale;
  f.varianceLap = Variance(lapMean, static_cast<double>(sums.lapSquares), scale);
  const double greyMean = static_cast<double>(sums.grey) * scale;
  f.grayLevel = Variance(greyMean, static_cast<double>(sums.greySquares), scale) / greyMean;
  f.varianceLapNorm = OverSquaredMean(f.varianceLap, greyMean);
  if (sums.extendedPixels != sums.pixels) return f;
  const double noiseSquares = static_cast<double>(sums.noiseSquares) * scale;
  // A block of tiles is of one image, so all of it or none is colour.
  const bool colour = sums.colourPixels != 0;
  f.noise = NoiseSigma(noiseSquares, colour);
  f.varianceLapDenoised = DenoisedLaplaceVariance(f.varianceLap, noiseSquares, colour);
  f.varianceLapDenoisedNorm = OverSquaredMean(f.varianceLapDenoised, greyMean);
  f.brenner = static_cast<double>(sums.brenner) * scale;
  f.sumModifiedLaplace = static_cast<double>(sums.sml) * scale;
  // Half- and quarter-integer terms, as the reference's are: exact in double.
  f.vollath = (static_cast<double>(sums.vollath) * 0.5) * scale;
  f.haarEnergy = (static_cast<double>(sums.haar) * 0.25) * scale;
  return f;
}
