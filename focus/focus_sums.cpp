// Turns exact sums into the figures with the same double operations, in the
// same order, as OpenCV's mean and meanStdDev.
#include "focus_sums.h"

#include <algorithm>
#include <cmath>
#include <limits>

FocusSums& FocusSums::operator+=(const FocusSums& o) {
  laplace += o.laplace;
  lap += o.lap;
  lapSquares += o.lapSquares;
  gradient += o.gradient;
  grey += o.grey;
  greySquares += o.greySquares;
  pixels += o.pixels;
  return *this;
}

namespace {

// meanStdDev's deviation, squared again by the measure: keeping the square
// root and the re-squaring reproduces the reference's last bit.
double Variance(double mean, double squares) {
  const double sd = std::sqrt(std::max(squares - mean * mean, 0.0));
  return sd * sd;
}

}  // namespace

FocusFigures FiguresFromSums(const FocusSums& sums) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  if (sums.pixels == 0) return {nan, nan, nan, nan, nan};
  // Multiply by the reciprocal as OpenCV does; dividing changes the last bit.
  const double scale = 1.0 / static_cast<double>(sums.pixels);
  FocusFigures f;
  // Quarter-integer sums are exact in double, as the reference's |Lx| + |Ly| are.
  f.laplace = (static_cast<double>(sums.laplace) * 0.25) * scale;
  f.tenengrad = static_cast<double>(sums.gradient) * scale;
  const double lapMean = static_cast<double>(sums.lap) * scale;
  f.varianceLap = Variance(lapMean, static_cast<double>(sums.lapSquares) * scale);
  const double greyMean = static_cast<double>(sums.grey) * scale;
  f.grayLevel = Variance(greyMean, static_cast<double>(sums.greySquares) * scale) / greyMean;
  // A black tile may still see a Laplacian from its neighbours: NaN, not infinity.
  f.varianceLapNorm = greyMean == 0 ? nan : f.varianceLap / (greyMean * greyMean);
  return f;
}
