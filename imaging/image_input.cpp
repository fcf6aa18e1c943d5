// Decoding for rating. JPEG, PNG and WebP go straight to their libraries (the ones
// OpenCV decodes them with), everything else to cv::imread, from a plugin
// loaded only then. OpenCV's imread
// blocks forever on a FIFO and throws for headers that claim more pixels than
// its limit; neither may reach the programs, so both are turned into
// statuses here.
#include "image_input.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "exif_orientation.h"
#include "jpeg_decoder.h"
#include "opencv_fallback.h"
#include "png_decoder.h"
#include "regular_file.h"
#include "webp_decoder.h"

const char* StatusText(RateStatus status) {
  switch (status) {
    case RateStatus::Ok: return "ok";
    case RateStatus::Damaged: return "damaged";
    case RateStatus::CannotDecode: return "cannot decode";
    case RateStatus::NotFound: return "not found";
    case RateStatus::PermissionDenied: return "permission denied";
    case RateStatus::SymlinkLoop: return "symlink loop";
    case RateStatus::NameTooLong: return "name too long";
    case RateStatus::NotRegularFile: return "not a regular file";
    case RateStatus::TooLarge: return "too large";
    case RateStatus::OutOfMemory: return "out of memory";
    case RateStatus::OutsideRegion: return "region outside image";
    case RateStatus::CannotRate: return "cannot rate";
  }
  return "cannot decode";
}

RateStatus StatusForErrno(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR: return RateStatus::NotFound;
    case EACCES:
    case EPERM: return RateStatus::PermissionDenied;
    case ELOOP: return RateStatus::SymlinkLoop;
    case ENAMETOOLONG: return RateStatus::NameTooLong;
    case ENOMEM: return RateStatus::OutOfMemory;
    default: return RateStatus::CannotDecode;
  }
}

namespace {

using FileCloser = int (*)(std::FILE*);
using OpenFile = std::unique_ptr<std::FILE, FileCloser>;

// The decoders say only "no image" for a file they cannot open: finding out
// why here keeps "cannot decode" for files that were read and refused.
RateStatus OpenImage(const std::string& path, OpenFile& file) {
  bool notRegular = false;
  const int fd = OpenRegularFile(path, notRegular);
  if (fd < 0) return notRegular ? RateStatus::NotRegularFile : StatusForErrno(errno);
  file.reset(::fdopen(fd, "rb"));
  if (!file) {
    ::close(fd);
    return StatusForErrno(errno);
  }
  return RateStatus::Ok;
}

using RowDecoder = RowDecodeResult (*)(std::FILE*, PixelSink&);

// The direct decoder cv::imread's signature check would lead to, or none.
// A pixel limit changed through the environment is left to OpenCV, which
// reads it in its own way.
RowDecoder DirectDecoderFor(std::FILE* file) {
  if (std::getenv("OPENCV_IO_MAX_IMAGE_PIXELS") != nullptr) return nullptr;
  unsigned char head[kWebpSignatureBytes] = {};
  const size_t got = std::fread(head, 1, sizeof head, file);
  std::rewind(file);
  if (got >= 3 && std::memcmp(head, "\xFF\xD8\xFF", 3) == 0) return DecodeJpeg;
  if (got >= 8 && std::memcmp(head, "\x89PNG\r\n\x1A\n", 8) == 0) return DecodePng;
  if (IsWebpSignature(head, got)) return DecodeWebp;
  return nullptr;
}

class MatSink : public PixelSink {
 public:
  void Begin(int width, int height) override { image.create(height, width, CV_8UC3); }
  uint8_t* RowBuffer(int y) override { return image.ptr<uint8_t>(y); }
  void RowDone(int) override {}
  cv::Mat image;
};

struct Decoded {
  RateStatus status;
  int orientation;  ///< still to be applied to the rows the sink got
  cv::Mat whole;    ///< what cv::imread returned, upright; its rows went nowhere
};

Decoded ReadWithOpenCv(const std::string& path) {
  cv::Mat image;
  try {
    image = ImreadColor(path);
  } catch (const cv::Exception& e) {
    // Running out of memory is not a property of the file: let it propagate.
    if (e.code == cv::Error::StsNoMem) throw;
    return {RateStatus::CannotDecode, 1, cv::Mat()};
  }
  if (image.data == nullptr) return {RateStatus::CannotDecode, 1, cv::Mat()};
  return {RateStatus::Ok, 1, image};
}

// JPEG and PNG rows go to sink; any other file comes back whole from cv::imread.
Decoded Decode(const std::string& path, PixelSink& sink) {
  OpenFile file(nullptr, std::fclose);
  const RateStatus opened = OpenImage(path, file);
  if (opened != RateStatus::Ok) return {opened, 1, cv::Mat()};
  const RowDecoder decoder = DirectDecoderFor(file.get());
  if (decoder == nullptr) return ReadWithOpenCv(path);
  const RowDecodeResult result = decoder(file.get(), sink);
  if (result.verdict == DecodeVerdict::Refused) return {RateStatus::CannotDecode, 1, cv::Mat()};
  return {result.damaged ? RateStatus::Damaged : RateStatus::Ok, result.orientation, cv::Mat()};
}

}  // namespace

DecodedImage DecodeImage(const std::string& path) {
  MatSink sink;
  Decoded decoded = Decode(path, sink);
  if (!WasDecoded(decoded.status)) return {cv::Mat(), decoded.status};
  if (!decoded.whole.empty()) return {decoded.whole, decoded.status};
  ApplyOrientation(decoded.orientation, sink.image);
  return {sink.image, decoded.status};
}

RateStatus DecodeRows(const std::string& path, PixelSink& sink) {
  Decoded decoded = Decode(path, sink);
  if (WasDecoded(decoded.status) && !decoded.whole.empty()) {
    const cv::Mat& image = decoded.whole;
    sink.Begin(image.cols, image.rows);
    for (int y = 0; y < image.rows; ++y) {
      std::memcpy(sink.RowBuffer(y), image.ptr<uint8_t>(y), static_cast<size_t>(image.cols) * 3);
      sink.RowDone(y);
    }
  }
  return decoded.status;
}
