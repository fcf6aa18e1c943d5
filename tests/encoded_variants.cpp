#include "encoded_variants.h"

// jpeglib.h needs the size_t and FILE of <cstdio> first.
#include <cstdio>

#include <jpeglib.h>
#include <png.h>

#include <cstdint>
#include <cstdlib>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include "test_images.h"

namespace {

constexpr int kWidth = 61, kHeight = 45;  // not a multiple of any block size

std::string Noise(int count, uint32_t seed) {
  return std::string(MakeNoise(count, 1, seed).ptr<char>(), count);
}

// A TIFF block whose one directory entry is the orientation (a SHORT), as
// cameras write it.
std::string ExifBlock(int orientation, bool little) {
  const char* head = little ? "II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0"
                            : "MM\0*\0\0\0\x08\0\x01\x01\x12\0\x03\0\0\0\x01\0";
  return std::string(head, little ? 18 : 19) + static_cast<char>(orientation) +
         std::string(little ? 7 : 6, '\0');
}

// Noise pixels, and a noise palette; an orientation (0: none) adds
// interlacing, tRNS (half the palette, or the value 1) and an eXIf chunk.
std::string EncodePng(int type, int depth, int orientation, uint32_t seed) {
  std::string out, exif = ExifBlock(orientation, true);
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const int channels[] = {1, 0, 3, 1, 2, 0, 4};  // by colour type
  cv::Mat pixels = MakeNoise((kWidth * channels[type] * depth + 7) / 8, kHeight, seed);
  std::vector<png_bytep> rows;
  for (int y = 0; y < kHeight; ++y) rows.push_back(pixels.ptr(y));
  png_color_16 key{0, 1, 1, 1, 1};
  png_set_write_fn(png, &out, [](png_structp p, png_bytep data, size_t size) {
    static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<char*>(data), size);
  }, nullptr);
  png_set_IHDR(png, info, kWidth, kHeight, depth, type, orientation != 0, 0, 0);
  if (type == PNG_COLOR_TYPE_PALETTE)
    png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(pixels.ptr()), 1 << depth);
  if (orientation != 0 && (type & PNG_COLOR_MASK_ALPHA) == 0)
    png_set_tRNS(png, info, pixels.ptr(), type == 3 ? (1 << depth) / 2 : 0, &key);
  if (orientation != 0) png_set_eXIf_1(png, info, 26, reinterpret_cast<png_bytep>(&exif[0]));
  png_set_rows(png, info, rows.data());
  png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
  png_destroy_write_struct(&png, &info);
  return out;
}

// Soft shapes with some grain, so both smooth areas and fine detail; the
// first component sampled h x v; restarts every MCU row if asked.
std::string EncodeJpeg(int channels, uint32_t seed, int h, int v, bool progressive = false,
                       bool restarts = false, int width = kWidth, int height = kHeight) {
  const cv::Mat pixels = MakeSoftBlobs(width, height, seed, channels) * 0.8 +
                         MakeNoise(width, height, seed + 1, channels) * 0.2;
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = width;
  cinfo.image_height = height;
  cinfo.input_components = channels;
  cinfo.in_color_space = channels == 1 ? JCS_GRAYSCALE : channels == 3 ? JCS_EXT_BGR : JCS_CMYK;
  jpeg_set_defaults(&cinfo);  // stored as grey, YCbCr or CMYK
  cinfo.comp_info[0].h_samp_factor = h;
  cinfo.comp_info[0].v_samp_factor = v;
  if (progressive) jpeg_simple_progression(&cinfo);
  cinfo.restart_in_rows = restarts;
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPROW> rows;
  for (int y = 0; y < height; ++y) rows.push_back(const_cast<JSAMPROW>(pixels.ptr(y)));
  jpeg_write_scanlines(&cinfo, rows.data(), height);
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string out(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  return out;
}

}  // namespace

