// Faces for --subject faces: OpenCV's cascade detector with the frontal-face
// cascade that Debian's opencv-data installs (or the file the environment
// variable FOCUSRATE_FACE_CASCADE names).
#ifndef FOCUSRATE_FACE_FINDER_H
#define FOCUSRATE_FACE_FINDER_H

#include <opencv2/core.hpp>

namespace focusrate {

/// The largest frontal face in image (CV_8UC3), in its pixels; false when
/// there is none or the cascade file cannot be loaded. Each thread loads the
/// cascade once; detection runs on a reduced grey copy.
bool FindLargestFace(const cv::Mat& image, cv::Rect& face);

}  // namespace focusrate

#endif  // FOCUSRATE_FACE_FINDER_H
