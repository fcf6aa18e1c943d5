// Mirrors OpenCV 4.6's PngDecoder (grfmt_png.cpp) for a three-channel 8-bit
// target: the same transformations in the same order, png_read_end after the
// rows, and the eXIf chunk (before or after the image data) for the EXIF
// orientation. Non-interlaced rows are read one at a time, which is what
// png_read_image does for them.
#include "png_decoder.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <vector>

#include "exif_orientation.h"

namespace focusrate {

namespace {

[[noreturn]] void JumpOut(png_structp png, png_const_charp) { png_longjmp(png, 1); }

// libpng reports recoverable damage as warnings, as it does harmless notes on
// metadata (a known-bad sRGB profile); only damage to the file's structure
// or its image data marks the file.
void NoteWarning(png_structp png, png_const_charp message) {
  const bool damage = std::strstr(message, "CRC error") != nullptr ||
                      std::strncmp(message, "IDAT: ", 6) == 0 ||
                      std::strstr(message, "Too many IDATs found") != nullptr;
  if (damage) *static_cast<bool*>(png_get_error_ptr(png)) = true;
}

class PngReader {
 public:
  explicit PngReader(bool& damaged)
      : png(png_create_read_struct(PNG_LIBPNG_VER_STRING, &damaged, JumpOut, NoteWarning)),
        info(png ? png_create_info_struct(png) : nullptr),
        end(png ? png_create_info_struct(png) : nullptr) {}
  ~PngReader() { png_destroy_read_struct(&png, &info, &end); }
  PngReader(const PngReader&) = delete;
  PngReader& operator=(const PngReader&) = delete;
  png_structp png;
  png_infop info;
  png_infop end;
};

int EmbeddedOrientation(png_structp png, png_infop info, png_infop end) {
  png_uint_32 size = 0;
  png_bytep exif = nullptr;
  if (png_get_valid(png, info, PNG_INFO_eXIf)) {
    png_get_eXIf_1(png, info, &size, &exif);
  } else if (png_get_valid(png, end, PNG_INFO_eXIf)) {
    png_get_eXIf_1(png, end, &size, &exif);
  }
  return exif != nullptr && size > 0 ? ExifOrientation(exif, size) : 1;
}

// The part libpng may jump out of; everything it touches lives in the
// caller's frame.
bool Decode(std::FILE* file, PngReader& r, PixelSink& sink, std::vector<uint8_t>& whole,
            std::vector<png_bytep>& rows, RowDecodeResult& result) {
  if (setjmp(png_jmpbuf(r.png)) != 0) return false;
  png_init_io(r.png, file);
  png_read_info(r.png, r.info);
  png_uint_32 width, height;
  int depth, type;
  png_get_IHDR(r.png, r.info, &width, &height, &depth, &type, nullptr, nullptr, nullptr);
  if (!WithinDecodeLimits(width, height)) return false;

  if (depth == 16) {
    png_set_strip_16(r.png);
  } else {
    png_set_swap(r.png);
  }
  png_set_strip_alpha(r.png);
  if (type == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(r.png);
  if ((type & PNG_COLOR_MASK_COLOR) == 0 && depth < 8) png_set_expand_gray_1_2_4_to_8(r.png);
  if (type & PNG_COLOR_MASK_COLOR) {
    png_set_bgr(r.png);
  } else {
    png_set_gray_to_rgb(r.png);
  }
  const int passes = png_set_interlace_handling(r.png);
  png_read_update_info(r.png, r.info);

  const int w = static_cast<int>(width), h = static_cast<int>(height);
  sink.Begin(w, h);
  if (passes == 1) {
    for (int y = 0; y < h; ++y) {
      png_read_row(r.png, sink.RowBuffer(y), nullptr);
      sink.RowDone(y);
    }
  } else {
    const size_t step = static_cast<size_t>(w) * 3;
    whole.resize(step * h);
    rows.resize(h);
    for (int y = 0; y < h; ++y) rows[y] = whole.data() + step * y;
    png_read_image(r.png, rows.data());
    for (int y = 0; y < h; ++y) {
      std::memcpy(sink.RowBuffer(y), rows[y], step);
      sink.RowDone(y);
    }
  }
  png_read_end(r.png, r.end);
  result.orientation = EmbeddedOrientation(r.png, r.info, r.end);
  return true;
}

}  // namespace

RowDecodeResult DecodePng(std::FILE* file, PixelSink& sink) {
  bool damaged = false;
  PngReader reader(damaged);
  if (reader.png == nullptr || reader.info == nullptr || reader.end == nullptr)
    return RowDecodeResult{};
  std::vector<uint8_t> whole;
  std::vector<png_bytep> rows;
  RowDecodeResult result;
  if (!Decode(file, reader, sink, whole, rows, result)) return RowDecodeResult{};
  result.verdict = DecodeVerdict::Decoded;
  result.damaged = damaged;
  return result;
}

}  // namespace focusrate
