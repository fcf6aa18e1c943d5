// Decoding for rating. JPEG, PNG and WebP go straight to their libraries (the ones
// OpenCV decodes them with), camera raw files to LibRaw and HEIF to libheif,
// everything else to cv::imread: the last three from plugins loaded only then. OpenCV's imread
// blocks forever on a FIFO and throws for headers that claim more pixels than
// its limit; neither may reach the programs, so both are turned into
// statuses here.
#include "image_input.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>

#include <opencv2/imgproc.hpp>

#include "exif_orientation.h"
#include "image_formats.h"
#include "jpeg_decoder.h"
#include "opencv_fallback.h"
#include "picture_reader.h"
#include "png_decoder.h"
#include "regular_file.h"
#include "webp_decoder.h"

namespace focusrate {

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

class MatSink : public PixelSink {
 public:
  void Begin(int width, int height) override { image.create(height, width, CV_8UC3); }
  uint8_t* RowBuffer(int y) override { return image.ptr<uint8_t>(y); }
  void RowDone(int) override {}
  cv::Mat image;
};

// Passes rows on, noting the stored size for the rendition.
class SizeNotingSink : public PixelSink {
 public:
  explicit SizeNotingSink(PixelSink& sink) : sink_(sink) {}
  void Begin(int width, int height) override {
    size = cv::Size(width, height);
    sink_.Begin(width, height);
  }
  uint8_t* RowBuffer(int y) override { return sink_.RowBuffer(y); }
  void RowDone(int y) override { sink_.RowDone(y); }
  cv::Size size;

