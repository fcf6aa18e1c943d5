// The engine must give exactly the reference's doubles, bit for bit, for any
// size, content, row step, thread count and loop flavour (AVX2 or scalar).
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include "engine.h"
#include "engine_sums.h"
#include "row_stream.h"
#include "measures.h"
#include "test_images.h"

namespace {

// Sanitised builds run a smaller share of the cases: every third generator
// per small size and fewer random sizes.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kGeneratorShare = 3, kRandomSizes = 16;
#else
constexpr int kGeneratorShare = 1, kRandomSizes = 80;
#endif

// %.17g round-trips a double, and tells -0 from 0, so equal text means
// equal bits.
std::string Text(const FocusFigures& f) {
  std::string text;
  for (double v : {f.laplace, f.varianceLap, f.tenengrad, f.grayLevel, f.varianceLapNorm, f.noise,
                   f.varianceLapDenoised, f.varianceLapDenoisedNorm, f.brenner,
                   f.sumModifiedLaplace, f.vollath, f.haarEnergy}) {
    char one[32];
    std::snprintf(one, sizeof one, " %.17g", v);
    text += one;
  }
  return text;
}

// The figures a pass of `set` gives: the classic ones leave the rest NaN.
FocusFigures Only(FigureSet set, const FocusFigures& f) {
  if (set == FigureSet::All) return f;
  return {f.laplace, f.varianceLap, f.tenengrad, f.grayLevel, f.varianceLapNorm};
}

// The routes every comparison takes: thread counts with the AVX2 loops
// (where the CPU has them) and the scalar loops alone, with stripes forced
// down to one row each, for each figure set.
struct Route {
  int threads;
  bool avx2;
  FigureSet set;
};
constexpr FigureSet kAll = FigureSet::All, kClassic = FigureSet::Classic;
const Route kRoutes[] = {{1, true, kAll},     {2, true, kAll},   {3, true, kClassic},
                         {1, true, kClassic}, {1, false, kAll}, {3, false, kClassic}};

std::ostream& operator<<(std::ostream& out, const Route& r) {
  return out << "threads " << r.threads << (r.avx2 ? "" : " (scalar)")
             << (r.set == kAll ? "" : " (classic)");
}

// Seed and channels are ignored by the generators that need none.
#define FIXED(expr) [](int w, int h, std::uint32_t, int ch) -> cv::Mat { return expr; }
using Generator = std::pair<const char*, cv::Mat (*)(int w, int h, std::uint32_t seed, int ch)>;
const Generator kGenerators[] = {
    {"zeros", FIXED(MakeUniform(w, h, 0, ch))},
    {"all 255", FIXED(MakeUniform(w, h, 255, ch))},
    {"checkerboard 1", FIXED(MakeCheckerboard(w, h, 1, ch))},
    {"checkerboard 3", FIXED(MakeCheckerboard(w, h, 3, ch))},
    {"ramp", FIXED(MakeRamp(w, h, ch))},
    {"noise", MakeNoise},
    // Values 0..4: means close to 0 stress Gray-Level.
    {"near-black",
     [](int w, int h, std::uint32_t s, int ch) -> cv::Mat { return MakeNoise(w, h, s, ch) / 64; }},
    {"soft blobs", MakeSoftBlobs},
};
#undef FIXED

// Adds one failure naming the generated image and route, and returns false,
// at the first route that differs from the reference. Every route runs on
// the image and on a copy inside a larger noise image, whose row step exceeds width x channels and
// whose neighbours just outside the view must be ignored; then row by row.
bool GeneratedMatches(const Generator& g, int w, int h, std::uint32_t seed, int channels) {
  const cv::Mat image = g.second(w, h, seed, channels);
  const FocusFigures reference = ReferenceFigures(image, kAll);
  cv::Mat canvas = MakeNoise(w + 7, h + 2, 5, channels);
  cv::Mat view = canvas(cv::Rect(3, 1, w, h));
  image.copyTo(view);
  for (const cv::Mat& input : {image, view}) {
    for (const Route& r : kRoutes) {
      const std::string want = Text(Only(r.set, reference));
      const engine_internal::EngineOptions options{r.threads, 1, r.avx2, false, r.set};
      const std::string got =
          Text(FiguresFromSums(engine_internal::TiledImageSums(input, UniformGrid(w, h, 1, 1), options).whole));
      if (got != want) {
        ADD_FAILURE() << g.first << " (seed " << seed << "), " << w << "x" << h << "x" << channels
                      << (input.data == image.data ? "" : " (view)") << ", " << r
                      << ": reference " << want << ", engine " << got;
        return false;
      }
    }
  }
  for (const auto& [threads, set] : {std::pair{1, kClassic}, std::pair{2, kAll}}) {
    RowStream stream(w, h, channels, threads, ChannelOrder::Bgr, set);
    for (int y = 0; y < h; ++y) {
      std::memcpy(stream.NextRow(), image.ptr(y), image.cols * image.elemSize());
      stream.RowDone();
    }
    const std::string want = Text(Only(set, reference)), streamed = Text(stream.Finish());
    if (streamed != want) {
      ADD_FAILURE() << g.first << " (seed " << seed << "), " << w << "x" << h << "x" << channels
                    << " row by row, threads " << threads << ": reference " << want
                    << ", engine " << streamed;
      return false;
    }
  }
  return true;
}

TEST(EngineDifferential, EverySizeUpTo20x20) {
  std::uint32_t seed = 1;
  for (int h = 1; h <= 20; ++h) {
    for (int w = 1; w <= 20; ++w) {
      for (std::size_t k = 0; k < std::size(kGenerators); ++k) {
        if ((k + w + h) % kGeneratorShare != 0) continue;
        for (int ch : {1, 3}) {
          if (!GeneratedMatches(kGenerators[k], w, h, ++seed, ch)) return;
        }
      }
    }
  }
}

// Seeded random sizes, then rows longer than the vector loops' 32-bit lane
// budget and widths just past a multiple of the vector step.
TEST(EngineDifferential, SeededSizesUpTo600AndWideRows) {
  std::mt19937 rng(20240611);
  for (int i = 0; i < kRandomSizes; ++i) {
    const int w = 1 + static_cast<int>(rng() % 600), h = 1 + static_cast<int>(rng() % 600);
    const Generator& g = kGenerators[i % std::size(kGenerators)];
    if (!GeneratedMatches(g, w, h, rng(), i % 3 == 0 ? 1 : 3)) return;
  }
  const int sizes[][2] = {{9000, 3}, {4113, 4}, {4096 + 16, 2}, {33, 40}, {47, 7}};
  std::uint32_t seed = 7;
  for (const auto& s : sizes) {
    for (const Generator& g : kGenerators)
      if (!GeneratedMatches(g, s[0], s[1], ++seed, 3)) return;
  }
}

// The public call with real thread counts (1200 x 900 is past the size where
// it starts using more than one thread), and the image kinds it refuses.
TEST(EngineDifferential, PublicCallAnyThreadCountAndRefusals) {
  const cv::Mat image = MakeSoftBlobs(1200, 900, 5, 3) + MakeNoise(1200, 900, 6, 3) / 8;
  const FocusFigures reference = ReferenceFigures(image, kAll);
  for (int threads : {-1, 0, 1, 2, 3, 8})
    EXPECT_EQ(Text(Only(kClassic, reference)), Text(FastFigures(image, threads))) << threads;
  EXPECT_EQ(Text(reference), Text(FastFigures(image, 2, ChannelOrder::Bgr, kAll)));
  EXPECT_THROW(FastFigures(cv::Mat(), 1), cv::Exception);
  EXPECT_THROW(FastFigures(cv::Mat(4, 4, CV_8UC4, cv::Scalar::all(9)), 1), cv::Exception);
  EXPECT_THROW(FastFigures(cv::Mat(4, 4, CV_16UC1, cv::Scalar::all(9)), 1), cv::Exception);
  // A decoder that gives up half way leaves the measuring thread waiting for
  // rows: the stream must still end.
  RowStream abandoned(64, 200, 3, 2);
  for (int y = 0; y < 100; ++y) {
    abandoned.NextRow();
    abandoned.RowDone();
  }
  // A grid wider than the image, and one whose edges run backwards.
  EXPECT_THROW(FastTiledSums(image, UniformGrid(1201, 900, 2, 2), 1), cv::Exception);
  EXPECT_THROW(FastTiledSums(image, TileGrid{{0, 700, 600, 1200}, {0, 900}}, 1), cv::Exception);
  const TileGrid map = UniformGrid(1200, 900, 11, 8);
  const std::vector<FocusFigures> wantTiles = ReferenceTileFigures(image, map, kAll);
  const TiledSums tiled = FastTiledSums(image, map, 2, kAll);
  for (size_t t = 0; t < wantTiles.size(); ++t)
    EXPECT_EQ(Text(wantTiles[t]), Text(FiguresFromSums(tiled.tiles[t]))) << "tile " << t;
}

// Tile figures equal the reference's tile by tile on every route, and the
// tiles add up to the whole image. Grids include more tiles than pixels
// (empty tiles: NaN), one tile, uneven tiles wider than a vector step and
// the 3x3 grid around a region, also one reaching past the image.
TEST(EngineDifferential, TilesMatchTheReference) {
  using GridOf = TileGrid (*)(int w, int h);
  const std::pair<const char*, GridOf> grids[] = {
      {"1x1", [](int w, int h) { return UniformGrid(w, h, 1, 1); }},
      {"3x2", [](int w, int h) { return UniformGrid(w, h, 3, 2); }},
      {"(w+2)x3", [](int w, int h) { return UniformGrid(w, h, w + 2, 3); }},
      {"2x(h+3)", [](int w, int h) { return UniformGrid(w, h, 2, h + 3); }},
      {"region", [](int w, int h) { return RegionGrid(w, h, cv::Rect(w / 4, h / 3, w / 2, h / 3)); }},
      {"region past the edge", [](int w, int h) { return RegionGrid(w, h, cv::Rect(w / 2, -2, w, h)); }},
  };
  const int sizes[][2] = {{1, 1}, {1, 9}, {9, 1}, {5, 4}, {20, 17}, {83, 21}};
  std::uint32_t seed = 11;
  for (const auto& [gridName, gridOf] : grids) {
    for (const auto& [w, h] : sizes) {
      for (int ch : {1, 3}) {
        ++seed;
        const cv::Mat image = (seed % 2 ? MakeNoise : MakeSoftBlobs)(w, h, seed, ch);
        const TileGrid grid = gridOf(w, h);
        const FocusFigures whole = ReferenceFigures(image, kAll);
        const std::vector<FocusFigures> tiles = ReferenceTileFigures(image, grid, kAll);
        for (const Route& r : kRoutes) {
          std::string want = Text(Only(r.set, whole));
          for (const FocusFigures& f : tiles) want += "\n" + Text(Only(r.set, f));
          const TiledSums tiled =
              engine_internal::TiledImageSums(image, grid, {r.threads, 1, r.avx2, false, r.set});
          std::string got = Text(FiguresFromSums(tiled.whole));
          for (const FocusSums& sums : tiled.tiles) got += "\n" + Text(FiguresFromSums(sums));
          ASSERT_EQ(want, got) << gridName << " grid, " << w << "x" << h << "x" << ch << ", " << r;
        }
      }
    }
  }
}

// A black tile beside a bright one sees a Laplacian across its edge, yet its
// normalised figure is NaN, not infinity; the bright tile's is finite. The
// smoothing spreads the bright half one column, so the black tile ends at 3.
TEST(EngineDifferential, BlackTileHasNoNormalisedFigure) {
  cv::Mat image = MakeUniform(8, 4, 0, 3);
  image.colRange(4, 8).setTo(cv::Scalar::all(200));
  const TiledSums tiled = FastTiledSums(image, TileGrid{{0, 3, 8}, {0, 4}}, 1);
  const FocusFigures black = FiguresFromSums(tiled.tiles[0]);
  EXPECT_GT(black.varianceLap, 0);
  EXPECT_TRUE(std::isnan(black.varianceLapNorm));
  EXPECT_TRUE(std::isfinite(FiguresFromSums(tiled.tiles[1]).varianceLapNorm));
}

// Edges at floor(i * size / n), with empty tiles when n exceeds the size,
// and a region clipped to the image (or emptied when it lies outside).
TEST(EngineDifferential, GridEdges) {
  const std::pair<TileGrid, TileGrid> cases[] = {
      {UniformGrid(10, 3, 4, 5), {{0, 2, 5, 7, 10}, {0, 0, 1, 1, 2, 3}}},
      {RegionGrid(10, 8, cv::Rect(-2, 3, 5, 10)), {{0, 0, 3, 10}, {0, 3, 8, 8}}},
      {RegionGrid(10, 8, cv::Rect(20, 2, 3, 3)), {{0, 0, 0, 10}, {0, 0, 0, 8}}},
  };
  for (const auto& [got, want] : cases) {
    EXPECT_EQ(want.xEdges, got.xEdges);
    EXPECT_EQ(want.yEdges, got.yEdges);
  }
}

}  // namespace
