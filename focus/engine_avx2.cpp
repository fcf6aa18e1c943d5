// The engine's vector loops, 16 pixels a step in 16-bit lanes. Compiled with
// -mavx2 and only called when the CPU has AVX2; each loop but MeasureRow
// stops before the last partial step and leaves it to the scalar loop in
// engine.cpp.
#include <immintrin.h>

#include <cstddef>

#include "engine_kernels.h"

namespace engine_internal {
namespace avx2 {
namespace {

// 16 bytes from p, widened to 16 unsigned 16-bit lanes.
__m256i Widen(const uint8_t* p) {
  return _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
}

__m256i Load(const uint16_t* p) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// Eight 32-bit lanes, summed exactly.
int64_t Total(__m256i v) {
  const __m256i wide = _mm256_add_epi64(_mm256_cvtepi32_epi64(_mm256_castsi256_si128(v)),
                                        _mm256_cvtepi32_epi64(_mm256_extracti128_si256(v, 1)));
  alignas(32) int64_t lanes[4];
  _mm256_store_si256(reinterpret_cast<__m256i*>(lanes), wide);
  return lanes[0] + lanes[1] + lanes[2] + lanes[3];
}

// 16 lanes of (l + 2 m + r + 8) >> 4: the horizontal pass and its rounding.
__m256i SmoothAt(const uint16_t* s) {
  const __m256i sum = _mm256_add_epi16(_mm256_add_epi16(Load(s - 1), Load(s + 1)),
                                       _mm256_slli_epi16(Load(s), 1));
  return _mm256_srli_epi16(_mm256_add_epi16(sum, _mm256_set1_epi16(8)), 4);
}

// 16 lanes below 256 narrowed to 16 bytes in order.
void StoreBytes(__m256i v, uint8_t* out) {
  const __m128i bytes = _mm_packus_epi16(_mm256_castsi256_si128(v), _mm256_extracti128_si256(v, 1));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
}

// Byte shuffles that gather channel ch of 16 pixels from the 16-byte part p
// of 48 interleaved bytes; -128 marks bytes that come from another part.
struct SplitMasks {
  int8_t at[3][3][16];
};

constexpr SplitMasks MakeSplitMasks() {
  SplitMasks m{};
  for (int ch = 0; ch < 3; ++ch) {
    for (int part = 0; part < 3; ++part) {
      for (int k = 0; k < 16; ++k) {
        const int pos = 3 * k + ch;
        m.at[ch][part][k] = static_cast<int8_t>(pos / 16 == part ? pos % 16 : -128);
      }
    }
  }
  return m;
}

constexpr SplitMasks kSplit = MakeSplitMasks();

__m128i Gather(const __m128i (&parts)[3], int ch) {
  __m128i out = _mm_setzero_si128();
  for (int part = 0; part < 3; ++part) {
    const __m128i mask = _mm_loadu_si128(reinterpret_cast<const __m128i*>(kSplit.at[ch][part]));
    out = _mm_or_si128(out, _mm_shuffle_epi8(parts[part], mask));
  }
  return out;
}

// Lane sums reach at most 2 * 2040^2 per step (the noise mask's squares;
// the gradient's 4 * 1020^2 is half that); 256 steps and a ragged last one
// stay below 2^31 before they are moved to 64 bits.
constexpr int kStepsPerFlush = 256;

// Per-lane sums of one row's figures, 32 bits a lane.
struct Lanes {
  __m256i laplace = _mm256_setzero_si256(), lap = laplace, lapSquares = laplace,
          gradient = laplace, grey = laplace, greySquares = laplace, noiseSquares = laplace,
          brenner = laplace, sml = laplace, vollath = laplace, haar = laplace;