 private:
  PixelSink& sink_;
};

struct Decoded {
  RateStatus status;
  int orientation;      ///< still to be applied to the rows the sink got
  cv::Mat whole;        ///< upright, from cv::imread or reduced here; its rows went nowhere
  Rendition rendition;  ///< upright size
  bool reduced = false; ///< the decoder itself made the rows at the scale asked for
  int turn = 1;         ///< the stored frame's turn to upright, applied or not
};

Decoded ReadWithOpenCv(const std::string& path) {
  cv::Mat image;
  try {
    image = ImreadColor(path);
  } catch (const cv::Exception& e) {
    // Running out of memory is not a property of the file: let it propagate.
    if (e.code == cv::Error::StsNoMem) throw;
    return {RateStatus::CannotDecode, 1, cv::Mat(), {}};
  }
  if (image.data == nullptr) return {RateStatus::CannotDecode, 1, cv::Mat(), {}};
  return {RateStatus::Ok, 1, image, {false, RawRendition::Half, image.cols, image.rows}};
}

// Sizes the sink got are stored sizes: turned, they swap.
Rendition Upright(Rendition rendition, cv::Size stored, int orientation) {
  const bool turned = orientation >= 5 && orientation <= 8;
  rendition.width = turned ? stored.height : stored.width;
  rendition.height = turned ? stored.width : stored.height;
  return rendition;
}

Decoded DecodeStreamed(const RowDecodeResult& result, const SizeNotingSink& sink) {
  if (result.verdict == DecodeVerdict::Refused) return {RateStatus::CannotDecode, 1, cv::Mat(), {}};
  return {result.damaged ? RateStatus::Damaged : RateStatus::Ok, result.orientation, cv::Mat(),
          Upright(Rendition(), sink.size, result.orientation), false, result.orientation};
}

// Only JPEG decodes at a reduced size: its rows go to their own sink.
Decoded DecodeJpegAt(std::FILE* file, SizeNotingSink& sink, int scale) {
  Decoded decoded = DecodeStreamed(DecodeJpeg(file, sink, scale), sink);
  decoded.reduced = true;
  return decoded;
}

// Where rows go: full-size rows to full (held for reducing, when a scale is
// asked for), a JPEG's to jpeg at the scale.
struct Sinks {
  SizeNotingSink& full;
  SizeNotingSink& jpeg;
};

// A raw or HEIF picture's rows come upright from its plugin, but a raw
// preview is a JPEG for our own decoder, streamed from memory and turned as
// the raw is (not by its own EXIF).
Decoded DecodeWithPlugin(PictureLibrary library, std::FILE* file, const DecodeOptions& options,
                         const Sinks& sinks) {
  PictureOutcome picture = ReadPicture(library, ::fileno(file), options, &sinks.full);
  if (!WasDecoded(picture.status) || picture.jpeg.empty())
    return {picture.status, 1, cv::Mat(), picture.rendition, false, picture.orientation};
  const OpenFile preview(::fmemopen(picture.jpeg.data(), picture.jpeg.size(), "rb"), std::fclose);
  if (!preview) throw std::bad_alloc();
  Decoded decoded = DecodeJpegAt(preview.get(), sinks.jpeg, options.scale);
  decoded.orientation = decoded.turn = picture.orientation;
  decoded.rendition = Upright(picture.rendition, sinks.jpeg.size, picture.orientation);
  return decoded;
}

// Raw files by name, HEIF by name or brand, then the direct decoders by
// signature, as cv::imread's signature check would pick them (unless a
// pixel limit was set through the environment, which OpenCV reads in its
// own way); any other file comes back whole from cv::imread.
Decoded DecodeOpen(const std::string& path, std::FILE* file, const DecodeOptions& options,
                   const Sinks& sinks) {
  if (HasRawExtension(path)) return DecodeWithPlugin(PictureLibrary::LibRaw, file, options, sinks);
  unsigned char head[std::max(kWebpSignatureBytes, kHeifSignatureBytes)] = {};
  const size_t got = std::fread(head, 1, sizeof head, file);
  std::rewind(file);
  if (HasHeifExtension(path) || IsHeifSignature(head, got))
    return DecodeWithPlugin(PictureLibrary::Libheif, file, options, sinks);
  if (std::getenv("OPENCV_IO_MAX_IMAGE_PIXELS") != nullptr) return ReadWithOpenCv(path);
  if (got >= 3 && std::memcmp(head, "\xFF\xD8\xFF", 3) == 0)
    return DecodeJpegAt(file, sinks.jpeg, options.scale);
  if (got >= 8 && std::memcmp(head, "\x89PNG\r\n\x1A\n", 8) == 0)
    return DecodeStreamed(DecodePng(file, sinks.full), sinks.full);
  if (IsWebpSignature(head, got)) return DecodeStreamed(DecodeWebp(file, sinks.full), sinks.full);
  return ReadWithOpenCv(path);
}

Decoded Decode(const std::string& path, const DecodeOptions& options, PixelSink& rows) {
  OpenFile file(nullptr, std::fclose);
  const RateStatus opened = OpenImage(path, file);
  if (opened != RateStatus::Ok) return {opened, 1, cv::Mat(), {}};
  MatSink held;
  SizeNotingSink full(options.scale == 1 ? rows : held), jpeg(rows);
  Decoded decoded = DecodeOpen(path, file.get(), options, {full, jpeg});
  decoded.rendition.scale = options.scale;
  if (options.scale == 1 || decoded.reduced || !WasDecoded(decoded.status)) return decoded;
  // Turned first: rows that come reduced come upright.
  cv::Mat image = decoded.whole.empty() ? held.image : decoded.whole;
  ApplyOrientation(decoded.orientation, image);
  cv::resize(image, decoded.whole,
             cv::Size(static_cast<int>(ReducedSide(image.cols, options.scale)),
                      static_cast<int>(ReducedSide(image.rows, options.scale))),
             0, 0, cv::INTER_AREA);
  decoded.orientation = 1;
  decoded.rendition.width = decoded.whole.cols;
  decoded.rendition.height = decoded.whole.rows;
  return decoded;
}

}  // namespace

DecodedImage DecodeImage(const std::string& path, const DecodeOptions& options) {
  MatSink sink;
  Decoded decoded = Decode(path, options, sink);
  if (!WasDecoded(decoded.status)) return {cv::Mat(), decoded.status, {}};
  if (!decoded.whole.empty())
    return {decoded.whole, decoded.status, decoded.rendition, decoded.turn};
  ApplyOrientation(decoded.orientation, sink.image);
  return {sink.image, decoded.status, decoded.rendition, decoded.turn};
}

RateStatus DecodeRows(const std::string& path, PixelSink& sink, const DecodeOptions& options,
                      Rendition* rendition) {
  Decoded decoded = Decode(path, options, sink);
  if (WasDecoded(decoded.status) && !decoded.whole.empty()) {
    const cv::Mat& image = decoded.whole;
    sink.Begin(image.cols, image.rows);
    for (int y = 0; y < image.rows; ++y) {
      std::memcpy(sink.RowBuffer(y), image.ptr<uint8_t>(y), static_cast<size_t>(image.cols) * 3);
      sink.RowDone(y);
    }
  }
  if (rendition != nullptr) {
    *rendition = decoded.rendition;
    rendition->orientation = decoded.orientation;
  }
  return decoded.status;
}

}  // namespace focusrate
