#include "reduced_copy.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if FOCUSRATE_X86_LOOPS
#include <emmintrin.h>
#endif

#include "exif_orientation.h"

namespace focusrate {

cv::Size ReducedSize(cv::Size image, int longSide) {
  const double scale = std::min(1.0, static_cast<double>(longSide) / std::max(image.width, image.height));
  return {std::max(1, static_cast<int>(std::lround(image.width * scale))),
          std::max(1, static_cast<int>(std::lround(image.height * scale)))};
}

namespace {

// The rows of an image already decoded, read where they are.
class HeldRows : public PixelSink {
 public:
  explicit HeldRows(const cv::Mat& image) : image_(image) {}
  void Begin(int, int) override {}
  uint8_t* RowBuffer(int y) override { return const_cast<uint8_t*>(image_.ptr<uint8_t>(y)); }
  void RowDone(int) override {}

 private:
  const cv::Mat& image_;
};

// Adds a stored row's bytes to the sums, or sets them for a copy row's first
// stored row, so they are never cleared: a plain loop the compiler
// vectorises.
template <typename Sum>
void AddRow(const uint8_t* row, size_t bytes, bool first, Sum* sums) {
  if (first)
    for (size_t i = 0; i < bytes; ++i) sums[i] = row[i];
  else
    for (size_t i = 0; i < bytes; ++i) sums[i] = static_cast<Sum>(sums[i] + row[i]);
}

// The 16-bit sums serve all but the longest images, and this is most of what
// reducing a large one costs: also built for AVX2, picked as the program
// loads where the CPU has it, which takes a third of the time.
#if FOCUSRATE_X86_LOOPS
__attribute__((target_clones("avx2", "default")))
#endif
void AddRowNarrow(const uint8_t* row, size_t bytes, bool first, std::uint16_t* sums) {
  AddRow(row, bytes, first, sums);
}

// The mean of a run of pixels' sums, into one pixel of the copy: share is 1
// over the pixels the sums gathered. Within the decoders' limits (2^30
// pixels, 2^20 a side) a copy pixel gathers at most a few million stored
// pixels, so 32 bits hold their sum; a float is exact enough for a thumbnail.
#if FOCUSRATE_X86_LOOPS
// One pixel's three sums in the low lanes of a vector: this loop is most of
// a small image's thumbnail. The sums are padded, so the fourth lane read
// past a row's last pixel is there.
template <typename Sum>
[[gnu::always_inline]] inline void WriteMean(const Sum* sum, int pixels, float share, uint8_t* out) {
  const __m128i zero = _mm_setzero_si128();
  __m128i total = zero;
  for (int pixel = 0; pixel < pixels; ++pixel, sum += 3) {
    const __m128i loaded =
        sizeof(Sum) == 2 ? _mm_unpacklo_epi16(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(sum)), zero)
                         : _mm_loadu_si128(reinterpret_cast<const __m128i*>(sum));
    total = _mm_add_epi32(total, loaded);
  }
  const __m128 mean = _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(total), _mm_set1_ps(share)), _mm_set1_ps(0.5f));
  const __m128i words = _mm_packs_epi32(_mm_cvttps_epi32(mean), zero);
  const int bytes = _mm_cvtsi128_si32(_mm_packus_epi16(words, zero));
  std::memcpy(out, &bytes, 3);
}
#else
template <typename Sum>
[[gnu::always_inline]] inline void WriteMean(const Sum* sum, int pixels, float share, uint8_t* out) {
  std::uint32_t total[3] = {0, 0, 0};
  for (int pixel = 0; pixel < pixels; ++pixel, sum += 3)
    for (int channel = 0; channel < 3; ++channel) total[channel] += sum[channel];
  for (int channel = 0; channel < 3; ++channel)
    out[channel] = static_cast<uint8_t>(static_cast<float>(total[channel]) * share + 0.5f);
}
#endif

