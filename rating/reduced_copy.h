// A small copy of an image made from the pixels the rating already decoded,
// so that a page of thumbnails costs no second decode.
#ifndef FOCUSRATE_REDUCED_COPY_H
#define FOCUSRATE_REDUCED_COPY_H

#include <cstdint>
#include <vector>

#include <opencv2/core.hpp>

#include "row_decoder.h"

namespace focusrate {

/// The size of image made small: long side at most longSide, never larger.
cv::Size ReducedSize(cv::Size image, int longSide);

/// image (CV_8UC3, upright) averaged down to ReducedSize as ReducingSink
/// averages streamed rows: several times quicker than OpenCV's area resize.
cv::Mat Reduced(const cv::Mat& image, int longSide);

/// Passes rows on to another sink and area-averages them on the way into a
/// copy of ReducedSize. Each row is read before the sink it goes to is told
/// it is done, since that sink may reuse the buffer.
class ReducingSink : public PixelSink {
 public:
  ReducingSink(PixelSink& next, int longSide) : next_(next), longSide_(longSide) {}

  void Begin(int width, int height) override;
  uint8_t* RowBuffer(int y) override { return row_ = next_.RowBuffer(y); }
  void RowDone(int y) override;

  /// The copy, turned by an EXIF orientation (rows arrive before the turn).
  cv::Mat Finish(int orientation);

 private:
  void FlushRow();
  template <typename Sum> void Spread(const Sum* sums);

  PixelSink& next_;
  int longSide_;
  int width_ = 0, height_ = 0;  ///< of the stored image
  uint8_t* row_ = nullptr;
  cv::Mat copy_;
  std::vector<int> firstColumn_;           ///< of each copy column's run; last: width
  std::vector<float> perColumn_;           ///< 1 / the length of each run
  // Stored rows gathered into the copy's row, per byte: one of the two.
  std::vector<std::uint16_t> narrow_;
  std::vector<std::uint32_t> wide_;
  int target_ = 0;                         ///< that row
  int rowsIn_ = 0;                         ///< stored rows gathered into it
};

}  // namespace focusrate

#endif  // FOCUSRATE_REDUCED_COPY_H
