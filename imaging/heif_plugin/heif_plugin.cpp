// HEIF and AVIF files through libheif: the primary image, decoded as
// heif-convert decodes it for an 8-bit PNG (libheif 1.15's examples): default
// decoding options, so libheif applies the rotation, mirror and clean
// aperture the file asks for, to interleaved 8-bit RGB; deeper images are
// reduced by libheif's own conversion, and an alpha plane is left out.
#include <memory>
#include <type_traits>

#include <libheif/heif.h>

#include "picture_plugin.h"

namespace focusrate {

namespace {

struct ContextFree {
  void operator()(heif_context* context) const { heif_context_free(context); }
};
struct HandleRelease {
  void operator()(heif_image_handle* handle) const { heif_image_handle_release(handle); }
};
struct ImageRelease {
  void operator()(heif_image* image) const { heif_image_release(image); }
};

RateStatus Failure(const heif_error& error) {
  return error.code == heif_error_Memory_allocation_error ? RateStatus::OutOfMemory
                                                          : RateStatus::CannotDecode;
}

void Read(const char* path, PixelSink* sink, PictureOutcome& out) {
  const std::unique_ptr<heif_context, ContextFree> context(heif_context_alloc());
  if (!context) throw std::bad_alloc();
  heif_error error = heif_context_read_from_file(context.get(), path, nullptr);
  heif_image_handle* handle = nullptr;
  if (error.code == heif_error_Ok)
    error = heif_context_get_primary_image_handle(context.get(), &handle);
  const std::unique_ptr<heif_image_handle, HandleRelease> primary(handle);
  if (error.code != heif_error_Ok) {
    out.status = Failure(error);
    return;
  }
  out.rendition.width = heif_image_handle_get_width(handle);
  out.rendition.height = heif_image_handle_get_height(handle);
  if (sink == nullptr) {
    out.status = RateStatus::Ok;
    return;
  }
  heif_image* decoded = nullptr;
  error = heif_decode_image(handle, &decoded, heif_colorspace_RGB, heif_chroma_interleaved_RGB, nullptr);
  const std::unique_ptr<heif_image, ImageRelease> image(decoded);
  if (error.code != heif_error_Ok) {
    out.status = Failure(error);
    return;
  }
  int stride = 0;
  const uint8_t* rgb = heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
  const int width = heif_image_get_width(decoded, heif_channel_interleaved);
  const int height = heif_image_get_height(decoded, heif_channel_interleaved);
  if (rgb == nullptr || !WithinDecodeLimits(width, height)) return;
  sink->Begin(width, height);
  for (int y = 0; y < height; ++y) {
    const uint8_t* in = rgb + static_cast<size_t>(stride) * y;
    uint8_t* row = sink->RowBuffer(y);
    for (int x = 0; x < 3 * width; x += 3) {
      row[x] = in[x + 2];
      row[x + 1] = in[x + 1];
      row[x + 2] = in[x];
    }
    sink->RowDone(y);
  }
  out.rendition.width = width;
  out.rendition.height = height;
  // Warnings come with an image decoded around damage.
  out.status = heif_image_get_decoding_warnings(decoded, 0, nullptr, 0) > 0 ? RateStatus::Damaged
                                                                             : RateStatus::Ok;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) void FocusrateReadPicture(
    const char* path, const DecodeOptions*, PixelSink* sink, PictureOutcome* outcome) {
  ReadCatchingAll(outcome, [&](PictureOutcome& out) { Read(path, sink, out); });
}

// The loader casts the symbol to this type: keep the two in step.
static_assert(std::is_same<decltype(&FocusrateReadPicture), ReadPictureFunction>::value,
              "the entry point has the type the loader expects");

}  // namespace focusrate
