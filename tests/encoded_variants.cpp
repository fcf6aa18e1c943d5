#include "encoded_variants.h"

// jpeglib.h needs the size_t and FILE of <cstdio> first.
#include <cstdio>

#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstdint>
#include <random>
#include <stdexcept>

#include <opencv2/core.hpp>

#include "test_images.h"

namespace {

constexpr int kWidth = 61, kHeight = 45;  // not a multiple of any block size

// A TIFF block with one directory entry, orientation, as cameras write it.
std::string ExifBlock(int orientation, bool little) {
  auto u16 = [little](int v) {
    const char lo = static_cast<char>(v & 0xFF), hi = static_cast<char>(v >> 8);
    return little ? std::string{lo, hi} : std::string{hi, lo};
  };
  auto u32 = [&](int v) { return little ? u16(v) + u16(0) : u16(0) + u16(v); };
  return std::string(little ? "II" : "MM") + u16(42) + u32(8) + u16(1) + u16(0x0112) +
         u16(3) + u32(1) + u16(orientation) + u16(0) + u32(0);
}

std::string RandomBytes(size_t count, uint32_t seed) {
  std::mt19937 rng(seed);
  std::string bytes(count, '\0');
  for (char& b : bytes) b = static_cast<char>(rng() & 0xFF);
  return bytes;
}

struct PngSpec {
  int colorType, depth;
  bool interlaced = false, trns = false, badText = false;
  int orientation = 0;  ///< 0: no eXIf chunk
};

void AppendToString(png_structp png, png_bytep data, png_size_t size) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), size);
}

std::string EncodePng(const PngSpec& s, uint32_t seed) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  const int channels = s.colorType == PNG_COLOR_TYPE_RGB         ? 3
                       : s.colorType == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                       : s.colorType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                  : 1;
  const size_t rowBytes = (static_cast<size_t>(kWidth) * channels * s.depth + 7) / 8;
  std::string pixels = RandomBytes(rowBytes * kHeight, seed);
  std::vector<png_bytep> rows(kHeight);
  for (int y = 0; y < kHeight; ++y) rows[y] = reinterpret_cast<png_bytep>(&pixels[rowBytes * y]);
  const std::string palette = RandomBytes(3 * 256, seed + 1), alphas = RandomBytes(256, seed + 2);
  const std::string exif = ExifBlock(s.orientation, true);
  png_text text{};
  if (setjmp(png_jmpbuf(png)) != 0) {
    png_destroy_write_struct(&png, &info);
    throw std::runtime_error("libpng could not write a test PNG");
  }
  png_set_write_fn(png, &out, AppendToString, nullptr);
  png_set_IHDR(png, info, kWidth, kHeight, s.depth, s.colorType,
               s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (s.colorType == PNG_COLOR_TYPE_PALETTE)
    png_set_PLTE(png, info, reinterpret_cast<png_const_colorp>(palette.data()), 1 << s.depth);
  if (s.trns) {
    png_color_16 key{};
    key.gray = key.red = key.blue = 1;
    png_set_tRNS(png, info, reinterpret_cast<png_const_bytep>(alphas.data()),
                 s.colorType == PNG_COLOR_TYPE_PALETTE ? (1 << s.depth) / 2 : 0, &key);
  }
  if (s.orientation != 0)
    png_set_eXIf_1(png, info, static_cast<png_uint_32>(exif.size()),
                   reinterpret_cast<png_bytep>(const_cast<char*>(exif.data())));
  if (s.badText) {
    text.compression = PNG_TEXT_COMPRESSION_NONE;
    text.key = const_cast<char*>("Comment");
    text.text = const_cast<char*>("a note whose bytes get damaged");
    png_set_text(png, info, &text, 1);
  }
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  if (s.badText) out[out.find("a note") + 3] ^= 0x20;  // its CRC no longer matches
  return out;
}

struct JpegSpec {
  int channels;            ///< 1 grey, 3 colour, 4 CMYK
  J_COLOR_SPACE stored;    ///< colour space in the file
  int hSample = 2, vSample = 2;  ///< of the first component
  bool progressive = false;
  int restartRows = 0;
  int quality = 90;
};

std::string EncodeJpeg(const JpegSpec& s, const cv::Mat& pixels) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = pixels.cols;
  cinfo.image_height = pixels.rows;
  cinfo.input_components = s.channels;
  cinfo.in_color_space = s.channels == 1 ? JCS_GRAYSCALE : s.channels == 3 ? JCS_EXT_BGR : JCS_CMYK;
  jpeg_set_defaults(&cinfo);
  jpeg_set_colorspace(&cinfo, s.stored);
  jpeg_set_quality(&cinfo, s.quality, TRUE);
  cinfo.comp_info[0].h_samp_factor = s.hSample;
  cinfo.comp_info[0].v_samp_factor = s.vSample;
  if (s.progressive) jpeg_simple_progression(&cinfo);
  cinfo.restart_in_rows = s.restartRows;
  jpeg_start_compress(&cinfo, TRUE);
  for (int y = 0; y < pixels.rows; ++y) {
    JSAMPROW row = const_cast<JSAMPROW>(pixels.ptr<uint8_t>(y));
    jpeg_write_scanlines(&cinfo, &row, 1);
  }
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
  std::string out(reinterpret_cast<char*>(buffer), size);
  std::free(buffer);
  return out;
}

// Soft shapes with some grain: smooth areas and fine detail both.
cv::Mat PhotoLike(int width, int height, int channels, uint32_t seed) {
  cv::Mat out;
  cv::addWeighted(MakeSoftBlobs(width, height, seed, channels), 0.8,
                  MakeNoise(width, height, seed + 1, channels), 0.2, 0, out);
  return out;
}

