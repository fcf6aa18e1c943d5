// make_raw_heif DIR: the inputs of scripts/bench_raw.sh, from seeded
// generators: photo.dng (a 24 MP Bayer mosaic with a 1500x1000 JPEG
// preview), preview.jpg (that preview's very bytes, to decode alone) and
// photo.png (12 MP, for heif-enc to make a HEIC of).
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include "dng_writer.h"
#include "test_images.h"

namespace {

// Soft shapes with fine noise on top: detail at every scale, like a photo.
cv::Mat Scene(int width, int height) {
  cv::Mat scene = MakeSoftBlobs(width / 8, height / 8, 1, 3), noise = MakeNoise(width, height, 2, 3);
  cv::resize(scene, scene, cv::Size(width, height), 0, 0, cv::INTER_CUBIC);
  cv::addWeighted(scene, 0.85, noise, 0.15, 0, scene);
  return scene;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_raw_heif DIR\n", stderr);
    return 2;
  }
  const std::string dir = std::string(argv[1]) + "/";
  DngSpec spec;
  spec.scene = Scene(6000, 4000);
  cv::resize(spec.scene, spec.preview, cv::Size(1500, 1000), 0, 0, cv::INTER_AREA);
  std::ofstream(dir + "photo.dng", std::ios::binary) << MakeDng(spec);
  // MakeDng stores cv::imencode's default JPEG of the preview.
  std::vector<uint8_t> jpeg;
  cv::imencode(".jpg", spec.preview, jpeg);
  std::ofstream(dir + "preview.jpg", std::ios::binary).write(reinterpret_cast<const char*>(jpeg.data()),
                                                            static_cast<std::streamsize>(jpeg.size()));
  return cv::imwrite(dir + "photo.png", Scene(4032, 3024)) ? 0 : 1;
}
