#include "face_finder.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>
#include <vector>

namespace focusrate {

namespace {

// Chosen by bench/face_search.cpp (scripts/bench_faces.sh).
constexpr char kCascadeFile[] = "lbpcascades/lbpcascade_frontalface.xml";
constexpr int kDetectLongSide = 640;
constexpr double kScaleStep = 1.2;
constexpr int kMinNeighbours = 3;

// The cascade the environment names, else the one found when we were built,
// else the first in the data folders: the library may run on another
// machine than the one that built it.
std::string CascadePath() {
  if (const char* given = std::getenv("FOCUSRATE_FACE_CASCADE"); given && *given) return given;
  if (::access(FOCUSRATE_FACE_CASCADE, R_OK) == 0) return FOCUSRATE_FACE_CASCADE;
  return FindCascadeFile(kCascadeFile);
}

// Loaded on first use by each thread: detection keeps per-image state in the
// classifier, so one cannot serve two threads at once.
cv::CascadeClassifier* Cascade(const std::string& path) {
  thread_local std::map<std::string, cv::CascadeClassifier> loaded;
  const auto [it, added] = loaded.try_emplace(path);
  if (added && !path.empty()) it->second.load(path);
  return it->second.empty() ? nullptr : &it->second;
}

// grey reduced to longSide, equalised. Exact halvings by area averaging (an
// odd last row or column dropped), then bilinear for the last factor below
// two: for the detector as good as one area resize by any factor, which
// costs some 3 ms more on a 1.7 MP photo.
cv::Mat SearchCopy(const cv::Mat& grey, int longSide) {
  const double scale = std::min(1.0, static_cast<double>(longSide) / std::max(grey.cols, grey.rows));
  // A sliver (2000 x 1) would shrink to no rows at all: keep at least one.
  const cv::Size target(std::max(1, cvRound(grey.cols * scale)),
                        std::max(1, cvRound(grey.rows * scale)));
  cv::Mat copy = grey;
  while (copy.cols >= 2 * target.width && copy.rows >= 2 * target.height) {
    cv::Mat half;
    cv::resize(copy(cv::Rect(0, 0, copy.cols / 2 * 2, copy.rows / 2 * 2)), half,
               cv::Size(copy.cols / 2, copy.rows / 2), 0, 0, cv::INTER_AREA);
    copy = half;
  }
  cv::Mat small;
  cv::resize(copy, small, target, 0, 0, cv::INTER_LINEAR);
  cv::equalizeHist(small, small);
  return small;
}

}  // namespace

const FaceSearch& DefaultFaceSearch() {
  static const FaceSearch search{CascadePath(), kDetectLongSide, kScaleStep, kMinNeighbours};
  return search;
}

std::string FindCascadeFile(const std::string& name) {
  for (const char* dir : {"/usr/share/opencv4/", "/usr/local/share/opencv4/", "/usr/share/opencv/",
                          "/usr/local/share/opencv/"}) {
    const std::string path = dir + name;
    if (::access(path.c_str(), R_OK) == 0) return path;
  }
  return std::string();
}

bool FindLargestFace(const cv::Mat& image, cv::Rect& face, const FaceSearch& search) {
  cv::CascadeClassifier* cascade = Cascade(search.cascade);
  if (!cascade || image.empty()) return false;
  cv::Mat grey;
  cv::cvtColor(image, grey, cv::COLOR_BGR2GRAY);
  const cv::Mat small = SearchCopy(grey, search.longSide);
  std::vector<cv::Rect> faces;
  cascade->detectMultiScale(small, faces, search.scaleStep, search.minNeighbours);
  if (faces.empty()) return false;
  const cv::Rect largest =
      *std::max_element(faces.begin(), faces.end(),
                        [](const cv::Rect& a, const cv::Rect& b) { return a.area() < b.area(); });
  const double sx = static_cast<double>(image.cols) / small.cols;
  const double sy = static_cast<double>(image.rows) / small.rows;
  face = cv::Rect(cvRound(largest.x * sx), cvRound(largest.y * sy), cvRound(largest.width * sx),
                  cvRound(largest.height * sy)) &
         cv::Rect(0, 0, image.cols, image.rows);
  return !face.empty();
}

}  // namespace focusrate