std::vector<EncodedVariant> EncodedVariants() {
  std::vector<EncodedVariant> out;
  const int pngs[][2] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                         {3, 2}, {3, 4}, {3, 8},  {4, 8}, {4, 16}, {6, 8}, {6, 16}};
  // The interlaced files take orientations 1-8 in turn.
  for (const auto& [type, depth] : pngs) {
    for (int orientation : {0, static_cast<int>(out.size() / 2 % 8 + 1)}) {
      out.push_back({"png type " + std::to_string(type) + " depth " + std::to_string(depth) +
                         (orientation ? " interlaced, tRNS, eXIf" : ""),
                     EncodePng(type, depth, orientation, static_cast<uint32_t>(out.size()))});
    }
  }
  out.push_back({"jpeg grey", EncodeJpeg(1, 7, 1, 1)});
  out.push_back({"jpeg 4:4:4", EncodeJpeg(3, 7, 1, 1)});
  out.push_back({"jpeg 4:2:2", EncodeJpeg(3, 7, 2, 1)});
  out.push_back({"jpeg progressive", EncodeJpeg(3, 7, 2, 2, true)});
  out.push_back({"jpeg restart markers", EncodeJpeg(3, 7, 2, 2, false, true)});
  out.push_back({"jpeg cmyk", EncodeJpeg(4, 7, 1, 1)});
  // 4:2:0 with a 34-byte EXIF APP1 segment right after SOI; odd orientations
  // little-endian, even ones big-endian.
  const std::string plain = EncodeJpeg(3, 8, 2, 2);
  for (int orientation = 1; orientation <= 8; ++orientation) {
    out.push_back({"jpeg 4:2:0 exif orientation " + std::to_string(orientation),
                   plain.substr(0, 2) + std::string("\xFF\xE1\0\x22" "Exif\0\0", 10) +
                       ExifBlock(orientation, orientation % 2) + plain.substr(2)});
  }
  const EncodedVariant whole[] = {
      {"baseline jpeg", EncodeJpeg(3, 21, 2, 2, false, false, 96, 72)},
      {"progressive jpeg", EncodeJpeg(3, 22, 2, 2, true, false, 96, 72)},
      {"png", EncodePng(PNG_COLOR_TYPE_RGB, 8, 0, 23)}};
  for (const EncodedVariant& w : whole) {
    const size_t n = w.bytes.size();
    out.push_back({w.name + " cut at 3/5", w.bytes.substr(0, n * 3 / 5), true});
    out.push_back({w.name + " cut at 1/20", w.bytes.substr(0, n / 20), true});
    out.push_back({w.name + " without its last 2 bytes", w.bytes.substr(0, n - 2), true});
    // Garbage libjpeg notices (random bytes may also decode as valid codes).
    out.push_back({w.name + " with garbage inside",
                   std::string(w.bytes).replace(n / 2, 24, Noise(24, uint32_t(n))), true});
    out.push_back({w.name + " with a block of zeros",
                   std::string(w.bytes).replace(n * 2 / 5, 64, std::string(64, '\0')), true});
  }
  // WebP through OpenCV's own encoder: lossy (quality 80) and lossless (above
  // 100), with and without alpha; cut short it is refused whole.
  for (int channels : {3, 4}) {
    for (int quality : {80, 101}) {
      std::vector<uchar> webp;
      cv::imencode(".webp", MakeSoftBlobs(kWidth, kHeight, 24 + quality, channels), webp,
                   {cv::IMWRITE_WEBP_QUALITY, quality});
      const std::string name = "webp " + std::to_string(channels) + " channels, quality " +
                               std::to_string(quality);
      out.push_back({name, std::string(webp.begin(), webp.end())});
      out.push_back({name + " cut at 3/5", out.back().bytes.substr(0, webp.size() * 3 / 5), true});
    }
  }
  // An empty tEXt chunk after IHDR whose CRC is wrong: libpng only warns.
  out.push_back({"png with a damaged text chunk",
                 std::string(whole[2].bytes).insert(33, "\0\0\0\0tEXt\0\0\0\0", 12), true});
  out.push_back({"png signature then garbage", "\x89PNG\r\n\x1a\n" + Noise(200, 5), true});
  return out;
}
