#include "face_finder.h"

#include <algorithm>
#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>
#include <vector>

namespace {

// Faces a tenth of the frame wide are found on a 640-pixel copy in a few
// milliseconds; the full size would cost ~20x more for no better choice.
constexpr int kDetectLongSide = 640;
constexpr int kMinFacePixels = 20;

// Loaded on first use by each thread: a classifier is not safe to share.
cv::CascadeClassifier* Cascade() {
  thread_local cv::CascadeClassifier cascade;
  thread_local bool tried = false;
  if (!tried) {
    tried = true;
    cascade.load(FOCUSRATE_FACE_CASCADE);
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