std::string WithExif(const std::string& jpeg, int orientation, bool little) {
  const std::string body = "Exif" + std::string(2, '\0') + ExifBlock(orientation, little);
  const size_t length = body.size() + 2;
  const std::string app1 = std::string("\xFF\xE1") + static_cast<char>(length >> 8) +
                           static_cast<char>(length & 0xFF) + body;
  return jpeg.substr(0, 2) + app1 + jpeg.substr(2);
}

}  // namespace

std::vector<EncodedVariant> PngVariants() {
  struct Kind {
    const char* name;
    int type;
    std::vector<int> depths;
    bool trns;
  };
  const Kind kinds[] = {
      {"grey", PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}, true},
      {"grey-alpha", PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}, false},
      {"rgb", PNG_COLOR_TYPE_RGB, {8, 16}, true},
      {"rgba", PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}, false},
      {"palette", PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}, true},
  };
  std::vector<EncodedVariant> out;
  uint32_t seed = 100;
  for (const Kind& k : kinds) {
    for (int depth : k.depths) {
      const std::string name = std::string("png ") + k.name + " " + std::to_string(depth);
      for (bool interlaced : {false, true}) {
        PngSpec spec{k.type, depth};
        spec.interlaced = interlaced;
        out.push_back({name + (interlaced ? " interlaced" : ""), EncodePng(spec, ++seed)});
      }
      if (k.trns) {
        PngSpec spec{k.type, depth};
        spec.trns = true;
        out.push_back({name + " tRNS", EncodePng(spec, ++seed)});
      }
    }
  }
  PngSpec bad{PNG_COLOR_TYPE_RGB, 8};
  bad.badText = true;
  out.push_back({"png with a damaged text chunk", EncodePng(bad, ++seed)});
  for (int orientation : {3, 6}) {
    PngSpec turned{PNG_COLOR_TYPE_RGB, 8};
    turned.orientation = orientation;
    out.push_back({"png eXIf orientation " + std::to_string(orientation), EncodePng(turned, ++seed)});
  }
  return out;
}

std::vector<EncodedVariant> JpegVariants() {
  const cv::Mat colour = PhotoLike(kWidth, kHeight, 3, 7);
  const cv::Mat grey = PhotoLike(kWidth, kHeight, 1, 8);
  cv::Mat cmyk;
  cv::merge(std::vector<cv::Mat>{colour, PhotoLike(kWidth, kHeight, 1, 9)}, cmyk);
  JpegSpec progressive{3, JCS_YCbCr};
  progressive.progressive = true;
  JpegSpec restarts{3, JCS_YCbCr};
  restarts.restartRows = 1;
  JpegSpec low{3, JCS_YCbCr};
  low.quality = 8;
  std::vector<EncodedVariant> out = {
      {"jpeg grey", EncodeJpeg({1, JCS_GRAYSCALE, 1, 1}, grey)},
      {"jpeg 4:4:4", EncodeJpeg({3, JCS_YCbCr, 1, 1}, colour)},
      {"jpeg 4:2:2", EncodeJpeg({3, JCS_YCbCr, 2, 1}, colour)},
      {"jpeg 4:2:0", EncodeJpeg({3, JCS_YCbCr, 2, 2}, colour)},
      {"jpeg 4:4:0", EncodeJpeg({3, JCS_YCbCr, 1, 2}, colour)},
      {"jpeg rgb", EncodeJpeg({3, JCS_RGB, 1, 1}, colour)},
      {"jpeg progressive", EncodeJpeg(progressive, colour)},
      {"jpeg restart markers", EncodeJpeg(restarts, colour)},
      {"jpeg quality 8", EncodeJpeg(low, colour)},
      {"jpeg cmyk", EncodeJpeg({4, JCS_CMYK, 1, 1}, cmyk)},
      {"jpeg ycck", EncodeJpeg({4, JCS_YCCK, 2, 2}, cmyk)},
  };
  const std::string plain = out[3].bytes;
  for (int orientation = 1; orientation <= 8; ++orientation) {
    for (bool little : {true, false}) {
      out.push_back({"jpeg exif orientation " + std::to_string(orientation) +
                         (little ? " II" : " MM"),
                     WithExif(plain, orientation, little)});
    }
  }
  return out;
}

std::string SmoothJpeg() { return EncodeJpeg({3, JCS_YCbCr}, PhotoLike(96, 72, 3, 21)); }

std::vector<EncodedVariant> DamagedVariants() {
  JpegSpec progressive{3, JCS_YCbCr};
  progressive.progressive = true;
  const std::vector<EncodedVariant> whole = {
      {"baseline jpeg", SmoothJpeg()},
      {"progressive jpeg", EncodeJpeg(progressive, PhotoLike(96, 72, 3, 22))},
      {"png", EncodePng({PNG_COLOR_TYPE_RGB, 8}, 23)},
  };
  std::vector<EncodedVariant> out;
  for (const EncodedVariant& v : whole) {
    const size_t n = v.bytes.size();
    for (double part : {0.05, 0.3, 0.6, 0.9}) {
      out.push_back({v.name + " cut at " + std::to_string(part),
                     v.bytes.substr(0, static_cast<size_t>(n * part))});
    }
    out.push_back({v.name + " without its last 2 bytes", v.bytes.substr(0, n - 2)});
    std::string garbage = v.bytes, zeros = v.bytes;
    garbage.replace(n / 2, 24, RandomBytes(24, static_cast<uint32_t>(n)));
    zeros.replace(n * 2 / 5, 64, std::string(64, '\0'));
    out.push_back({v.name + " with garbage inside", garbage});
    out.push_back({v.name + " with a block of zeros", zeros});
  }
  out.push_back({"png signature then garbage", "\x89PNG\r\n\x1a\n" + RandomBytes(200, 5)});
  return out;
}