  template <bool kExtended>
  void FlushInto(FocusSums& sums) const {
    sums.laplace += Total(laplace);
    sums.lap += Total(lap);
    sums.lapSquares += Total(lapSquares);
    sums.gradient += Total(gradient);
    sums.grey += Total(grey);
    sums.greySquares += Total(greySquares);
    if constexpr (!kExtended) return;
    sums.noiseSquares += Total(noiseSquares);
    sums.brenner += Total(brenner);
    sums.sml += Total(sml);
    sums.vollath += Total(vollath);
    sums.haar += Total(haar);
  }
};

// Adds the sums of the 16 pixels from x, the extended ones too when
// kExtended. Lanes cleared in `keep` add nothing: zeroed terms vanish in
// every sum and product.
template <bool kExtended>
inline void Step(const uint8_t* a, const uint8_t* b, const uint8_t* c, int x, __m256i keep,
                 Lanes& s) {
  const __m256i ones = _mm256_set1_epi16(1);
  const __m256i al = Widen(a + x - 1), am = Widen(a + x), ar = Widen(a + x + 1);
  const __m256i bl = Widen(b + x - 1), bm = Widen(b + x), br = Widen(b + x + 1);
  const __m256i cl = Widen(c + x - 1), cm = Widen(c + x), cr = Widen(c + x + 1);
  // Column (1, 2, 1) as v, (-1, 2, -1) as d, (-1, 0, 1) as e.
  const __m256i vl = _mm256_add_epi16(_mm256_add_epi16(al, cl), _mm256_slli_epi16(bl, 1));
  const __m256i vm = _mm256_add_epi16(_mm256_add_epi16(am, cm), _mm256_slli_epi16(bm, 1));
  const __m256i vr = _mm256_add_epi16(_mm256_add_epi16(ar, cr), _mm256_slli_epi16(br, 1));
  const __m256i dl = _mm256_sub_epi16(_mm256_slli_epi16(bl, 1), _mm256_add_epi16(al, cl));
  const __m256i dm = _mm256_sub_epi16(_mm256_slli_epi16(bm, 1), _mm256_add_epi16(am, cm));
  const __m256i dr = _mm256_sub_epi16(_mm256_slli_epi16(br, 1), _mm256_add_epi16(ar, cr));
  const __m256i el = _mm256_sub_epi16(cl, al);
  const __m256i em = _mm256_sub_epi16(cm, am);
  const __m256i er = _mm256_sub_epi16(cr, ar);
  const __m256i lx4 = _mm256_sub_epi16(_mm256_slli_epi16(vm, 1), _mm256_add_epi16(vl, vr));
  const __m256i ly4 = _mm256_add_epi16(_mm256_add_epi16(dl, dr), _mm256_slli_epi16(dm, 1));
  const __m256i l = _mm256_and_si256(
      keep, _mm256_sub_epi16(_mm256_add_epi16(_mm256_add_epi16(am, cm), _mm256_add_epi16(bl, br)),
                             _mm256_slli_epi16(bm, 2)));
  const __m256i gx = _mm256_and_si256(keep, _mm256_sub_epi16(vr, vl));
  const __m256i gy =
      _mm256_and_si256(keep, _mm256_add_epi16(_mm256_add_epi16(el, er), _mm256_slli_epi16(em, 1)));
  const __m256i absSum = _mm256_and_si256(
      keep, _mm256_add_epi16(_mm256_abs_epi16(lx4), _mm256_abs_epi16(ly4)));
  const __m256i g = _mm256_and_si256(keep, bm);
  s.laplace = _mm256_add_epi32(s.laplace, _mm256_madd_epi16(absSum, ones));
  s.lap = _mm256_add_epi32(s.lap, _mm256_madd_epi16(l, ones));
  s.lapSquares = _mm256_add_epi32(s.lapSquares, _mm256_madd_epi16(l, l));
  s.gradient = _mm256_add_epi32(
      s.gradient, _mm256_add_epi32(_mm256_madd_epi16(gx, gx), _mm256_madd_epi16(gy, gy)));
  s.grey = _mm256_add_epi32(s.grey, _mm256_madd_epi16(g, ones));
  s.greySquares = _mm256_add_epi32(s.greySquares, _mm256_madd_epi16(g, g));
  if constexpr (!kExtended) return;
  // The extended sums, in the order of the scalar loop.
  const __m256i noise =
      _mm256_and_si256(keep, _mm256_sub_epi16(_mm256_add_epi16(dl, dr), _mm256_slli_epi16(dm, 1)));
  s.noiseSquares = _mm256_add_epi32(s.noiseSquares, _mm256_madd_epi16(noise, noise));
  const __m256i across = _mm256_and_si256(keep, _mm256_sub_epi16(br, bl));
  const __m256i down = _mm256_and_si256(keep, em);
  s.brenner = _mm256_add_epi32(
      s.brenner, _mm256_add_epi32(_mm256_madd_epi16(across, across), _mm256_madd_epi16(down, down)));
  const __m256i ml = _mm256_add_epi16(
      _mm256_abs_epi16(_mm256_sub_epi16(_mm256_slli_epi16(bm, 1), _mm256_add_epi16(bl, br))),
      _mm256_abs_epi16(dm));
  const __m256i past = _mm256_cmpgt_epi16(ml, _mm256_set1_epi16(kSmlThreshold - 1));
  const __m256i kept = _mm256_and_si256(keep, _mm256_and_si256(past, ml));
  s.sml = _mm256_add_epi32(s.sml, _mm256_madd_epi16(kept, ones));
  // Zeroing the centre and the left and upper neighbours zeroes every product.
  const __m256i neighbours = _mm256_add_epi16(_mm256_add_epi16(bl, br), _mm256_add_epi16(am, cm));
  const __m256i pairs = _mm256_add_epi32(_mm256_madd_epi16(_mm256_and_si256(keep, bl), br),
                                         _mm256_madd_epi16(_mm256_and_si256(keep, am), cm));
  s.vollath = _mm256_add_epi32(
      s.vollath, _mm256_sub_epi32(_mm256_madd_epi16(g, neighbours), _mm256_slli_epi32(pairs, 1)));
  // Haar details of the block bm, br over cm, cr, doubled.
  const __m256i rows = _mm256_and_si256(
      keep, _mm256_sub_epi16(_mm256_add_epi16(bm, br), _mm256_add_epi16(cm, cr)));
  const __m256i columns = _mm256_and_si256(
      keep, _mm256_add_epi16(_mm256_sub_epi16(bm, br), _mm256_sub_epi16(cm, cr)));
  const __m256i diagonal = _mm256_and_si256(
      keep, _mm256_sub_epi16(_mm256_sub_epi16(bm, br), _mm256_sub_epi16(cm, cr)));
  s.haar = _mm256_add_epi32(
      s.haar, _mm256_add_epi32(_mm256_add_epi32(_mm256_madd_epi16(rows, rows),
                                                _mm256_madd_epi16(columns, columns)),
                               _mm256_madd_epi16(diagonal, diagonal)));
}

template <bool kExtended>
void MeasureWholeRow(const uint8_t* a, const uint8_t* b, const uint8_t* c, int width,
                     FocusSums& sums) {
  const __m256i all = _mm256_set1_epi16(-1);
  Lanes lanes;
  int steps = 0, x = 0;
  for (; x + 16 <= width; x += 16, ++steps) {
    if (steps == kStepsPerFlush) {
      lanes.FlushInto<kExtended>(sums);
      lanes = Lanes();
      steps = 0;
    }
    Step<kExtended>(a, b, c, x, all, lanes);
  }
  // A ragged end is one more step over the last 16 pixels, keeping only the
  // lanes not yet counted: tiles are measured row segment by segment, and a
  // scalar tail on each would cost more than the step.
  if (x < width) {
    const int from = width - 16;
    const __m256i lane = _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    Step<kExtended>(a, b, c, from, _mm256_cmpgt_epi16(lane, _mm256_set1_epi16(x - from - 1)),
                    lanes);
  }
  lanes.FlushInto<kExtended>(sums);
}

}  // namespace

int MeasureRow(const uint8_t* a, const uint8_t* b, const uint8_t* c, int width, bool extended,
               FocusSums& sums) {
  if (width < 16) return 0;
  if (extended) {
    MeasureWholeRow<true>(a, b, c, width, sums);
  } else {
    MeasureWholeRow<false>(a, b, c, width, sums);
  }
  return width;
}

int SplitChannels(const uint8_t* bgr, int width, uint8_t* c0, uint8_t* c1, uint8_t* c2) {
  int x = 0;
  for (; x + 16 <= width; x += 16) {
    const uint8_t* p = bgr + 3 * static_cast<ptrdiff_t>(x);
    const __m128i parts[3] = {_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)),
                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)),
                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32))};
    _mm_storeu_si128(reinterpret_cast<__m128i*>(c0 + x), Gather(parts, 0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(c1 + x), Gather(parts, 1));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(c2 + x), Gather(parts, 2));
  }
  return x;
}