// The runs of a small image, where this matters most, are a few columns
// long: their loops unrolled.
template <typename Sum>
[[gnu::always_inline]] inline void WriteRunMean(const Sum* sum, int pixels, float share, uint8_t* out) {
  switch (pixels) {
    case 1: return WriteMean(sum, 1, share, out);
    case 2: return WriteMean(sum, 2, share, out);
    case 3: return WriteMean(sum, 3, share, out);
    case 4: return WriteMean(sum, 4, share, out);
    default: return WriteMean(sum, pixels, share, out);
  }
}

}  // namespace

cv::Mat Reduced(const cv::Mat& image, int longSide) {
  CV_Assert(image.type() == CV_8UC3);
  HeldRows rows(image);
  ReducingSink reducing(rows, longSide);
  reducing.Begin(image.cols, image.rows);
  for (int y = 0; y < image.rows; ++y) {
    reducing.RowBuffer(y);
    reducing.RowDone(y);
  }
  return reducing.Finish(1);
}

void ReducingSink::Begin(int width, int height) {
  next_.Begin(width, height);
  const cv::Size size = ReducedSize({width, height}, longSide_);
  copy_.create(size, CV_8UC3);  // every row is written: rows reach a sink to the last
  height_ = height;
  width_ = width;
  // Stored column x goes to the copy's column x * size.width / width: each
  // copy column gathers a run of stored columns.
  firstColumn_.assign(static_cast<size_t>(size.width) + 1, width);
  for (int x = width - 1; x >= 0; --x)
    firstColumn_[static_cast<size_t>(static_cast<long long>(x) * size.width / width)] = x;
  perColumn_.resize(static_cast<size_t>(size.width));
  for (int x = 0; x < size.width; ++x) perColumn_[x] = 1.0f / static_cast<float>(firstColumn_[x + 1] - firstColumn_[x]);
  // 16 bits hold the sum of up to 257 rows of bytes, which is what a copy
  // row gathers unless the image is over 120,000 pixels long. One more sum
  // pads the row for WriteMean.
  const int rowsPerCopyRow = (height + size.height - 1) / size.height + 1;
  narrow_.clear();
  wide_.clear();
  if (rowsPerCopyRow <= 65535 / 255)
    narrow_.resize(static_cast<size_t>(width) * 3 + 1);
  else
    wide_.resize(static_cast<size_t>(width) * 3 + 1);
  target_ = 0;
  rowsIn_ = 0;
}

void ReducingSink::RowDone(int y) {
  if (copy_.rows == height_ && copy_.cols == width_) {
    std::memcpy(copy_.ptr<uint8_t>(y), row_, static_cast<size_t>(width_) * 3);  // not reduced at all
    next_.RowDone(y);
    return;
  }
  const int target = static_cast<int>(static_cast<long long>(y) * copy_.rows / height_);
  if (target != target_) {
    FlushRow();
    target_ = target;
  }
  const size_t bytes = static_cast<size_t>(width_) * 3;  // the padding stays 0
  if (wide_.empty())
    AddRowNarrow(row_, bytes, rowsIn_ == 0, narrow_.data());
  else
    AddRow(row_, bytes, rowsIn_ == 0, wide_.data());
  ++rowsIn_;
  next_.RowDone(y);
}

void ReducingSink::FlushRow() {
  if (rowsIn_ == 0) return;
  if (wide_.empty())
    Spread(narrow_.data());
  else
    Spread(wide_.data());
  rowsIn_ = 0;
}

template <typename Sum>
void ReducingSink::Spread(const Sum* sums) {
  uint8_t* out = copy_.ptr<uint8_t>(target_);
  // Multiplications, not divisions: this runs for every pixel of the copy.
  const float perRow = 1.0f / static_cast<float>(rowsIn_);
  for (int x = 0; x < copy_.cols; ++x) {
    const int x0 = firstColumn_[x], x1 = firstColumn_[x + 1];
    WriteRunMean(sums + static_cast<size_t>(x0) * 3, x1 - x0, perColumn_[x] * perRow, out + x * 3);
  }
}

cv::Mat ReducingSink::Finish(int orientation) {
  FlushRow();
  ApplyOrientation(orientation, copy_);
  return copy_;
}

}  // namespace focusrate
