#include "report_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <stdexcept>

#include "jpeg_encoder.h"
#include "report_thumbs.h"

namespace focusrate {

namespace {

constexpr int kThumbQuality = 85;

std::string Nonce() {
  std::random_device random;
  char text[33];
  std::snprintf(text, sizeof text, "%08x%08x%08x%08x", random(), random(), random(), random());
  return text;
}

}  // namespace

bool ReportWriter::Failed(const std::string& name, int error) {
  error_ = dir_ + "/" + name + ": cannot write report (" + std::strerror(error) + ")";
  return false;
}

bool ReportWriter::Open() {
  const int error = folder_.Open(dir_);
  return error == 0 || Failed("thumbs", error);
}

bool ReportWriter::Add(std::size_t index, const std::string& path, RatedImage& rated) {
  if (!error_.empty()) return false;
  ReportFrame frame{path, rated, {}};
  frame.rated.reduced = cv::Mat();
  if (!rated.reduced.empty()) {
    const std::string name = ThumbName(index);
    std::string jpeg;
    try {
      // The fast DCT: a thumbnail cannot tell, and small images pay for each encode.
      jpeg = EncodeJpeg(rated.reduced, kThumbQuality, true);
    } catch (const std::runtime_error&) {
      // libjpeg fails writing to memory only when it has none left
    }
    const int error = jpeg.empty() ? ENOMEM : folder_.Write(name, jpeg, true);
    if (error != 0) return Failed("thumbs/" + name, error);
    frame.thumb = rated.reduced.size();
    rated.reduced = cv::Mat();  // a sorted run keeps its rows to the end
  }
  frames_.push_back(std::move(frame));
  return true;
}

bool ReportWriter::Finish() {
  if (!error_.empty()) return false;
  const int error = folder_.Write("index.html", ReportPage(frames_, layout_, Nonce()), false);
  return error == 0 || Failed("index.html", error);
}

}  // namespace focusrate
