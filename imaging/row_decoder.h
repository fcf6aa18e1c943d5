// What the direct decoders share: where decoded rows go and what a decoder
// says about the file. Rows arrive in stored order (top row first, before
// any EXIF turn), three bytes a pixel, blue-green-red, as cv::imread's
// IMREAD_COLOR has them before it turns the image upright.
#ifndef FOCUSRATE_ROW_DECODER_H
#define FOCUSRATE_ROW_DECODER_H

#include <cstdint>

namespace focusrate {

class PixelSink {
 public:
  virtual ~PixelSink() = default;
  /// The stored size, once the header was read and found within limits.
  virtual void Begin(int width, int height) = 0;
  /// Where row y (3 * width bytes) is to be written; rows come in order.
  virtual uint8_t* RowBuffer(int y) = 0;
  /// Row y is written.
  virtual void RowDone(int y) = 0;
};

enum class DecodeVerdict {
  Decoded,  ///< every row reached the sink and the decoder finished
  Refused,  ///< cv::imread would return no image for this file
};

struct RowDecodeResult {
  DecodeVerdict verdict = DecodeVerdict::Refused;
  bool damaged = false;  ///< the decoder warned of corrupt or missing data
  int orientation = 1;   ///< EXIF orientation as cv::imread reads it (1: upright)
};

/// cv::imread's size limits for a decoded image (loadsave.cpp), with its
/// default pixel limit; callers hand files to cv::imread when the limit was
/// changed through OPENCV_IO_MAX_IMAGE_PIXELS.
inline bool WithinDecodeLimits(long long width, long long height) {
  constexpr long long kMaxSide = 1LL << 20, kMaxPixels = 1LL << 30;
  return width > 0 && height > 0 && width <= kMaxSide && height <= kMaxSide &&
         width * height <= kMaxPixels;
}

}  // namespace focusrate

#endif  // FOCUSRATE_ROW_DECODER_H
