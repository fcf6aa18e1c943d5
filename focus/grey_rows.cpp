#include "grey_rows.h"

namespace engine_internal {

namespace {

// One loop for both sets: `if constexpr` drops the extended sums' work from
// the classic loop.
template <bool kExtended>
void SumsFrom(int x, const uint8_t* a, const uint8_t* b, const uint8_t* c, int width,
              FocusSums& sums) {
  int64_t laplace = 0, lap = 0, lapSquares = 0, gradient = 0, grey = 0, greySquares = 0;
  int64_t noiseSquares = 0, brenner = 0, sml = 0, vollath = 0, haar = 0;
  for (; x < width; ++x) {
    // Column (1, 2, 1), (-1, 2, -1) and (-1, 0, 1) at x - 1, x, x + 1.
    const int vl = a[x - 1] + 2 * b[x - 1] + c[x - 1];
    const int vm = a[x] + 2 * b[x] + c[x];
    const int vr = a[x + 1] + 2 * b[x + 1] + c[x + 1];
    const int dl = 2 * b[x - 1] - a[x - 1] - c[x - 1];
    const int dm = 2 * b[x] - a[x] - c[x];
    const int dr = 2 * b[x + 1] - a[x + 1] - c[x + 1];
    const int el = c[x - 1] - a[x - 1];
    const int em = c[x] - a[x];
    const int er = c[x + 1] - a[x + 1];
    const int lx4 = 2 * vm - vl - vr;
    const int ly4 = dl + 2 * dm + dr;
    const int l = a[x] + c[x] + b[x - 1] + b[x + 1] - 4 * b[x];
    const int gx = vr - vl;
    const int gy = el + 2 * em + er;
    laplace += std::abs(lx4) + std::abs(ly4);
    lap += l;
    lapSquares += l * l;
    gradient += gx * gx + gy * gy;
    grey += b[x];
    greySquares += b[x] * b[x];
    if constexpr (!kExtended) continue;
    // The noise mask is (-1, 2, -1) across the columns' (-1, 2, -1).
    const int noise = dl + dr - 2 * dm;
    noiseSquares += noise * noise;
    const int across = b[x + 1] - b[x - 1];
    brenner += across * across + em * em;
    const int ml = std::abs(2 * b[x] - b[x - 1] - b[x + 1]) + std::abs(dm);
    if (ml >= kSmlThreshold) sml += ml;
    vollath += b[x] * (b[x - 1] + b[x + 1] + a[x] + c[x]) - 2 * (b[x - 1] * b[x + 1] + a[x] * c[x]);
    // Haar details of the block b[x], b[x + 1] over c[x], c[x + 1], doubled.
    const int rows = b[x] + b[x + 1] - c[x] - c[x + 1];
    const int columns = b[x] - b[x + 1] + c[x] - c[x + 1];
    const int diagonal = b[x] - b[x + 1] - c[x] + c[x + 1];
    haar += rows * rows + columns * columns + diagonal * diagonal;
  }
  sums.laplace += laplace;
  sums.lap += lap;
  sums.lapSquares += lapSquares;
  sums.gradient += gradient;
  sums.grey += grey;
  sums.greySquares += greySquares;
  sums.noiseSquares += noiseSquares;
  sums.brenner += brenner;
  sums.sml += sml;
  sums.vollath += vollath;
  sums.haar += haar;
}

}  // namespace

void MeasureRowFrom(int x, const uint8_t* a, const uint8_t* b, const uint8_t* c, int width,
                    bool extended, FocusSums& sums) {
  if (extended) {
    SumsFrom<true>(x, a, b, c, width, sums);
  } else {
    SumsFrom<false>(x, a, b, c, width, sums);
  }
}

bool CpuHasAvx2() {
#ifdef FOCUSRATE_AVX2_LOOPS
  // cpu_init first: this may run before the runtime has probed the CPU.
  static const bool has = (__builtin_cpu_init(), __builtin_cpu_supports("avx2"));
  return has;
#else
  return false;
#endif
}

}  // namespace engine_internal
