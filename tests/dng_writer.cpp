#include "dng_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace {

constexpr int kBlack = 512, kWhite = 16383;
constexpr double kNeutral[3] = {0.5, 1, 0.7};  // red, green, blue

std::string Little(uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
  return out;
}

struct Entry {
  uint16_t tag, type;
  uint32_t count;
  std::string data;  // little-endian values
};

Entry Numbers(uint16_t tag, uint16_t type, std::vector<uint32_t> values) {
  const int size = type == 1 ? 1 : type == 3 ? 2 : 4;
  Entry e{tag, type, static_cast<uint32_t>(values.size()), ""};
  for (uint32_t v : values) e.data += Little(v, size);
  return e;
}

// Type 5 (unsigned) or 10 (signed) rationals over 10000.
Entry Rationals(uint16_t tag, uint16_t type, std::vector<double> values) {
  Entry e{tag, type, static_cast<uint32_t>(values.size()), ""};
  for (double v : values)
    e.data += Little(static_cast<uint32_t>(std::lround(v * 10000)), 4) + Little(10000, 4);
  return e;
}

Entry Text(uint16_t tag, const std::string& text) {
  return {tag, 2, static_cast<uint32_t>(text.size() + 1), text + '\0'};
}

// A directory placed at offset `at`: entries sorted by tag, values over four
// bytes after it. Its size does not depend on the values.
std::string Directory(std::vector<Entry> entries, uint32_t at) {
  std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
  std::string dir = Little(static_cast<uint32_t>(entries.size()), 2), extra;
  const uint32_t dataAt = at + 2 + 12 * static_cast<uint32_t>(entries.size()) + 4;
  for (const Entry& e : entries) {
    dir += Little(e.tag, 2) + Little(e.type, 2) + Little(e.count, 4);
    if (e.data.size() <= 4) {
      dir += e.data + std::string(4 - e.data.size(), '\0');
    } else {
      dir += Little(dataAt + static_cast<uint32_t>(extra.size()), 4);
      extra += e.data + std::string(e.data.size() % 2, '\0');
    }
  }
  return dir + Little(0, 4) + extra;
}

std::string Mosaic(const DngSpec& spec) {
  std::string bytes;
  for (int y = 0; y < spec.scene.rows; ++y) {
    for (int x = 0; x < spec.scene.cols; ++x) {
      const char colour = spec.cfa[(y % 2) * 2 + x % 2];
      const int c = colour == 'R' ? 0 : colour == 'G' ? 1 : 2;
      const double v = spec.scene.at<cv::Vec3b>(y, x)[2 - c] / 255.0;
      bytes += Little(static_cast<uint32_t>(kBlack + std::lround((kWhite - kBlack) *
                                                                 std::pow(v, 2.2) * kNeutral[c])), 2);
    }
  }
  return bytes;
}

std::string PreviewBytes(const DngSpec& spec) {
  if (spec.jpegPreview) {
    std::vector<uint8_t> jpeg;
    cv::imencode(".jpg", spec.preview, jpeg);
    return std::string(jpeg.begin(), jpeg.end());
  }
  cv::Mat rgb;
  cv::cvtColor(spec.preview, rgb, cv::COLOR_BGR2RGB);
  return std::string(rgb.ptr<char>(), rgb.total() * 3);
}

}  // namespace

std::string MakeDng(const DngSpec& spec) {
  const std::string preview = PreviewBytes(spec), raw = Mosaic(spec);
  std::vector<uint32_t> cfa;
  for (int i = 0; i < 4; ++i) cfa.push_back(spec.cfa[i] == 'R' ? 0 : spec.cfa[i] == 'G' ? 1 : 2);
  const uint32_t w = spec.scene.cols, h = spec.scene.rows;
  const uint32_t pw = spec.preview.cols, ph = spec.preview.rows;
  // The offsets change no size: lay out with zeros, then again with them.
  auto layout = [&](uint32_t subAt, uint32_t previewAt, uint32_t rawAt) {
    const std::vector<Entry> first = {
        Numbers(254, 4, {1}), Numbers(256, 4, {pw}), Numbers(257, 4, {ph}),
        Numbers(258, 3, {8, 8, 8}), Numbers(259, 3, {spec.jpegPreview ? 7u : 1u}),
        Numbers(262, 3, {spec.jpegPreview ? 6u : 2u}), Text(271, "Focusrate"), Text(272, "Test"),
        Numbers(273, 4, {previewAt}), Numbers(274, 3, {static_cast<uint32_t>(spec.orientation)}),
        Numbers(277, 3, {3}), Numbers(278, 4, {ph}),
        Numbers(279, 4, {static_cast<uint32_t>(preview.size())}), Numbers(284, 3, {1}),
        Numbers(330, 4, {subAt}), Numbers(50706, 1, {1, 4, 0, 0}),
        Text(50708, "Focusrate Test"),
        Rationals(50721, 10, {3.2406, -1.5372, -0.4986, -0.9689, 1.8758, 0.0415, 0.0557, -0.2040, 1.0570}),
        Rationals(50728, 5, {kNeutral[0], kNeutral[1], kNeutral[2]}), Numbers(50778, 3, {21})};
    const std::vector<Entry> sub = {
        Numbers(254, 4, {0}), Numbers(256, 4, {w}), Numbers(257, 4, {h}), Numbers(258, 3, {16}),
        Numbers(259, 3, {1}), Numbers(262, 3, {32803}), Numbers(273, 4, {rawAt}),
        Numbers(277, 3, {1}), Numbers(278, 4, {h}),
        Numbers(279, 4, {static_cast<uint32_t>(raw.size())}), Numbers(284, 3, {1}),
        Numbers(33421, 3, {2, 2}), Numbers(33422, 1, cfa), Numbers(50714, 4, {kBlack}),
        Numbers(50717, 4, {kWhite})};
    return std::make_pair(Directory(first, 8), Directory(sub, subAt));
  };
  auto sizes = layout(0, 0, 0);
  const uint32_t subAt = 8 + static_cast<uint32_t>(sizes.first.size());
  const uint32_t previewAt = subAt + static_cast<uint32_t>(sizes.second.size());
  const auto dirs = layout(subAt, previewAt, previewAt + static_cast<uint32_t>(preview.size()));
  return "II*" + std::string(1, '\0') + Little(8, 4) + dirs.first + dirs.second + preview + raw;
}