int SumColumns(const uint8_t* top, const uint8_t* mid, const uint8_t* bottom, int width,
               uint16_t* sum) {
  int x = 0;
  for (; x + 16 <= width; x += 16) {
    const __m256i s = _mm256_add_epi16(_mm256_add_epi16(Widen(top + x), Widen(bottom + x)),
                                       _mm256_slli_epi16(Widen(mid + x), 1));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(sum + x), s);
  }
  return x;
}

int SmoothGreyColour(const uint16_t* c0, const uint16_t* c1, const uint16_t* c2, int width,
                     uint8_t* grey) {
  // Pairs for madd: (c0, c1) by (9798, 19235) and (c2, 1) by (3735, 2^14),
  // so the rounding constant rides along with the third weight.
  const __m256i w01 = _mm256_set1_epi32((19235 << 16) | 9798);
  const __m256i w2r = _mm256_set1_epi32((16384 << 16) | 3735);
  const __m256i ones = _mm256_set1_epi16(1);
  int x = 0;
  for (; x + 16 <= width; x += 16) {
    const __m256i s0 = SmoothAt(c0 + x), s1 = SmoothAt(c1 + x), s2 = SmoothAt(c2 + x);
    const __m256i lo = _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpacklo_epi16(s0, s1), w01),
                                        _mm256_madd_epi16(_mm256_unpacklo_epi16(s2, ones), w2r));
    const __m256i hi = _mm256_add_epi32(_mm256_madd_epi16(_mm256_unpackhi_epi16(s0, s1), w01),
                                        _mm256_madd_epi16(_mm256_unpackhi_epi16(s2, ones), w2r));
    // unpack and pack both work within 128-bit halves, so pixel order returns.
    const __m256i y = _mm256_packus_epi32(_mm256_srli_epi32(lo, 15), _mm256_srli_epi32(hi, 15));
    StoreBytes(y, grey + x);
  }
  return x;
}

int SmoothGreyMono(const uint16_t* sum, int width, uint8_t* grey) {
  int x = 0;
  for (; x + 16 <= width; x += 16) StoreBytes(SmoothAt(sum + x), grey + x);
  return x;
}

}  // namespace avx2
}  // namespace engine_internal
