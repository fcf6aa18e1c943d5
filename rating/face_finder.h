// Faces for --subject faces: OpenCV's cascade detector with the frontal-face
// cascade that Debian's opencv-data installs (or the file the environment
// variable FOCUSRATE_FACE_CASCADE names).
#ifndef FOCUSRATE_FACE_FINDER_H
#define FOCUSRATE_FACE_FINDER_H

#include <opencv2/core.hpp>
#include <string>

namespace focusrate {

/// How faces are looked for: the cascade file, run on a grey copy reduced
/// to longSide pixels on its long side, trying face sizes scaleStep apart;
/// minNeighbours overlapping hits make a face.
struct FaceSearch {
  std::string cascade;  ///< path; no face is found when it cannot be loaded
  int longSide;
  double scaleStep;
  int minNeighbours;
};

/// The search FindLargestFace(image, face) makes: the cascade from
/// FOCUSRATE_FACE_CASCADE, else the one found at build time, else
/// FindCascadeFile's.
const FaceSearch& DefaultFaceSearch();

/// name (e.g. "lbpcascades/x.xml") in the first of the folders OpenCV's
/// data packages install to that has it readable; empty when none does.
std::string FindCascadeFile(const std::string& name);

/// The largest frontal face in image (CV_8UC3), in its pixels; false when
/// there is none or the cascade file cannot be loaded. Each thread loads a
/// cascade once; detection runs on a reduced grey copy.
bool FindLargestFace(const cv::Mat& image, cv::Rect& face,
                     const FaceSearch& search = DefaultFaceSearch());

}  // namespace focusrate

#endif  // FOCUSRATE_FACE_FINDER_H
