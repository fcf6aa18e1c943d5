// The measures against worked examples and the noise model against noise
// of a known size. The pipeline around them
// (smoothing, grey conversion, views) is pinned by the engine's differential
// test, which would fail on a change to either side.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <tuple>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

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

// By hand, borders mirrored without repeating the edge pixel. Row 63 50 30 2
// (a column gives the same): differences two apart 0, -33, -48, 0; modified
// Laplacian 26, 7, 8, 56 (7 is under the threshold of 8); Vollath per pixel
// g (left + right) / 2 - left right = 650, 435, 680, -840; Haar (g - right)^2
// = 169, 400, 784, 784. Dot: no difference two apart (the mirror repeats
// 255 on both sides), modified Laplacian 1020 at the centre and 510 on each
// edge centre, Vollath -255^2 on each edge centre, and every 2x2 block holds
// the 255 once: 255^2 - 255^2 / 4.
TEST(MeasuresWorked, LiteratureFiguresByHand) {
  const cv::Mat row = cv::Mat_<std::uint8_t>({1, 4}, {63, 50, 30, 2});
  const std::tuple<const char*, cv::Mat, std::array<double, 4>> cases[] = {
      {"row 63 50 30 2", row, {3393.0 / 4, 90.0 / 4, 925.0 / 4, 2137.0 / 4}},
      {"that row as a column", row.t(), {3393.0 / 4, 90.0 / 4, 925.0 / 4, 2137.0 / 4}},
      {"dot 3x3", MakeDot3x3(), {0, 3060.0 / 9, -260100.0 / 9, 65025.0 * 3 / 4}},
  };
  for (const auto& [name, image, expected] : cases) {
    SCOPED_TRACE(name);
    const std::array<double, 4> got = {BrennerMeasure(image), SumModifiedLaplaceMeasure(image),
                                       VollathMeasure(image), HaarEnergyMeasure(image)};
    for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(expected[i], got[i]) << "measure " << i;
  }
}

// Grey 128 plus white noise of a known sigma, in a grey image or drawn for
// each channel of a colour one (the grey weights keep sqrt(0.44697) of it):
// the estimate finds it, and the Laplacian variance left is near the flat
// image's 0. A clean soft texture reads as noise-free and loses at most the
// rounding's share, 20/12 (noise_model.cpp).
TEST(MeasuresNoise, EstimateFindsWhiteNoiseAndRemovesIt) {
  const std::tuple<int, double, double> cases[] = {
      {1, 4, 4}, {1, 8, 8}, {1, 16, 16}, {3, 8, 8 * std::sqrt(0.44697)}};
  for (const auto& [channels, sigma, greySigma] : cases) {
    SCOPED_TRACE(testing::Message() << channels << " channels, sigma " << sigma);
    cv::Mat noise(512, 512, CV_32FC(channels)), image;
    cv::RNG(7).fill(noise, cv::RNG::NORMAL, 0, sigma);
    cv::Mat(noise + cv::Scalar::all(128)).convertTo(image, CV_8U);
    const FocusFigures f = ReferenceFigures(image, FigureSet::All);
    EXPECT_NEAR(greySigma, f.noise, 0.03 * greySigma);
    EXPECT_NEAR(0, f.varianceLapDenoised, 0.03 * f.varianceLap);
  }
  cv::Mat clean;
  cv::GaussianBlur(MakeNoise(512, 512, 7), clean, cv::Size(), 3);
  const FocusFigures f = ReferenceFigures(clean, FigureSet::All);
  EXPECT_EQ(0, f.noise);
  EXPECT_GE(f.varianceLapDenoised, f.varianceLap - 20.0 / 12);
}
