// face_search PHOTOS: how often each face-search setting finds a face pasted
// into real photos, how often it finds one in photos without any, and what
// it costs per 1.7 MP frame beside a plain run (JPEG decode + FastFigures),
// on this thread alone (scripts/bench_faces.sh). PHOTOS: the folder
// scripts/fetch_photos.sh unpacks to.
//
// Each face below was boxed by eye (brows to chin, cheek to cheek) in its
// photo; its crop, with some head and shoulders around it, is pasted with a
// soft edge into background photos at widths from 1/30 to 1/4 of the frame,
// at a seeded place. The truth is where it was pasted. The backgrounds alone
// (landscape and portrait crops) count false finds.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <numeric>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>
#include <opencv2/objdetect.hpp>
#include <string>
#include <vector>

#include "engine.h"
#include "face_finder.h"
#include "image_input.h"

using namespace focusrate;

namespace {

struct AnnotatedFace {
  const char* path;
  cv::Rect box;
};

constexpr char kSolvay[] =
    "usr/share/visp-images-data/ViSP-images/Solvay/Solvay_conference_1927_Version2_2126x1463.jpg";
const AnnotatedFace kFaces[] = {
    {"usr/lib/python3/dist-packages/skimage/data/astronaut.png", {180, 80, 85, 88}},
    {"usr/share/doc/opencv-doc/examples/data/messi5.jpg", {213, 92, 44, 46}},
    {kSolvay, {246, 787, 56, 58}},   {kSolvay, {455, 797, 65, 65}},
    {kSolvay, {672, 786, 54, 58}},   {kSolvay, {903, 785, 70, 70}},
    {kSolvay, {1160, 772, 60, 64}},  {kSolvay, {1357, 765, 68, 70}},
    {kSolvay, {1510, 757, 70, 70}},  {kSolvay, {1740, 777, 62, 62}},
    {kSolvay, {1900, 790, 70, 70}},  {kSolvay, {1213, 693, 62, 62}},
    {kSolvay, {1410, 708, 60, 60}},  {kSolvay, {665, 618, 65, 66}},
    {kSolvay, {563, 583, 50, 54}},
};

// Photos without a human face (one has two dogs looking at the camera).
const char* const kBackgrounds[] = {
    "usr/share/backgrounds/Bridge_by_Sander_Klootwijk.jpg",
    "usr/share/backgrounds/Dragonfly_by_Bolly.jpg",
    "usr/share/backgrounds/Picture_0B_by_freespace.jpg",
    "usr/share/backgrounds/aitzgorri_by_Aitzol_Berasategi.jpg",
    "usr/share/backgrounds/friends_by_Aitzol_Berasategi.jpg",
    "usr/share/backgrounds/life_by_Aitzol_Berasategi.jpg",
    "usr/share/backgrounds/picosdeeuropa_by_Aitzol_Berasategi.jpg",
    "usr/share/backgrounds/seeding_by_Clements_Engelhardt.jpg",
    "usr/share/backgrounds/sunset_by_Aitzol_Berasategi.jpg",
    "usr/share/backgrounds/mate/nature/Aqua.jpg",
    "usr/share/backgrounds/mate/nature/Blinds.jpg",
    "usr/share/backgrounds/mate/nature/Dune.jpg",
    "usr/share/backgrounds/mate/nature/Garden.jpg",
    "usr/share/backgrounds/mate/nature/LadyBird.jpg",
    "usr/share/backgrounds/mate/nature/Storm.jpg",
    "usr/share/backgrounds/mate/nature/Wood.jpg",
    "usr/share/wallpapers/BytheWater/contents/images/2560x1600.jpg",
    "usr/share/wallpapers/ColdRipple/contents/images/2560x1600.jpg",
    "usr/share/wallpapers/ColorfulCups/contents/images/2560x1600.jpg",
    "usr/share/wallpapers/EveningGlow/contents/images/2560x1600.jpg",
    "usr/share/wallpapers/FallenLeaf/contents/images/2560x1600.jpg",
    "usr/share/wallpapers/Kite/contents/images/2560x1600.jpg",
    "usr/share/wallpapers/OneStandsOut/contents/images/2560x1600.jpg",
    "usr/share/wallpapers/Path/contents/images/2560x1600.jpg",
};

// Face widths as shares of the frame's width.
const double kFaceShares[] = {1.0 / 30, 1.0 / 20, 1.0 / 12, 1.0 / 7, 1.0 / 4};
constexpr int kSizes = sizeof(kFaceShares) / sizeof(kFaceShares[0]);
constexpr int kPlaces = 2;  // frames per face and size
const cv::Size kLandscape(1600, 1067);  // 1.7 MP

struct Frame {
  cv::Mat image;
  cv::Rect truth;  // empty: no face
  int size = -1;   // index into kFaceShares
};

// photo scaled to cover size, centre crop.
cv::Mat Covering(const cv::Mat& photo, cv::Size size) {
  const double f = std::max(static_cast<double>(size.width) / photo.cols,
                            static_cast<double>(size.height) / photo.rows);
  cv::Mat scaled;
  cv::resize(photo, scaled, cv::Size(), f, f, cv::INTER_AREA);
  return scaled(cv::Rect((scaled.cols - size.width) / 2, (scaled.rows - size.height) / 2,
                         size.width, size.height)).clone();
}

// Pastes face (with a margin of 40% of its width, fading out) into frame so
// that the face is width pixels wide; returns where the face went.
cv::Rect Paste(const cv::Mat& photo, const cv::Rect& box, int width, cv::Mat& frame, cv::RNG& rng) {
  const int margin = box.width * 2 / 5;
  const cv::Rect crop = (box + cv::Point(-margin, -margin) + cv::Size(2 * margin, 2 * margin)) &
                        cv::Rect(0, 0, photo.cols, photo.rows);
  const double f = static_cast<double>(width) / box.width;
  cv::Mat piece;
  cv::resize(photo(crop), piece, cv::Size(), f, f, f < 1 ? cv::INTER_AREA : cv::INTER_CUBIC);
  piece.convertTo(piece, CV_32FC3);
  const int fade = std::max(1, cvRound(margin * f / 2));
  cv::Mat alpha(piece.size(), CV_32F, cv::Scalar(0));
  alpha(cv::Rect(fade, fade, std::max(1, piece.cols - 2 * fade), std::max(1, piece.rows - 2 * fade)))
      .setTo(1);
  cv::GaussianBlur(alpha, alpha, cv::Size(), fade / 2.0 + 0.5);
  cv::cvtColor(alpha, alpha, cv::COLOR_GRAY2BGR);
  const cv::Point at(rng.uniform(0, frame.cols - piece.cols + 1),
                     rng.uniform(0, frame.rows - piece.rows + 1));
  cv::Mat place = frame(cv::Rect(at, piece.size())), under;
  place.convertTo(under, CV_32FC3);
  cv::Mat blended = piece.mul(alpha) + under.mul(cv::Scalar::all(1) - alpha);
  blended.convertTo(place, CV_8UC3);
  return cv::Rect(at.x + cvRound((box.x - crop.x) * f), at.y + cvRound((box.y - crop.y) * f),
                  width, cvRound(box.height * f));
}

std::vector<Frame> MakeFrames(const std::string& root) {
  std::vector<cv::Mat> backgrounds;
  std::vector<Frame> frames;
  for (const char* path : kBackgrounds) {
    const cv::Mat photo = cv::imread(root + "/" + path, cv::IMREAD_COLOR);
    if (photo.empty()) continue;
    for (cv::Size size : {kLandscape, cv::Size(kLandscape.height, kLandscape.width)}) {
      frames.push_back({Covering(photo, size), cv::Rect(), -1});
      backgrounds.push_back(frames.back().image);
    }
  }
  if (backgrounds.empty()) return frames;
  int n = 0;
  for (const AnnotatedFace& face : kFaces) {
    const cv::Mat photo = cv::imread(root + "/" + face.path, cv::IMREAD_COLOR);
    for (int s = 0; !photo.empty() && s < kSizes * kPlaces; ++s, ++n) {
      Frame frame{backgrounds[(n * 7) % backgrounds.size()].clone(), cv::Rect(), s % kSizes};
      cv::RNG rng(1000 + n);
      frame.truth = Paste(photo, face.box, cvRound(frame.image.cols * kFaceShares[frame.size]),
                          frame.image, rng);
      frames.push_back(frame);
    }
  }
  return frames;
}

double Iou(const cv::Rect& a, const cv::Rect& b) {
  const double common = (a & b).area();
  return common / (a.area() + b.area() - common);
}

double MedianMs(std::vector<double> ms) {
  if (ms.empty()) return 0;
  std::nth_element(ms.begin(), ms.begin() + ms.size() / 2, ms.end());
  return ms[ms.size() / 2];
}

double MeanMs(const std::vector<double>& ms) {
  return ms.empty() ? 0 : std::accumulate(ms.begin(), ms.end(), 0.0) / ms.size();
}

// This thread's processor time: others sharing the cores do not count.
double Ms(const std::function<void()>& work) {
  const auto now = [] {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
  };
  const double t0 = now();
  work();
  return now() - t0;
}

double Percent(int part, int whole) { return whole ? 100.0 * part / whole : 0; }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: face_search PHOTOS\n");
    return 2;
  }
  cv::setNumThreads(1);  // focusrank's workers already fill the cores
  const std::vector<Frame> frames = MakeFrames(argv[1]);
  const long faces = std::count_if(frames.begin(), frames.end(),
                                   [](const Frame& f) { return f.size >= 0; });
  if (faces == 0) {
    std::fprintf(stderr, "face_search: no photos under %s\n", argv[1]);
    return 1;
  }
  std::printf("%ld frames with a face (%d sizes), %ld without\n", faces, kSizes,
              static_cast<long>(frames.size()) - faces);

  // The plain run: the frame as a JPEG decoded, then rated.
  const std::string jpeg =
      (std::filesystem::temp_directory_path() / ("face_search_" + std::to_string(::getpid()) + ".jpg"))
          .string();
  std::vector<double> plain;
  for (const Frame& frame : frames) {
    cv::imwrite(jpeg, frame.image, {cv::IMWRITE_JPEG_QUALITY, 90});
    plain.push_back(Ms([&] { FastFigures(DecodeImage(jpeg).image, 1); }));
  }
  std::filesystem::remove(jpeg);
  const double plain_ms = MedianMs(plain);
  std::printf("ms: this thread's processor time per frame\n"
              "plain run (JPEG decode + FastFigures): median %.2f ms, mean %.2f ms\n\n",
              plain_ms, MeanMs(plain));

  const std::string haar = FindCascadeFile("haarcascades/haarcascade_frontalface_default.xml");
  const std::string lbp = FindCascadeFile("lbpcascades/lbpcascade_frontalface.xml");
  const std::string improved = FindCascadeFile("lbpcascades/lbpcascade_frontalface_improved.xml");
  for (const std::string& path : {haar, lbp, improved}) {
    std::vector<double> load;
    for (int i = 0; i < 5; ++i) load.push_back(Ms([&] { cv::CascadeClassifier c(path); }));
    std::printf("loading %s: %.2f ms\n", path.c_str(), MedianMs(load));
  }

  // cascade, long side of the copy, scale step, min neighbours
  struct Row {
    const char* name;
    FaceSearch search;
  };
  const Row rows[] = {
      {"haar 640 1.1 n5 (before)", {haar, 640, 1.1, 5}},  // its copy was one area resize
      {"haar 640 1.2 n3", {haar, 640, 1.2, 3}},
      {"haar 480 1.2 n3", {haar, 480, 1.2, 3}},
      {"lbp 640 1.1 n3", {lbp, 640, 1.1, 3}},
      {"lbp 640 1.15 n3", {lbp, 640, 1.15, 3}},
      {"lbp 640 1.2 n3", {lbp, 640, 1.2, 3}},
      {"lbp 640 1.3 n3", {lbp, 640, 1.3, 3}},
      {"lbp 560 1.15 n3", {lbp, 560, 1.15, 3}},
      {"lbp 480 1.2 n3", {lbp, 480, 1.2, 3}},
      {"lbp 400 1.2 n3", {lbp, 400, 1.2, 3}},
      {"lbp 320 1.2 n3", {lbp, 320, 1.2, 3}},
      {"lbp 320 1.2 n2", {lbp, 320, 1.2, 2}},
      {"improved 640 1.1 n5", {improved, 640, 1.1, 5}},
      {"improved 480 1.2 n3", {improved, 480, 1.2, 3}},
      {"improved 320 1.2 n3", {improved, 320, 1.2, 3}},
      {"--subject faces now", DefaultFaceSearch()},
  };
  std::printf("\n%-26s %6s", "setting", "found");
  for (double share : kFaceShares) std::printf("  1/%-3.0f", 1 / share);
  std::printf(" %6s %7s %7s %7s\n", "false", "median", "x plain", "mean");
  for (const Row& row : rows) {
    cv::Rect face;
    FindLargestFace(frames.front().image, face, row.search);  // loads the cascade
    int found = 0, wrong = 0, by_size[kSizes] = {}, of_size[kSizes] = {};
    std::vector<double> ms;
    for (const Frame& frame : frames) {
      bool hit = false;
      ms.push_back(Ms([&] { hit = FindLargestFace(frame.image, face, row.search); }));
      if (frame.size < 0) {
        wrong += hit;
        continue;
      }
      const bool right = hit && Iou(face, frame.truth) >= 0.3;
      found += right;
      by_size[frame.size] += right;
      ++of_size[frame.size];
    }
    std::printf("%-26s %5.1f%%", row.name, Percent(found, faces));
    for (int s = 0; s < kSizes; ++s) std::printf(" %5.0f%%", Percent(by_size[s], of_size[s]));
    const double median = MedianMs(ms);
    std::printf(" %5.1f%% %7.2f %6.2fx %7.2f\n",
                Percent(wrong, static_cast<int>(frames.size() - faces)), median,
                median / plain_ms, MeanMs(ms));
  }
}
