// White noise of variance v after a filter K has variance v |K|^2 (sum of
// squared weights). With G = [1 2 1]' [1 2 1] / 16 and d = [1 -2 1]:
//   M * G = (d * [1 2 1] / 4) in x times the same in y = [1 0 -2 0 1] / 4 in
//   each, so |M * G|^2 = (6 / 16)^2 = 9 / 64;
//   L * G = a (x) b + b (x) a with a = [0 1 2 1 0] / 4, b = [1 0 -2 0 1] / 4,
//   so |L * G|^2 = 2 |a|^2 |b|^2 + 2 (a . b)^2 = 2 (6/16)^2 + 2 (1/4)^2 = 13 / 32.
// Rounding adds white noise of variance r after G: 1/12 for the grey value,
// plus the channels' 1/12 each through the grey weights (sum of their
// squares 0.44697) for a colour image. Alone it gives noiseSquares = 36 r
// (|M|^2 = 36) and the Laplacian 20 r (|L|^2 = 20).
// The mean of squares, not of absolute values as Immerkaer has it: noise
// that varies over the frame (clipped highlights, shadows) adds the mean of
// its variances to the Laplacian, which only the squares estimate.
#include "noise_model.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kNoiseThroughM = 9.0 / 64;   // |M * G|^2
constexpr double kNoiseThroughL = 13.0 / 32;  // |L * G|^2

double Rounding(bool colour) { return colour ? (1 + 0.44697) / 12 : 1.0 / 12; }

}  // namespace

double NoiseSigma(double noiseSquares, bool colour) {
  return std::sqrt(std::max(noiseSquares - 36 * Rounding(colour), 0.0) / kNoiseThroughM);
}

// Past 36 r the rounding is white and n's share and the rounding's 20 r both
// go. Below it a clean, smooth picture rounds in patterns that add less:
// the rounding's share fades linearly, to nothing at 36 r less what 20 r is
// worth in noiseSquares.
double DenoisedLaplaceVariance(double varianceLap, double noiseSquares, bool colour) {
  const double fadesOutAt = (36 - 20 * kNoiseThroughM / kNoiseThroughL) * Rounding(colour);
  const double noise = std::max(noiseSquares - fadesOutAt, 0.0) * (kNoiseThroughL / kNoiseThroughM);
  return std::max(varianceLap - noise, 0.0);
}
