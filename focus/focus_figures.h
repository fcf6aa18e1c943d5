// The sharpness figures of one image (or tile), as the measures compute them.
#ifndef FOCUSRATE_FOCUS_FIGURES_H
#define FOCUSRATE_FOCUS_FIGURES_H

struct FocusFigures {
  double laplace;      ///< mean of |Lx| + |Ly| (second differences)
  double varianceLap;  ///< population variance of the 4-neighbour Laplacian
  double tenengrad;    ///< mean squared Sobel gradient magnitude
  double grayLevel;    ///< grey-level variance over mean (NaN for a black image)
  /// varianceLap over the squared mean grey level: fair between exposures
  /// (NaN when the mean grey level is 0). Not written to result files.
  double varianceLapNorm;
};

#endif  // FOCUSRATE_FOCUS_FIGURES_H
