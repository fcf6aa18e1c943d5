// Mirrors OpenCV 4.6's WebPDecoder (grfmt_webp.cpp): the features of the
// first 32 bytes decide, files over 64 MiB are refused, the whole file is
// read and decoded in one call; pictures with alpha are decoded as BGRA and
// the alpha dropped, as its BGRA-to-BGR conversion does. OpenCV reads no
// EXIF orientation from WebP files.
#include "webp_decoder.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include <webp/decode.h>

namespace focusrate {

namespace {

// OPENCV_IMGCODECS_WEBP_MAX_FILE_SIZE's default: OpenCV refuses larger files.
constexpr long kMaxFileBytes = 64L * 1024 * 1024;

bool ReadWhole(std::FILE* file, std::vector<uint8_t>& data) {
  if (std::fseek(file, 0, SEEK_END) != 0) return false;
  const long size = std::ftell(file);
  if (size < static_cast<long>(kWebpSignatureBytes) || size > kMaxFileBytes) return false;
  std::rewind(file);
  data.resize(static_cast<size_t>(size));
  return std::fread(data.data(), 1, data.size(), file) == data.size();
}

}  // namespace

bool IsWebpSignature(const unsigned char* head, size_t size) {
  WebPBitstreamFeatures features;
  return size >= kWebpSignatureBytes &&
         WebPGetFeatures(head, kWebpSignatureBytes, &features) == VP8_STATUS_OK;
}

RowDecodeResult DecodeWebp(std::FILE* file, PixelSink& sink) {
  std::vector<uint8_t> data;
  WebPBitstreamFeatures features;
  if (!ReadWhole(file, data) ||
      WebPGetFeatures(data.data(), kWebpSignatureBytes, &features) != VP8_STATUS_OK ||
      !WithinDecodeLimits(features.width, features.height)) {
    return RowDecodeResult{};
  }
  const int width = features.width, height = features.height;
  const int channels = features.has_alpha ? 4 : 3;
  const size_t step = static_cast<size_t>(width) * channels;
  std::vector<uint8_t> pixels(step * static_cast<size_t>(height));
  const int size = static_cast<int>(pixels.size());
  uint8_t* const decoded =
      channels == 4
          ? WebPDecodeBGRAInto(data.data(), data.size(), pixels.data(), size, static_cast<int>(step))
          : WebPDecodeBGRInto(data.data(), data.size(), pixels.data(), size, static_cast<int>(step));
  if (decoded != pixels.data()) return RowDecodeResult{};
  data = std::vector<uint8_t>();

  sink.Begin(width, height);
  for (int y = 0; y < height; ++y) {
    const uint8_t* in = pixels.data() + step * static_cast<size_t>(y);
    uint8_t* out = sink.RowBuffer(y);
    if (channels == 3) {
      std::memcpy(out, in, step);
    } else {
      for (int x = 0; x < width; ++x, in += 4, out += 3) std::memcpy(out, in, 3);
    }
    sink.RowDone(y);
  }
  RowDecodeResult result;
  result.verdict = DecodeVerdict::Decoded;
  return result;
}

}  // namespace focusrate
