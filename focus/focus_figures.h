// The four sharpness figures of one image, as the measures compute them.
#ifndef FOCUSRATE_FOCUS_FIGURES_H
#define FOCUSRATE_FOCUS_FIGURES_H

struct FocusFigures {
  double laplace;      ///< mean of |Lx| + |Ly| (second differences)
  double varianceLap;  ///< population variance of the 4-neighbour Laplacian
  double tenengrad;    ///< mean squared Sobel gradient magnitude
  double grayLevel;    ///< grey-level variance over mean (NaN for a black image)
};

#endif  // FOCUSRATE_FOCUS_FIGURES_H
