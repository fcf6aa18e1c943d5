// The salient part of a photo for --subject auto when it shows no face: the
// blob whose colour stands out most from the photo's mean colour, on a small
// copy where defocus leaves no trace, weighted towards the middle.
#ifndef FOCUSRATE_SALIENT_REGION_H
#define FOCUSRATE_SALIENT_REGION_H

#include <opencv2/core.hpp>

namespace focusrate {

/// The box around the blob of image (CV_8UC3) that stands out most by its
/// colour, in its pixels; false when none stands out from the rest or it
/// covers much of the frame.
bool FindSalientRegion(const cv::Mat& image, cv::Rect& region);

}  // namespace focusrate

#endif  // FOCUSRATE_SALIENT_REGION_H
