// Renders the bundled sample images: one synthetic scene (gradient sky,
// shapes, lettering, fine stripes), saved sharp and defocused, so a demo run
// shows how the figures separate a sharp picture from a blurred one.
//   make_samples OUTDIR   writes scene_sharp.png, scene_blurred.png,
//                         scene_sharp.jpg and scene_grey.png
#include <cstdio>
#include <string>
#include <vector>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace {

constexpr int kWidth = 480;
constexpr int kHeight = 320;
// The defocus of the blurred variant, in pixels (Gaussian sigma).
constexpr double kDefocusSigma = 2.5;

void PaintSky(cv::Mat& scene) {
  for (int y = 0; y < scene.rows; ++y) {
    const double t = static_cast<double>(y) / (scene.rows - 1);
    const cv::Scalar colour(230 - 80 * t, 190 - 40 * t, 120 + 60 * t);  // blue-green-red
    cv::line(scene, cv::Point(0, y), cv::Point(scene.cols - 1, y), colour);
  }
}

void PaintShapes(cv::Mat& scene) {
  cv::circle(scene, cv::Point(90, 90), 55, cv::Scalar(40, 170, 240), cv::FILLED, cv::LINE_AA);
  cv::circle(scene, cv::Point(90, 90), 55, cv::Scalar(20, 60, 90), 3, cv::LINE_AA);
  cv::rectangle(scene, cv::Rect(200, 40, 110, 80), cv::Scalar(70, 120, 40), cv::FILLED);
  cv::rectangle(scene, cv::Rect(215, 55, 80, 50), cv::Scalar(240, 240, 240), 2);
  const std::vector<cv::Point> roof = {{340, 130}, {400, 50}, {460, 130}};
  cv::fillConvexPoly(scene, roof, cv::Scalar(60, 60, 200), cv::LINE_AA);
  for (int i = 0; i < 12; ++i) {
    cv::line(scene, cv::Point(20 + 38 * i, 300), cv::Point(40 + 38 * i, 230),
             cv::Scalar(30 + 15 * i, 90, 200 - 12 * i), 2, cv::LINE_AA);
  }
}

void PaintLettering(cv::Mat& scene) {
  const cv::Scalar ink(25, 25, 25);
  cv::putText(scene, "FOCUS 1:2.8", cv::Point(190, 175), cv::FONT_HERSHEY_SIMPLEX, 1.1, ink, 2,
              cv::LINE_AA);
  cv::putText(scene, "the quick brown fox jumps over the lazy dog", cv::Point(140, 205),
              cv::FONT_HERSHEY_PLAIN, 0.8, ink, 1, cv::LINE_AA);
}

// Fine black-and-white stripes: the detail a defocus removes first.
void PaintStripes(cv::Mat& scene) {
  const cv::Rect patch(30, 165, 100, 50);
  for (int x = patch.x; x < patch.x + patch.width; x += 4) {
    cv::rectangle(scene, cv::Rect(x, patch.y, 2, patch.height), cv::Scalar(15, 15, 15),
                  cv::FILLED);
  }
}

bool Save(const std::string& path, const cv::Mat& image, const std::vector<int>& params = {}) {
  if (cv::imwrite(path, image, params)) return true;
  std::fprintf(stderr, "make_samples: cannot write %s\n", path.c_str());
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_samples OUTDIR\n");
    return 2;
  }
  const std::string dir = argv[1];
  cv::Mat sharp(kHeight, kWidth, CV_8UC3);
  PaintSky(sharp);
  PaintShapes(sharp);
  PaintLettering(sharp);
  PaintStripes(sharp);
  cv::Mat blurred;
  cv::GaussianBlur(sharp, blurred, cv::Size(0, 0), kDefocusSigma);
  cv::Mat grey;
  cv::cvtColor(sharp, grey, cv::COLOR_BGR2GRAY);
  const bool ok = Save(dir + "/scene_sharp.png", sharp) &&
                  Save(dir + "/scene_blurred.png", blurred) &&
                  Save(dir + "/scene_sharp.jpg", sharp, {cv::IMWRITE_JPEG_QUALITY, 85}) &&
                  Save(dir + "/scene_grey.png", grey);
  return ok ? 0 : 1;
}
