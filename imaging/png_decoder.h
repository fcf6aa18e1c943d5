// PNG straight from libpng into a PixelSink.
#ifndef FOCUSRATE_PNG_DECODER_H
#define FOCUSRATE_PNG_DECODER_H

#include <cstdio>

#include "row_decoder.h"

namespace focusrate {

/// Decodes the PNG in file (read from its start) with the transformations
/// cv::imread(IMREAD_COLOR) asks libpng for, so the rows carry its pixels
/// bit for bit. Rows are streamed unless the file is interlaced, which
/// needs the whole image in memory first. Damage that libpng reads past
/// (CRC errors, too much or corrupt image data after the last row) sets
/// damaged.
RowDecodeResult DecodePng(std::FILE* file, PixelSink& sink);

}  // namespace focusrate

#endif  // FOCUSRATE_PNG_DECODER_H
