#include "face_finder.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>
#include <string>
#include <vector>

namespace focusrate {

namespace {

// Faces a tenth of the frame wide are found on a 640-pixel copy in a few
// milliseconds; the full size would cost ~20x more for no better choice.
constexpr int kDetectLongSide = 640;
constexpr int kMinFacePixels = 20;

constexpr char kCascadeFile[] = "haarcascade_frontalface_default.xml";

// The cascade the environment names, else the one found when we were built,
// else the first in the folders OpenCV's data packages install to: the
// library may run on another machine than the one that built it.
std::string CascadePath() {
  if (const char* given = std::getenv("FOCUSRATE_FACE_CASCADE"); given && *given) return given;
  if (::access(FOCUSRATE_FACE_CASCADE, R_OK) == 0) return FOCUSRATE_FACE_CASCADE;
  for (const char* dir :
       {"/usr/share/opencv4/haarcascades/", "/usr/local/share/opencv4/haarcascades/",
        "/usr/share/opencv/haarcascades/", "/usr/local/share/opencv/haarcascades/"}) {
    const std::string path = std::string(dir) + kCascadeFile;
    if (::access(path.c_str(), R_OK) == 0) return path;
  }
  return std::string();
}

// Loaded on first use by each thread: a classifier is not safe to share.
cv::CascadeClassifier* Cascade() {
  thread_local cv::CascadeClassifier cascade;
  thread_local bool tried = false;
  if (!tried) {
    tried = true;
    static const std::string path = CascadePath();
    if (!path.empty()) cascade.load(path);
  }
  return cascade.empty() ? nullptr : &cascade;
}

}  // namespace

bool FindLargestFace(const cv::Mat& image, cv::Rect& face) {
  cv::CascadeClassifier* cascade = Cascade();
  if (!cascade || image.empty()) return false;
  const double scale =
      std::min(1.0, static_cast<double>(kDetectLongSide) / std::max(image.cols, image.rows));
  // A sliver (2000 x 1) would shrink to no rows at all: keep at least one.
  const cv::Size reduced(std::max(1, cvRound(image.cols * scale)),
                         std::max(1, cvRound(image.rows * scale)));
  const double sx = static_cast<double>(reduced.width) / image.cols;
  const double sy = static_cast<double>(reduced.height) / image.rows;
  cv::Mat grey, small;
  cv::cvtColor(image, grey, cv::COLOR_BGR2GRAY);
  cv::resize(grey, small, reduced, 0, 0, cv::INTER_AREA);
  cv::equalizeHist(small, small);
  std::vector<cv::Rect> faces;
  cascade->detectMultiScale(small, faces, 1.1, 5, 0, cv::Size(kMinFacePixels, kMinFacePixels));
  if (faces.empty()) return false;
  const cv::Rect largest =
      *std::max_element(faces.begin(), faces.end(),
                        [](const cv::Rect& a, const cv::Rect& b) { return a.area() < b.area(); });
  const cv::Rect full(cvRound(largest.x / sx), cvRound(largest.y / sy),
                      cvRound(largest.width / sx), cvRound(largest.height / sy));
  face = full & cv::Rect(0, 0, image.cols, image.rows);
  return !face.empty();
}

}  // namespace focusrate
