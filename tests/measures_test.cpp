// The four measures against worked examples. The pipeline around them
// (smoothing, grey conversion, views) is pinned by the engine's differential
// test, which would fail on a change to either side.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <tuple>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include "measures.h"
#include "test_images.h"

TEST(MeasuresWorked, SmallImagesGiveHandDerivedFigures) {
  // Dot: Laplacian -1020 at the centre, 510 on the 4 edge centres, 0 at the
  // corners, so its variance is 231200 - (1020/9)^2 = 17686800/81; grey
  // values: variance 255^2*8/81 over mean 255/9 = 2040/9.
  const std::tuple<const char*, cv::Mat, std::array<double, 4>> cases[] = {
      {"dot 3x3", MakeDot3x3(), {510, 17686800.0 / 81, 0, 2040.0 / 9}},
      {"2x2 rows (10,20),(30,40)", cv::Mat_<std::uint8_t>({2, 2}, {10, 20, 30, 40}),
       {60, 2000, 0, 5}},
      {"4x4 bottom row 255", cv::repeat(cv::Mat_<std::uint8_t>({4, 1}, {0, 0, 0, 255}), 1, 4),
       {191.25, 77217.1875, 260100, 191.25}},
      {"black 6x4", MakeUniform(6, 4, 0), {0, 0, 0, NAN}},
      {"single pixel 200", MakeUniform(1, 1, 200), {0, 0, 0, 0}},
  };
  for (const auto& [name, image, expected] : cases) {
    SCOPED_TRACE(name);
    const cv::Mat copy = image.clone();
    const std::array<double, 4> got = {LaplaceMeasure(image), LaplaceVarianceMeasure(image),
                                       TenengradMeasure(image, 3), GrayLevelMeasure(image)};
    for (int i = 0; i < 4; ++i) {
      const double want = expected[i];
      // NaN stands for Gray-Level's undefined ratio on a black image.
      if (std::isnan(want)) EXPECT_TRUE(std::isnan(got[i])) << "measure " << i;
      else EXPECT_NEAR(want, got[i], 1e-9 * std::max(1.0, std::fabs(want))) << "measure " << i;
    }
    ReferenceFigures(image);
    EXPECT_EQ(0, cv::norm(image, copy, cv::NORM_INF)) << "the image must be left unchanged";
  }
}
