// Decoding an image file for rating, without ever throwing for a bad file.
#ifndef FOCUSRATE_IMAGE_INPUT_H
#define FOCUSRATE_IMAGE_INPUT_H

#include <string>

#include <opencv2/core.hpp>

/// Why an image was or was not rated. StatusText spells each for output rows.
enum class RateStatus {
  Ok,              ///< decoded (and rated)
  CannotDecode,    ///< missing, unreadable, unknown format, or refused by the decoder
  NotRegularFile,  ///< a directory, FIFO, device...: never opened
  TooLarge,        ///< more pixels than allowed, refused before decoding
  OutsideRegion,   ///< decoded, but the region given with --roi misses it entirely
};

/// "ok", "cannot decode", "not a regular file", "too large", "region outside image".
const char* StatusText(RateStatus status);

struct DecodedImage {
  cv::Mat image;  ///< CV_8UC3, blue-green-red; empty unless status is Ok
  RateStatus status;
};

/// Decodes path in colour mode (any depth and channel count arrives as three
/// 8-bit channels). Only regular files are opened. A decoder that throws for
/// the file (a header claiming too many pixels) gives CannotDecode; other
/// failures (out of memory) propagate.
DecodedImage DecodeImage(const std::string& path);

#endif  // FOCUSRATE_IMAGE_INPUT_H
