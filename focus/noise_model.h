// How much of the Laplacian's variance is noise: the one rule both the
// reference and the engine finish the noise-aware figures with.
#ifndef FOCUSRATE_NOISE_MODEL_H
#define FOCUSRATE_NOISE_MODEL_H

/// The smoothed grey image g is modelled as G * (s + n) rounded to integers:
/// G the 3x3 Gaussian, s the picture, n white noise of variance sigma^2.
/// The noise is read from noiseSquares, the mean of (M * g)^2 with
/// M = [1 -2 1; -2 4 -2; 1 -2 1] (Immerkaer's mask, which hardly sees
/// smooth picture content), over every pixel, borders mirrored. colour: g
/// was converted from a colour image, whose channels were rounded too.
/// sigma (0..255 scale), never negative.
double NoiseSigma(double noiseSquares, bool colour);

/// varianceLap less what n and the rounding add to it; at least 0.
double DenoisedLaplaceVariance(double varianceLap, double noiseSquares, bool colour);

#endif  // FOCUSRATE_NOISE_MODEL_H
