// The salient part of a photo for --subject auto when it shows no face: the
// spectral residual of a small grey copy (what its spectrum has beyond the
// smooth trend every natural image shares), summed over a window.
#ifndef FOCUSRATE_SALIENT_REGION_H
#define FOCUSRATE_SALIENT_REGION_H

#include <opencv2/core.hpp>

namespace focusrate {

/// The third of the width and height of image (CV_8UC3) that holds the most
/// saliency, in its pixels; false when no window stands out from the rest.
bool FindSalientRegion(const cv::Mat& image, cv::Rect& region);

}  // namespace focusrate

#endif  // FOCUSRATE_SALIENT_REGION_H
