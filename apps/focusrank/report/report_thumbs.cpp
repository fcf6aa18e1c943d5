#include "report_thumbs.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>

namespace focusrate {

std::string ThumbName(std::size_t index) {
  char name[32];
  std::snprintf(name, sizeof name, "%06zu.jpg", index);
  return name;
}

namespace {

struct Errors {
  jpeg_error_mgr pub;
  std::jmp_buf jump;
};

[[noreturn]] void JumpOut(j_common_ptr info) {
  std::longjmp(reinterpret_cast<Errors*>(info->err)->jump, 1);
}

// libjpeg's errors end in JumpOut: only plain locals here, so a longjmp
// leaves none behind.
bool Compress(const cv::Mat& image, int quality, jpeg_compress_struct& info, Errors& errors,
              unsigned char*& buffer, unsigned long& size) {
  if (setjmp(errors.jump) != 0) return false;
  jpeg_create_compress(&info);
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = static_cast<JDIMENSION>(image.cols);
  info.image_height = static_cast<JDIMENSION>(image.rows);
  info.input_components = 3;
  info.in_color_space = JCS_EXT_BGR;  // as OpenCV holds pixels: no copy to swap them
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, quality, TRUE);
  info.dct_method = JDCT_IFAST;  // a thumbnail cannot tell, and small images pay for each encode
  jpeg_start_compress(&info, TRUE);
  while (info.next_scanline < info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(image.ptr<uint8_t>(static_cast<int>(info.next_scanline)));
    jpeg_write_scanlines(&info, &row, 1);
  }
  jpeg_finish_compress(&info);
  return true;
}

}  // namespace

std::string EncodeJpeg(const cv::Mat& image, int quality) {
  jpeg_compress_struct info;
  Errors errors;
  info.err = jpeg_std_error(&errors.pub);
  errors.pub.error_exit = JumpOut;
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  const bool done = Compress(image, quality, info, errors, buffer, size);
  jpeg_destroy_compress(&info);
  std::string bytes = done ? std::string(reinterpret_cast<const char*>(buffer), size) : "";
  std::free(buffer);
  return bytes;
}

}  // namespace focusrate
