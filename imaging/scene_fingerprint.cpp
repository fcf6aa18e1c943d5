#include "scene_fingerprint.h"

#include <algorithm>
#include <bitset>

namespace focusrate {

namespace {

constexpr int kColumns = 9;
constexpr int kRows = 8;
// Block means from a sparse grid of samples: about this many per block
// side, so a 24 MP frame costs a few hundred thousand reads, not 72 million.
constexpr int kSamplesPerSide = 48;

// [first, last) of block i of n over length; never empty while length >= 1.
int BlockStart(int i, int n, int length) { return std::min(i * length / n, length - 1); }

}  // namespace

std::uint64_t SceneFingerprint(const cv::Mat& image) {
  CV_Assert(image.depth() == CV_8U && !image.empty());
  const int channels = image.channels();
  double means[kRows][kColumns];
  for (int by = 0; by < kRows; ++by) {
    const int y0 = BlockStart(by, kRows, image.rows);
    const int y1 = std::max(y0 + 1, BlockStart(by + 1, kRows, image.rows));
    const int yStep = std::max(1, (y1 - y0) / kSamplesPerSide);
    for (int bx = 0; bx < kColumns; ++bx) {
      const int x0 = BlockStart(bx, kColumns, image.cols);
      const int x1 = std::max(x0 + 1, BlockStart(bx + 1, kColumns, image.cols));
      const int xStep = std::max(1, (x1 - x0) / kSamplesPerSide);
      long long sum = 0, count = 0;
      for (int y = y0; y < y1; y += yStep) {
        const uchar* row = image.ptr<uchar>(y);
        for (int x = x0; x < x1; x += xStep) {
          for (int c = 0; c < channels; ++c) sum += row[x * channels + c];
          ++count;
        }
      }
      means[by][bx] = static_cast<double>(sum) / static_cast<double>(count);
    }
  }
  std::uint64_t bits = 0;
  for (int by = 0; by < kRows; ++by)
    for (int bx = 0; bx + 1 < kColumns; ++bx)
      bits = (bits << 1) | (means[by][bx] > means[by][bx + 1] ? 1u : 0u);
  return bits;
}

int FingerprintDistance(std::uint64_t a, std::uint64_t b) {
  return static_cast<int>(std::bitset<64>(a ^ b).count());
}

}  // namespace focusrate
