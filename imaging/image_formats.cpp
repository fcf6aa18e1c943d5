#include "image_formats.h"

#include <algorithm>
#include <cstring>

namespace focusrate {

namespace {

// The extensions OpenCV's image decoders register (through cv::imread or
// the direct decoders), LibRaw's and libheif's; lower case.
constexpr const char* kOpenCvExtensions[] = {
    "jpg", "jpeg", "jpe", "png", "tif", "tiff", "webp", "bmp", "dib", "pbm",
    "pgm", "ppm", "pnm", "pxm", "sr",  "ras",  "exr",  "hdr", "pic", "jp2"};
constexpr const char* kRawExtensions[] = {
    "dng", "cr2", "cr3", "crw", "nef", "nrw", "arw", "srf", "sr2", "orf", "rw2", "raf",
    "pef", "srw", "x3f", "3fr", "iiq", "erf", "kdc", "dcr", "mrw", "mos", "rwl"};
constexpr const char* kHeifExtensions[] = {"heic", "heif", "hif", "avif"};
constexpr const char* kHeifBrands[] = {"heic", "heix", "heim", "heis", "hevc", "hevx",
                                       "hevm", "hevs", "mif1", "msf1", "avif", "avis"};

std::string LowerExtension(const std::string& name) {
  const std::string::size_type dot = name.rfind('.');
  if (dot == std::string::npos) return "";
  std::string ext = name.substr(dot + 1);
  for (char& c : ext)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ext;
}

template <size_t N>
bool Listed(const std::string& word, const char* const (&list)[N]) {
  return std::any_of(std::begin(list), std::end(list), [&](const char* w) { return word == w; });
}

}  // namespace

bool HasRawExtension(const std::string& name) { return Listed(LowerExtension(name), kRawExtensions); }

bool HasHeifExtension(const std::string& name) { return Listed(LowerExtension(name), kHeifExtensions); }

bool HasRatedExtension(const std::string& name) {
  const std::string ext = LowerExtension(name);
  return Listed(ext, kOpenCvExtensions) || Listed(ext, kRawExtensions) || Listed(ext, kHeifExtensions);
}

// size(4) "ftyp" major(4) minor-version(4) compatible brands(4 each) to the box's end.
bool IsHeifSignature(const unsigned char* head, size_t size) {
  if (size < 12 || std::memcmp(head + 4, "ftyp", 4) != 0) return false;
  const size_t box = (size_t{head[0]} << 24) | (size_t{head[1]} << 16) | (head[2] << 8) | head[3];
  const size_t end = std::min(box, size);
  for (size_t at = 8; at + 4 <= end; at += at == 8 ? 8 : 4)
    if (Listed(std::string(reinterpret_cast<const char*>(head + at), 4), kHeifBrands)) return true;
  return false;
}

}  // namespace focusrate
