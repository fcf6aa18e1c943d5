// Focus peaking: the photo in grey with its sharpest pixels painted in one
// bright colour, the way a camera's viewfinder shows them.
#ifndef FOCUSRATE_FOCUS_PEAKING_H
#define FOCUSRATE_FOCUS_PEAKING_H

#include <opencv2/core.hpp>

namespace focusrate {

/// The highest local Laplacian energy of photo (CV_8UC3) reduced to
/// maxSize along its long side (0: as it is): what PeakingPicture calls a
/// frame's best, kept alone so frames can share one.
double PeakEnergy(const cv::Mat& photo, int maxSize);

/// photo reduced to maxSize (0: as it is) in grey, with the pixels whose
/// local energy is near best (the frame's own highest when best <= 0)
/// painted colour. Local energy: |4-neighbour Laplacian| of the grey smoothed
/// by a 3x3 Gaussian, averaged over 5x5.
cv::Mat PeakingPicture(const cv::Mat& photo, int maxSize, double best, cv::Vec3b colour);

}  // namespace focusrate

#endif  // FOCUSRATE_FOCUS_PEAKING_H
