// WebP straight from libwebp into a PixelSink.
#ifndef FOCUSRATE_WEBP_DECODER_H
#define FOCUSRATE_WEBP_DECODER_H

#include <cstddef>
#include <cstdio>

#include "row_decoder.h"

namespace focusrate {

/// How many leading bytes cv::imread looks at to recognise a WebP file.
constexpr size_t kWebpSignatureBytes = 32;

/// Whether cv::imread takes these leading bytes for a WebP file.
bool IsWebpSignature(const unsigned char* head, size_t size);

/// Decodes the WebP file (read from its start) with the library calls
/// cv::imread(IMREAD_COLOR) makes, so the rows carry its pixels bit for bit.
/// libwebp decodes a whole picture at once: the image is held while its
/// rows are handed on. It reports no damage it decodes around: a file it
/// cannot decode whole is refused, as OpenCV refuses it.
RowDecodeResult DecodeWebp(std::FILE* file, PixelSink& sink);

}  // namespace focusrate

#endif  // FOCUSRATE_WEBP_DECODER_H
