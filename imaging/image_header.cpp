#include "image_header.h"

#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <cstdlib>
#include <utility>

#include "image_formats.h"
#include "picture_reader.h"
#include "regular_file.h"

namespace focusrate {

namespace {

// Reads bytes at absolute offsets; every read either fills the whole
// request or fails, so the parsers below never see a short header.
class HeaderFile {
 public:
  explicit HeaderFile(const std::string& path) {
    bool notRegular;
    fd_ = OpenRegularFile(path, notRegular);
  }
  ~HeaderFile() { Close(); }
  HeaderFile(const HeaderFile&) = delete;
  HeaderFile& operator=(const HeaderFile&) = delete;

  bool IsOpen() const { return fd_ >= 0; }
  int Descriptor() const { return fd_; }

  bool Read(long long offset, unsigned char* out, size_t count) const {
    return ReadUpTo(offset, out, count) == count;
  }

  /// Reads what there is of count bytes; short only at the end of the file.
  size_t ReadUpTo(long long offset, unsigned char* out, size_t count) const {
    size_t got = 0;
    while (got < count) {
      ssize_t n = ::pread(fd_, out + got, count - got, offset + static_cast<long long>(got));
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    return got;
  }

 private:
  void Close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int fd_;
};

// The same reads over bytes in memory: a raw file's JPEG preview.
class HeaderBytes {
 public:
  explicit HeaderBytes(const std::string& bytes) : bytes_(bytes) {}
  bool Read(long long offset, unsigned char* out, size_t count) const {
    if (offset < 0 || static_cast<unsigned long long>(offset) + count > bytes_.size()) return false;
    std::memcpy(out, bytes_.data() + offset, count);
    return true;
  }

