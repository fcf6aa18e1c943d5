// Camera raw files through LibRaw, with the settings dcraw_emu's -h, -w and
// -o 1 make (samples/dcraw_emu.cpp of LibRaw 0.20) on top of LibRaw's
// defaults, and the pixels dcraw_ppm_tiff_writer would write: the same
// gamma curve and flip, through copy_mem_image, which writes them as
// blue-green-red.
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#include <libraw/libraw.h>

#include "picture_plugin.h"

namespace focusrate {

namespace {

RateStatus Failure(int code) {
  return code == LIBRAW_UNSUFFICIENT_MEMORY ? RateStatus::OutOfMemory : RateStatus::CannotDecode;
}

// LibRaw's flip (bit 4: transpose, 2: turn upside down, 1: mirror, applied
// as its flip_index does) as the EXIF orientation that turns alike.
constexpr int kOrientationOfFlip[8] = {1, 2, 4, 3, 5, 8, 6, 7};

// The preview LibRaw picked (for DNG the largest by pixels over every IFD
// but the raw), when it is a JPEG.
bool TakeJpegPreview(LibRaw& raw, PictureOutcome& out) {
  const int code = raw.unpack_thumb();
  if (code == LIBRAW_UNSUFFICIENT_MEMORY) throw std::bad_alloc();
  const libraw_thumbnail_t& thumb = raw.imgdata.thumbnail;
  if (code != LIBRAW_SUCCESS || thumb.tformat != LIBRAW_THUMBNAIL_JPEG || thumb.thumb == nullptr)
    return false;
  out.jpeg.assign(thumb.thumb, thumb.tlength);
  out.rendition.kind = RawRendition::Preview;
  out.status = RateStatus::Ok;
  return true;
}

// 8-bit pixels in one or three colours, as dcraw_emu writes them to a PGM
// or PPM; grey becomes three equal channels, as cv::imread reads a PGM.
// LibRaw's buffers are freed before the sink takes its memory.
bool DeliverRows(LibRaw& raw, PixelSink& sink, PictureOutcome& out) {
  int width, height, colors, bps;
  raw.get_mem_image_format(&width, &height, &colors, &bps);
  if (bps != 8 || (colors != 1 && colors != 3) || !WithinDecodeLimits(width, height)) return false;
  const size_t step = static_cast<size_t>(width) * colors;
  std::vector<uint8_t> pixels(step * height);
  if (raw.copy_mem_image(pixels.data(), static_cast<int>(step), 1) != LIBRAW_SUCCESS) return false;
  raw.recycle();
  sink.Begin(width, height);
  for (int y = 0; y < height; ++y) {
    const uint8_t* in = pixels.data() + step * y;
    uint8_t* row = sink.RowBuffer(y);
    // Blue, green, red; or one grey byte three times.
    for (int x = 0; x < width; ++x, in += colors, row += 3) {
      row[0] = in[0];
      row[1] = in[colors / 2];
      row[2] = in[colors - 1];
    }
    sink.RowDone(y);
  }
  out.rendition.width = width;
  out.rendition.height = height;
  return true;
}

void Read(const char* path, RawRendition rendition, PixelSink* sink, PictureOutcome& out) {
  out.rendition.raw = true;
  // LibRaw holds its tables in the object: hundreds of kilobytes. It would
  // print memory and data errors on stderr (options spelt as LibRaw spells them).
  const auto raw = std::make_unique<LibRaw>(LIBRAW_OPIONS_NO_MEMERR_CALLBACK | LIBRAW_OPIONS_NO_DATAERR_CALLBACK);
  // Set before open_file, as dcraw_emu does: half size also makes a Bayer
  // picture's width and height even there.
  const bool full = rendition == RawRendition::Full;
  libraw_output_params_t& params = raw->imgdata.params;
  params.half_size = !full;   // -h
  params.use_camera_wb = 1;   // -w
  params.output_color = 1;    // -o 1: sRGB
  int code = raw->open_file(path);
  if (code != LIBRAW_SUCCESS) {
    out.status = Failure(code);
    return;
  }
  out.orientation = kOrientationOfFlip[raw->imgdata.sizes.flip & 7];
  if (rendition == RawRendition::Preview && TakeJpegPreview(*raw, out)) return;
  out.rendition.kind = full ? RawRendition::Full : RawRendition::Half;
  if (sink == nullptr) {
    // The sizes dcraw_process will make: shrunk by half, stretched to
    // square pixels, turned.
    code = raw->adjust_sizes_info_only();
    out.status = code == LIBRAW_SUCCESS ? RateStatus::Ok : Failure(code);
    out.rendition.width = raw->imgdata.sizes.iwidth;
    out.rendition.height = raw->imgdata.sizes.iheight;
    return;
  }
  if ((code = raw->unpack()) != LIBRAW_SUCCESS) {
    out.status = Failure(code);
    return;
  }
  // Like dcraw_emu, a processing error that is not fatal still gives pixels.
  code = raw->dcraw_process();
  if (LIBRAW_FATAL_ERROR(code)) {
    out.status = Failure(code);
    return;
  }
  const bool damaged = code != LIBRAW_SUCCESS || raw->error_count() > 0;
  if (DeliverRows(*raw, *sink, out)) out.status = damaged ? RateStatus::Damaged : RateStatus::Ok;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void FocusrateReadPicture(
    const char* path, const DecodeOptions* options, PixelSink* sink, PictureOutcome* outcome) {
  ReadCatchingAll(outcome, [&](PictureOutcome& out) { Read(path, options->raw, sink, out); });
}

// The loader casts the symbol to this type: keep the two in step.
static_assert(std::is_same<decltype(&FocusrateReadPicture), ReadPictureFunction>::value,
              "the entry point has the type the loader expects");

}  // namespace focusrate
