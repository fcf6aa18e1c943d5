// A mirror of OpenCV 4.6's ExifReader (exif.cpp) for the one tag that
// matters here. Its quirks are kept on purpose: no check of the entry type,
// 32-bit offset arithmetic, string data read from offset 8 of the block when
// it fits in the entry, and an entry with data outside the block ending the
// reading with what was found before it.
#include "exif_orientation.h"

namespace focusrate {

namespace {

class ExifBlock {
 public:
  ExifBlock(const uint8_t* data, size_t size)
      : data_(data), size_(size), little_(size > 1 && data[0] == 'I' && data[1] == 'I') {}

  // False where OpenCV throws its parsing error.
  bool U16(size_t offset, uint32_t& value) const {
    if (offset + 1 >= size_) return false;
    value = little_ ? data_[offset] + (data_[offset + 1] << 8)
                    : (data_[offset] << 8) + data_[offset + 1];
    return true;
  }
  bool U32(size_t offset, uint32_t& value) const {
    if (offset + 3 >= size_) return false;
    const uint8_t* p = data_ + offset;
    value = little_ ? p[0] + (p[1] << 8) + (p[2] << 16) + (uint32_t{p[3]} << 24)
                    : (uint32_t{p[0]} << 24) + (p[1] << 16) + (p[2] << 8) + p[3];
    return true;
  }
  bool String(size_t entry) const {
    uint32_t length, offset = 8;
    if (!U32(entry + 4, length)) return false;
    if (length > 4 && !U32(entry + 8, offset)) return false;
    return offset <= size_ && size_t{offset} + length <= size_;
  }
  bool Rationals(size_t entry, int count) const {
    uint32_t at, value;
    if (!U32(entry + 8, at)) return false;
    for (int i = 0; i < count; ++i, at += 8) {
      if (!U32(at, value) || !U32(size_t{at} + 4, value)) return false;
    }
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  bool little_;
};

// Whether OpenCV parses the entry's data without error; tags it does not
// know are not looked at.
bool EntryParses(const ExifBlock& block, uint32_t tag, size_t entry) {
  uint32_t value;
  switch (tag) {
    case 0x010E: case 0x010F: case 0x0110: case 0x0131: case 0x0132: case 0x8298:
      return block.String(entry);
    case 0x011A: case 0x011B: return block.Rationals(entry, 1);
    case 0x013E: return block.Rationals(entry, 2);
    case 0x0211: return block.Rationals(entry, 3);
    case 0x013F: case 0x0214: return block.Rationals(entry, 6);
    case 0x0128: case 0x0213: return block.U16(entry + 8, value);
    default: return true;
  }
}

}  // namespace

int ExifOrientation(const uint8_t* data, size_t size) {
  constexpr uint32_t kOrientationTag = 0x0112, kTiffMark = 0x2A;
  const ExifBlock block(data, size);
  uint32_t mark, offset, count;
  if (size == 0 || !block.U16(2, mark) || mark != kTiffMark) return 1;
  if (!block.U32(4, offset) || !block.U16(offset, count)) return 1;
  offset += 2;
  for (uint32_t i = 0; i < count; ++i, offset += 12) {
    uint32_t tag, value;
    if (!block.U16(offset, tag)) return 1;
    if (tag == kOrientationTag) return block.U16(size_t{offset} + 8, value) ? value : 1;
    if (!EntryParses(block, tag, offset)) return 1;
  }
  return 1;
}

void ApplyOrientation(int orientation, cv::Mat& image) {
  if (orientation >= 5 && orientation <= 8) cv::transpose(image, image);
  switch (orientation) {
    case 2: case 6: cv::flip(image, image, 1); break;
    case 3: case 7: cv::flip(image, image, -1); break;
    case 4: case 8: cv::flip(image, image, 0); break;
    default: break;
  }
}

}  // namespace focusrate
