// Mirrors OpenCV 4.6's JpegDecoder (grfmt_jpeg.cpp): default decompression
// settings, the stdio source, the first APP1 segment read as EXIF from its
// sixth byte, every scanline read whatever happened before. Reduced sizes
// come from the DCT alone (scale_denom), with the same defaults djpeg -scale
// keeps (accurate integer DCT, fancy upsampling, block smoothing): nothing
// else changes from full size. Where OpenCV asks
// for RGB and swaps to BGR, libjpeg-turbo writes BGR itself; the conversion
// code is the same for both orders.
#include "jpeg_decoder.h"

#include <csetjmp>
#include <new>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

#include "exif_orientation.h"

namespace focusrate {

namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
  bool damaged;
};

[[noreturn]] void JumpOut(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

// Warnings only mark the file; nothing is printed.
void NoteWarning(j_common_ptr cinfo, int level) {
  if (level >= 0) return;  // trace messages
  ErrorManager* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
  switch (cinfo->err->msg_code) {
    case JWRN_ARITH_BAD_CODE:
    case JWRN_BOGUS_PROGRESSION:
    case JWRN_EXTRANEOUS_DATA:
    case JWRN_HIT_MARKER:
    case JWRN_HUFF_BAD_CODE:
    case JWRN_JPEG_EOF:
    case JWRN_MUST_RESYNC:
    case JWRN_NOT_SEQUENTIAL: errors->damaged = true; break;
    default: break;
  }
  ++cinfo->err->num_warnings;
}

// Created under the error handler's jump (creating can fail too); a struct
// never created is all zero, which destroying leaves alone.
class Decompressor {
 public:
  explicit Decompressor(ErrorManager& errors) : cinfo() {
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = JumpOut;
    errors.pub.emit_message = NoteWarning;
    errors.damaged = false;
  }
  ~Decompressor() { jpeg_destroy_decompress(&cinfo); }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;
  jpeg_decompress_struct cinfo;
};

int FirstApp1Orientation(const jpeg_decompress_struct& cinfo) {
  constexpr unsigned kApp1 = JPEG_APP0 + 1, kTiffOffset = 6;
  for (jpeg_saved_marker_ptr m = cinfo.marker_list; m != nullptr; m = m->next) {
    if (m->marker != kApp1) continue;
    return m->data_length > kTiffOffset
               ? ExifOrientation(m->data + kTiffOffset, m->data_length - kTiffOffset)
               : 1;
  }
  return 1;
}

// OpenCV's icvCvt_CMYK2BGR_8u_C4C3R.
void CmykToBgr(const uint8_t* cmyk, int width, uint8_t* bgr) {
  for (int x = 0; x < width; ++x, cmyk += 4, bgr += 3) {
    const int k = cmyk[3];
    bgr[2] = static_cast<uint8_t>(k - ((255 - cmyk[0]) * k >> 8));
    bgr[1] = static_cast<uint8_t>(k - ((255 - cmyk[1]) * k >> 8));
    bgr[0] = static_cast<uint8_t>(k - ((255 - cmyk[2]) * k >> 8));
  }
}

// The part libjpeg may jump out of. Everything it touches lives in the
// caller's frame, so a longjmp leaves no local of this frame behind.
bool Decode(std::FILE* file, jpeg_decompress_struct& cinfo, ErrorManager& errors,
            PixelSink& sink, int scale, std::vector<uint8_t>& cmykRow, RowDecodeResult& result) {
  if (setjmp(errors.jump) != 0) return false;
  jpeg_create_decompress(&cinfo);
  jpeg_stdio_src(&cinfo, file);
  jpeg_save_markers(&cinfo, JPEG_APP0 + 1, 0xFFFF);
  jpeg_read_header(&cinfo, TRUE);
  // The limits are the stored size's, whatever the scale: a file is refused alike at every scale.
  if (!WithinDecodeLimits(cinfo.image_width, cinfo.image_height)) return false;
  cinfo.scale_num = 1;
  cinfo.scale_denom = static_cast<unsigned>(scale);
  jpeg_calc_output_dimensions(&cinfo);
  const int width = static_cast<int>(cinfo.output_width);
  const int height = static_cast<int>(cinfo.output_height);
  const bool cmyk = cinfo.num_components == 4;
  cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGR;
  cinfo.out_color_components = cmyk ? 4 : 3;
  result.orientation = FirstApp1Orientation(cinfo);
  sink.Begin(width, height);
  if (cmyk) cmykRow.resize(static_cast<size_t>(width) * 4);

  jpeg_start_decompress(&cinfo);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = sink.RowBuffer(y);
    JSAMPROW target = cmyk ? cmykRow.data() : row;
    jpeg_read_scanlines(&cinfo, &target, 1);
    if (cmyk) CmykToBgr(cmykRow.data(), width, row);
    sink.RowDone(y);
  }
  jpeg_finish_decompress(&cinfo);
  return true;
}

}  // namespace

RowDecodeResult DecodeJpeg(std::FILE* file, PixelSink& sink, int scale) {
  ErrorManager errors;
  Decompressor d(errors);
  std::vector<uint8_t> cmykRow;
  RowDecodeResult result;
  if (!Decode(file, d.cinfo, errors, sink, scale, cmykRow, result)) {
    // Memory is not a property of the file: say so rather than refuse it.
    if (errors.pub.msg_code == JERR_OUT_OF_MEMORY) throw std::bad_alloc();
    return RowDecodeResult{};
  }
  result.verdict = DecodeVerdict::Decoded;
  result.damaged = errors.damaged;
  return result;
}

}  // namespace focusrate
