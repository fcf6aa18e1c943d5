#include "reduced_copy.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include <opencv2/imgproc.hpp>

#include "exif_orientation.h"

namespace focusrate {

cv::Size ReducedSize(cv::Size image, int longSide) {
  const double scale = std::min(1.0, static_cast<double>(longSide) / std::max(image.width, image.height));
  return {std::max(1, static_cast<int>(std::lround(image.width * scale))),
          std::max(1, static_cast<int>(std::lround(image.height * scale)))};
}

cv::Mat Reduced(const cv::Mat& image, int longSide) {
  const cv::Size size = ReducedSize(image.size(), longSide);
  if (size == image.size()) return image.clone();
  cv::Mat small;
  cv::resize(image, small, size, 0, 0, cv::INTER_AREA);
  return small;
}

void ReducingSink::Begin(int width, int height) {
  next_.Begin(width, height);
  const cv::Size size = ReducedSize({width, height}, longSide_);
  copy_.create(size, CV_8UC3);  // every row is written: rows reach a sink to the last
  height_ = height;
  column_.resize(static_cast<size_t>(width));
  width_.assign(static_cast<size_t>(size.width), 0);
  for (int x = 0; x < width; ++x) {
    column_[x] = static_cast<int>(static_cast<long long>(x) * size.width / width);
    ++width_[column_[x]];
  }
  sums_.assign(static_cast<size_t>(size.width) * 3, 0);
  target_ = 0;
  rowsIn_ = 0;
}

void ReducingSink::RowDone(int y) {
  if (copy_.rows == height_ && static_cast<size_t>(copy_.cols) == column_.size()) {
    std::memcpy(copy_.ptr<uint8_t>(y), row_, column_.size() * 3);  // not reduced at all
    next_.RowDone(y);
    return;
  }
  const int target = static_cast<int>(static_cast<long long>(y) * copy_.rows / height_);
  if (target != target_) {
    FlushRow();
    target_ = target;
  }
  const uint8_t* pixel = row_;
  for (const int column : column_) {
    std::uint64_t* sum = &sums_[static_cast<size_t>(column) * 3];
    sum[0] += pixel[0];
    sum[1] += pixel[1];
    sum[2] += pixel[2];
    pixel += 3;
  }
  ++rowsIn_;
  next_.RowDone(y);
}

void ReducingSink::FlushRow() {
  if (rowsIn_ == 0) return;
  uint8_t* out = copy_.ptr<uint8_t>(target_);
  for (size_t x = 0; x < width_.size(); ++x) {
    // A multiplication, not three divisions: this runs for every pixel of
    // the copy, and is exact enough for a thumbnail.
    const double share = 1.0 / (static_cast<double>(width_[x]) * rowsIn_);
    for (size_t c = 0; c < 3; ++c)
      out[x * 3 + c] = static_cast<uint8_t>(static_cast<double>(sums_[x * 3 + c]) * share + 0.5);
  }
  std::fill(sums_.begin(), sums_.end(), 0);
  rowsIn_ = 0;
}

cv::Mat ReducingSink::Finish(int orientation) {
  FlushRow();
  ApplyOrientation(orientation, copy_);
  return copy_;
}

}  // namespace focusrate