 private:
  const std::string& bytes_;
};

uint32_t Big16(const unsigned char* p) { return (p[0] << 8) | p[1]; }
uint32_t Big32(const unsigned char* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (p[2] << 8) | p[3];
}
uint32_t Little16(const unsigned char* p) { return (p[1] << 8) | p[0]; }
uint32_t Little24(const unsigned char* p) { return (uint32_t{p[2]} << 16) | (p[1] << 8) | p[0]; }
uint32_t Little32(const unsigned char* p) { return (uint32_t{p[3]} << 24) | Little24(p); }

bool Found(long long w, long long h, ImageExtent& extent) {
  extent.width = w;
  extent.height = h;
  return true;
}

// The signature must be followed by the 13-byte IHDR chunk; anything else is
// not a size, however many bytes follow.
bool PngExtent(const unsigned char* head, ImageExtent& extent) {
  if (std::memcmp(head + 8, "\0\0\0\x0DIHDR", 8) != 0) return false;
  return Found(Big32(head + 16), Big32(head + 20), extent);
}

// Walks the marker segments up to the first frame header (SOFn).
template <typename Bytes>
bool JpegExtent(const Bytes& file, ImageExtent& extent) {
  long long pos = 2;
  for (int segments = 0; segments < 10000; ++segments) {
    unsigned char m[9];
    if (!file.Read(pos, m, 2) || m[0] != 0xFF) return false;
    if (m[1] == 0xFF) {  // fill byte before a marker
      ++pos;
      continue;
    }
    const unsigned marker = m[1];
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {  // no length
      pos += 2;
      continue;
    }
    if (!file.Read(pos, m, 9)) return false;
    const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 &&
                       marker != 0xC8 && marker != 0xCC;
    if (frame) return Found(Big16(m + 7), Big16(m + 5), extent);
    if (marker == 0xD9 || marker == 0xDA) return false;  // no frame before the data
    pos += 2 + Big16(m + 2);
  }
  return false;
}

bool BmpExtent(const unsigned char* head, ImageExtent& extent) {
  if (Little32(head + 14) == 12)  // OS/2 core header: 16-bit sizes
    return Found(Little16(head + 18), Little16(head + 20), extent);
  const long long h = static_cast<int32_t>(Little32(head + 22));  // negative: top-down
  return Found(static_cast<int32_t>(Little32(head + 18)), std::llabs(h), extent);
}

bool IsPnmSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// "P5 640 480 255", with # comments between the numbers.
bool PnmExtent(const HeaderFile& file, ImageExtent& extent) {
  unsigned char text[512];
  const size_t n = file.ReadUpTo(0, text, sizeof text);
  long long numbers[2];
  size_t i = 2;
  for (long long& number : numbers) {
    for (;;) {
      while (i < n && IsPnmSpace(text[i])) ++i;
      if (i < n && text[i] == '#') {
        while (i < n && text[i] != '\n' && text[i] != '\r') ++i;
        continue;
      }
      break;
    }
    if (i >= n || text[i] < '0' || text[i] > '9') return false;
    number = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9' && number < (1LL << 40))
      number = number * 10 + (text[i++] - '0');
  }
  return Found(numbers[0], numbers[1], extent);
}

bool WebpExtent(const unsigned char* head, ImageExtent& extent) {
  if (std::memcmp(head + 12, "VP8 ", 4) == 0)
    return Found(Little16(head + 26) & 0x3FFF, Little16(head + 28) & 0x3FFF, extent);
  if (std::memcmp(head + 12, "VP8L", 4) == 0) {
    const uint32_t bits = Little32(head + 21);
    return Found((bits & 0x3FFF) + 1, ((bits >> 14) & 0x3FFF) + 1, extent);
  }
  if (std::memcmp(head + 12, "VP8X", 4) == 0)
    return Found(Little24(head + 24) + 1LL, Little24(head + 27) + 1LL, extent);
  return false;
}

// The first directory's ImageWidth (256) and ImageLength (257) tags.
bool TiffExtent(const HeaderFile& file, bool little, ImageExtent& extent) {
  auto u16 = [little](const unsigned char* p) { return little ? Little16(p) : Big16(p); };
  auto u32 = [little](const unsigned char* p) { return little ? Little32(p) : Big32(p); };
  unsigned char b[12];
  if (!file.Read(4, b, 4)) return false;
  const long long dir = u32(b);
  if (!file.Read(dir, b, 2)) return false;
  const unsigned count = u16(b);
  long long w = -1, h = -1;
  for (unsigned k = 0; k < count && (w < 0 || h < 0); ++k) {
    if (!file.Read(dir + 2 + 12LL * k, b, 12)) return false;
    const unsigned tag = u16(b), type = u16(b + 2);
    if (tag != 256 && tag != 257) continue;
    const long long v = type == 3 ? u16(b + 8) : type == 4 ? u32(b + 8) : -1;
    if (v < 0) return false;
    (tag == 256 ? w : h) = v;
  }
  return w >= 0 && h >= 0 && Found(w, h, extent);
}

// The rendition's size as its library reads it from the header, for a raw
// preview from the JPEG's, turned as the raw.
bool PictureExtent(PictureLibrary library, const HeaderFile& file, const DecodeOptions& options,
                   ImageExtent& extent) {
  const PictureOutcome picture = ReadPicture(library, file.Descriptor(), options, nullptr);
  if (!WasDecoded(picture.status)) return false;
  if (picture.jpeg.empty()) return Found(picture.rendition.width, picture.rendition.height, extent);
  if (!JpegExtent(HeaderBytes(picture.jpeg), extent)) return false;
  if (picture.orientation >= 5) std::swap(extent.width, extent.height);
  return true;
}

bool FullExtent(const std::string& path, ImageExtent& extent, const DecodeOptions& options) {
  HeaderFile file(path);
  if (!file.IsOpen()) return false;
  if (HasRawExtension(path)) return PictureExtent(PictureLibrary::LibRaw, file, options, extent);
  // A short file still gets its signature looked at; the bytes it lacks
  // read as zero, which no parser below takes for a large size.
  unsigned char head[kHeifSignatureBytes] = {};
  const size_t got = file.ReadUpTo(0, head, sizeof head);
  if (HasHeifExtension(path) || IsHeifSignature(head, got))
    return PictureExtent(PictureLibrary::Libheif, file, options, extent);
  if (got < 4) return false;
  if (std::memcmp(head, "\x89PNG\r\n\x1a\n", 8) == 0) return PngExtent(head, extent);
  if (head[0] == 0xFF && head[1] == 0xD8) return JpegExtent(file, extent);
  if (head[0] == 'B' && head[1] == 'M') return BmpExtent(head, extent);
  if (head[0] == 'P' && head[1] >= '1' && head[1] <= '6') return PnmExtent(file, extent);
  if (std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "WEBP", 4) == 0)
    return WebpExtent(head, extent);
  if (Big32(head) == 0x59A66A95) return Found(Big32(head + 4), Big32(head + 8), extent);
  if (std::memcmp(head, "II*\0", 4) == 0) return TiffExtent(file, true, extent);
  if (std::memcmp(head, "MM\0*", 4) == 0) return TiffExtent(file, false, extent);
  return false;
}

}  // namespace

bool ReadImageExtent(const std::string& path, ImageExtent& extent, const DecodeOptions& options) {
  if (!FullExtent(path, extent, options)) return false;
  extent.width = ReducedSide(extent.width, options.scale);
  extent.height = ReducedSide(extent.height, options.scale);
  return true;
}

}  // namespace focusrate
