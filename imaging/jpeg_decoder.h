// JPEG straight from libjpeg-turbo into a PixelSink.
#ifndef FOCUSRATE_JPEG_DECODER_H
#define FOCUSRATE_JPEG_DECODER_H

#include <cstdio>

#include "row_decoder.h"

namespace focusrate {

/// Decodes the JPEG in file (read from its current position) with the
/// library calls and settings cv::imread(IMREAD_COLOR) makes, so the rows
/// carry its pixels bit for bit; CMYK and YCCK files are converted as
/// OpenCV converts them. Damage that libjpeg warns of and decodes around
/// (a premature end, corrupt entropy data) sets damaged. Throws
/// std::bad_alloc when libjpeg runs out of memory. scale 2, 4 or 8 decodes
/// at 1/scale of the size through the DCT, the pixels djpeg -scale 1/scale
/// writes (in blue-green-red order), sides rounded up.
RowDecodeResult DecodeJpeg(std::FILE* file, PixelSink& sink, int scale = 1);

}  // namespace focusrate

#endif  // FOCUSRATE_JPEG_DECODER_H
