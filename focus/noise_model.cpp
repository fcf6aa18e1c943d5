// White noise of variance v after a filter K has variance v |K|^2 (sum of
// squared weights), and for a normal variable E|X| = sqrt(2 / pi) sd. With
// G = [1 2 1]' [1 2 1] / 16 and d = [1 -2 1]:
//   M * G = (d * [1 2 1] / 4) in x times the same in y = [1 0 -2 0 1] / 4 in
//   each, so |M * G|^2 = (6 / 16)^2 = 9 / 64;
//   L * G = a (x) b + b (x) a with a = [0 1 2 1 0] / 4, b = [1 0 -2 0 1] / 4,
//   so |L * G|^2 = 2 |a|^2 |b|^2 + 2 (a . b)^2 = 2 (6/16)^2 + 2 (1/4)^2 = 13 / 32.
// Rounding g to integers adds white noise of variance 1/12 after G, which
// gives (pi / 2) noiseMean^2 = |M|^2 / 12 = 3 with no noise at all: that
// floor is taken off before the rest is read as sigma^2 |M * G|^2. (Colour
// images also round each channel; what that adds is read as noise.)
#include "noise_model.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kRoundingFloor = 3;         // |M|^2 / 12
constexpr double kNoiseThroughM = 9.0 / 64;  // |M * G|^2
constexpr double kNoiseThroughL = 13.0 / 32; // |L * G|^2

double NoiseVariance(double noiseMean) {
  return std::max(kHalfPi * noiseMean * noiseMean - kRoundingFloor, 0.0) / kNoiseThroughM;
}

}  // namespace

double NoiseSigma(double noiseMean) { return std::sqrt(NoiseVariance(noiseMean)); }

double DenoisedLaplaceVariance(double varianceLap, double noiseMean) {
  return std::max(varianceLap - NoiseVariance(noiseMean) * kNoiseThroughL, 0.0);
}
