#include "jpeg_encoder.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace focusrate {

namespace {

struct ErrorManager {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

[[noreturn]] void JumpOut(j_common_ptr cinfo) {
  std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}
void Silent(j_common_ptr, int) {}

// Owns what libjpeg allocates, so a jump out leaves nothing behind.
struct Compressor {
  jpeg_compress_struct cinfo{};
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  ~Compressor() {
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
  }
};

// The part libjpeg may jump out of: no object with a destructor lives here.
bool Encode(Compressor& c, ErrorManager& errors, const cv::Mat& image, int quality,
            bool fastDct) {
  c.cinfo.err = jpeg_std_error(&errors.pub);
  errors.pub.error_exit = JumpOut;
  errors.pub.emit_message = Silent;
  if (setjmp(errors.jump) != 0) return false;
  jpeg_create_compress(&c.cinfo);
  jpeg_mem_dest(&c.cinfo, &c.buffer, &c.size);
  c.cinfo.image_width = static_cast<JDIMENSION>(image.cols);
  c.cinfo.image_height = static_cast<JDIMENSION>(image.rows);
  c.cinfo.input_components = 3;
  c.cinfo.in_color_space = JCS_EXT_BGR;  // libjpeg-turbo reads OpenCV's order itself
  jpeg_set_defaults(&c.cinfo);
  jpeg_set_quality(&c.cinfo, quality, TRUE);
  if (fastDct) c.cinfo.dct_method = JDCT_IFAST;
  jpeg_start_compress(&c.cinfo, TRUE);
  while (c.cinfo.next_scanline < c.cinfo.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image.ptr<JSAMPLE>(static_cast<int>(c.cinfo.next_scanline)));
    jpeg_write_scanlines(&c.cinfo, &row, 1);
  }
  jpeg_finish_compress(&c.cinfo);
  return true;
}

}  // namespace

std::string EncodeJpeg(const cv::Mat& image, int quality, bool fastDct) {
  CV_Assert(image.type() == CV_8UC3 && !image.empty());
  Compressor c;
  ErrorManager errors;
  if (!Encode(c, errors, image, quality, fastDct)) throw std::runtime_error("cannot encode JPEG");
  return std::string(reinterpret_cast<const char*>(c.buffer), c.size);
}

}  // namespace focusrate
