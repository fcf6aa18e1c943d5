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
  width_ = width;
  // Stored column x goes to the copy's column x * size.width / width: each
  // copy column gathers a run of stored columns.
  firstColumn_.assign(static_cast<size_t>(size.width) + 1, width);
  for (int x = width - 1; x >= 0; --x)
    firstColumn_[static_cast<size_t>(static_cast<long long>(x) * size.width / width)] = x;
  perColumn_.resize(static_cast<size_t>(size.width));
  for (int x = 0; x < size.width; ++x) perColumn_[x] = 1.0 / (firstColumn_[x + 1] - firstColumn_[x]);
  columnSums_.assign(static_cast<size_t>(width) * 3, 0);
  target_ = 0;
  rowsIn_ = 0;
}

void ReducingSink::RowDone(int y) {
  if (copy_.rows == height_ && copy_.cols == width_) {
    std::memcpy(copy_.ptr<uint8_t>(y), row_, static_cast<size_t>(width_) * 3);  // not reduced at all
    next_.RowDone(y);
    return;
  }
  const int target = static_cast<int>(static_cast<long long>(y) * copy_.rows / height_);
  if (target != target_) {
    FlushRow();
    target_ = target;
  }
  // Rows first, a plain loop the compiler vectorises: 32 bits hold the sum
  // of any run of rows one copy row gathers (fewer than 2^24 rows).
  std::uint32_t* sum = columnSums_.data();
  for (size_t i = 0; i < columnSums_.size(); ++i) sum[i] += row_[i];
  ++rowsIn_;
  next_.RowDone(y);
}

void ReducingSink::FlushRow() {
  if (rowsIn_ == 0) return;
  uint8_t* out = copy_.ptr<uint8_t>(target_);
  // Multiplications, not divisions: this runs for every pixel of the copy,
  // and is exact enough for a thumbnail.
  const double perRow = 1.0 / rowsIn_;
  for (int x = 0; x < copy_.cols; ++x) {
    const int x0 = firstColumn_[x], x1 = firstColumn_[x + 1];
    const std::uint32_t* sum = columnSums_.data() + static_cast<size_t>(x0) * 3;
    std::uint64_t blue = 0, green = 0, red = 0;
    for (int column = x0; column < x1; ++column, sum += 3) {
      blue += sum[0];
      green += sum[1];
      red += sum[2];
    }
    const double share = perColumn_[x] * perRow;
    out[x * 3] = static_cast<uint8_t>(static_cast<double>(blue) * share + 0.5);
    out[x * 3 + 1] = static_cast<uint8_t>(static_cast<double>(green) * share + 0.5);
    out[x * 3 + 2] = static_cast<uint8_t>(static_cast<double>(red) * share + 0.5);
  }
  std::fill(columnSums_.begin(), columnSums_.end(), 0);
  rowsIn_ = 0;
}

cv::Mat ReducingSink::Finish(int orientation) {
  FlushRow();
  ApplyOrientation(orientation, copy_);
  return copy_;
}

}  // namespace focusrate
