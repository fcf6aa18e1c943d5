#include "report_writer.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <random>

#include "jpeg_encoder.h"
#include "report_thumbs.h"

namespace focusrate {

namespace {

constexpr int kThumbQuality = 85;

// n when name is prefix, then n in decimal, then suffix.
std::optional<std::size_t> NumberBetween(const std::string& name, const std::string& prefix,
                                         const std::string& suffix) {
  const size_t digits = name.size() - std::min(name.size(), prefix.size() + suffix.size());
  if (digits == 0 || digits > 15 || name.compare(0, prefix.size(), prefix) != 0 ||
      name.compare(name.size() - suffix.size(), suffix.size(), suffix) != 0)
    return std::nullopt;
  const std::string number = name.substr(prefix.size(), digits);
  if (number.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
  return std::stoull(number);
}

std::string Nonce() {
  std::random_device random;
  char text[33];
  std::snprintf(text, sizeof text, "%08x%08x%08x%08x", random(), random(), random(), random());
  return text;
}

}  // namespace

bool ReportWriter::Failed(const std::string& name, int error) {
  std::lock_guard<std::mutex> lock(errorLock_);
  if (error_.empty()) error_ = dir_ + "/" + name + ": cannot write report (" + std::strerror(error) + ")";
  return false;
}

bool ReportWriter::Failing() const {
  std::lock_guard<std::mutex> lock(errorLock_);
  return !error_.empty();
}

std::string ReportWriter::Error() const {
  std::lock_guard<std::mutex> lock(errorLock_);
  return error_;
}

bool ReportWriter::Open(std::size_t images) {
  thumbs_.assign(images, cv::Size());
  const int error = folder_.Open(dir_);
  return error == 0 || Failed("thumbs", error);
}

void ReportWriter::Thumbnail(std::size_t index, RatedImage& rated) {
  if (rated.reduced.empty() || Failing()) return;
  const std::string name = ThumbName(index);
  std::string jpeg;
  try {
    // The fast DCT: a thumbnail cannot tell, and small images pay for each encode.
    jpeg = EncodeJpeg(rated.reduced, kThumbQuality, true);
  } catch (const std::exception&) {
    // libjpeg fails writing to memory only when it has none left
  }
  // A thumbnail an earlier report wrote from the same photo is kept: a run
  // again with other options rewrites nothing.
  const int error = jpeg.empty()                   ? ENOMEM
                    : folder_.Holds(name, jpeg, true) ? 0
                                                      : folder_.Write(name, jpeg, true);
  if (error != 0) {
    Failed("thumbs/" + name, error);
    return;
  }
  thumbs_[index] = rated.reduced.size();
  rated.reduced = cv::Mat();  // rows held for bursts or sorting need it no more
}

bool ReportWriter::Add(std::size_t index, const std::string& path, const RatedImage& rated) {
  if (Failing()) return false;
  frames_.push_back(ReportFrame{path, rated, thumbs_[index]});
  frames_.back().rated.reduced = cv::Mat();
  return true;
}

bool ReportWriter::Finish() {
  if (Failing()) return false;
  const std::vector<std::string> pages = ReportPages(frames_, layout_, region_, Nonce());
  for (size_t page = 0; page < pages.size(); ++page)
    if (const int error = folder_.Write(PageName(page), pages[page], false); error != 0)
      return Failed(PageName(page), error);
  return RemoveLeftovers(pages.size());
}

bool ReportWriter::RemoveLeftovers(std::size_t pages) {
  // Only names this program gives: a name that merely looks like one (more
  // leading zeros, say) is someone else's.
  const auto remove = [&](bool thumbs, const std::string& name) {
    const int error = folder_.Remove(name, thumbs);
    // Gone already, or a folder of that name: nothing of ours to remove.
    return error == 0 || error == ENOENT || error == EISDIR ||
           Failed(thumbs ? "thumbs/" + name : name, error);
  };
  std::vector<std::string> names;
  if (const int error = folder_.List(true, names); error != 0) return Failed("thumbs", error);
  for (const std::string& name : names) {
    const std::optional<std::size_t> index = NumberBetween(name, "", ".jpg");
    if (index && ThumbName(*index) == name && (*index >= thumbs_.size() || thumbs_[*index].empty()) &&
        !remove(true, name))
      return false;
  }
  if (const int error = folder_.List(false, names); error != 0) return Failed(".", error);
  for (const std::string& name : names) {
    const std::optional<std::size_t> number = NumberBetween(name, "page-", ".html");
    if (number && *number > pages && PageName(*number - 1) == name && !remove(false, name))
      return false;
  }
  return true;
}

}  // namespace focusrate
