// The four measures against worked examples and the laws they obey; the
// reference pipeline around them.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include "measures.h"
#include "test_images.h"

namespace {

const char* const kNames[] = {"Laplace", "Variance-Lap", "Tenengrad", "Gray-Level"};

std::array<double, 4> MeasureAll(const cv::Mat& gray) {
  return {LaplaceMeasure(gray), LaplaceVarianceMeasure(gray), TenengradMeasure(gray, 3),
          GrayLevelMeasure(gray)};
}

std::array<double, 4> Parts(const FocusFigures& f) {
  return {f.laplace, f.varianceLap, f.tenengrad, f.grayLevel};
}

void ExpectClose(const std::array<double, 4>& want, const std::array<double, 4>& got) {
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(want[i], got[i], 1e-9 * std::max(1.0, std::fabs(want[i]))) << kNames[i];
  }
}

}  // namespace

TEST(MeasuresWorked, SmallImagesGiveHandDerivedFigures) {
  // Dot: Laplacian -1020 at the centre, 510 on the 4 edge centres, 0 at the
  // corners, so its variance is 231200 - (1020/9)^2 = 17686800/81; grey
  // values: variance 255^2*8/81 over mean 255/9 = 2040/9.
  cv::Mat twoByTwo = (cv::Mat_<std::uint8_t>(2, 2) << 10, 20, 30, 40);
  cv::Mat bottomRow = MakeUniform(4, 4, 0);
  bottomRow.row(3).setTo(255);
  const struct {
    const char* name;
    cv::Mat image;
    std::array<double, 4> expected;
  } cases[] = {
      {"dot 3x3", MakeDot3x3(), {510, 17686800.0 / 81, 0, 2040.0 / 9}},
      {"2x2 rows (10,20),(30,40)", twoByTwo, {60, 2000, 0, 5}},
      {"4x4 bottom row 255", bottomRow, {191.25, 77217.1875, 260100, 191.25}},
      {"uniform 7x5 of 90", MakeUniform(7, 5, 90), {0, 0, 0, 0}},
      {"single pixel 200", MakeUniform(1, 1, 200), {0, 0, 0, 0}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const cv::Mat copy = c.image.clone();
    ExpectClose(c.expected, MeasureAll(c.image));
    ReferenceFigures(c.image);
    EXPECT_EQ(0, cv::norm(c.image, copy, cv::NORM_INF)) << "the image must be left unchanged";
  }
  const std::array<double, 4> black = MeasureAll(MakeUniform(6, 4, 0));
  EXPECT_EQ(0.0, black[0]);
  EXPECT_EQ(0.0, black[1]);
  EXPECT_EQ(0.0, black[2]);
  EXPECT_TRUE(std::isnan(black[3]));
}

TEST(MeasuresLaws, DoublingScalesFiguresAndAddingBrightnessKeepsGradients) {
  const cv::Mat half = MakeNoise(33, 21, 12) & cv::Scalar(127);
  const std::array<double, 4> base = MeasureAll(half), doubled = MeasureAll(half * 2);
  const double factors[] = {2, 4, 4, 2};
  for (int i = 0; i < 4; ++i) EXPECT_DOUBLE_EQ(factors[i] * base[i], doubled[i]) << kNames[i];

  const cv::Mat board = MakeCheckerboard(30, 20, 4, 1, 10, 150);
  const std::array<double, 4> dim = MeasureAll(board), bright = MeasureAll(board + 60);
  for (int i = 0; i < 3; ++i) EXPECT_DOUBLE_EQ(dim[i], bright[i]) << kNames[i];
  EXPECT_LT(bright[3], dim[3]);
  EXPECT_GT(dim[0], 0.0);
}

TEST(ReferencePipeline, GreyEqualsItsThreeChannelCopyAndAViewEqualsItsCopy) {
  // OpenCV's filters read a view's surrounding pixels as its border; the
  // pipeline must not, or figures would depend on where an image lives.
  const cv::Mat grey = MakeSoftBlobs(64, 48, 21);
  cv::Mat bgr;
  cv::merge(std::vector<cv::Mat>(3, grey), bgr);
  const cv::Mat view = MakeNoise(50, 40, 11, 3)(cv::Rect(7, 5, 23, 19));
  ASSERT_FALSE(view.isContinuous());
  const std::array<double, 4> g = Parts(ReferenceFigures(grey)), c = Parts(ReferenceFigures(bgr));
  const std::array<double, 4> v = Parts(ReferenceFigures(view));
  const std::array<double, 4> vc = Parts(ReferenceFigures(view.clone()));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(g[i], c[i]) << kNames[i];
    EXPECT_EQ(vc[i], v[i]) << kNames[i];
  }
}

TEST(ReferencePipeline, SmoothsFirstAndWeightsTheFirstChannelAsRed) {
  // Cells of 2: a 1-pixel board would smooth to a uniform 127.5.
  const cv::Mat fine = MakeCheckerboard(32, 32, 2);
  const std::array<double, 4> raw = MeasureAll(fine), rated = Parts(ReferenceFigures(fine));
  EXPECT_LT(rated[0], raw[0]);
  EXPECT_LT(rated[2] + rated[1], raw[2] + raw[1]);
  EXPECT_GT(rated[0], 0.0);

  // Blue-green-red data read as red-green-blue: the first (blue) channel
  // weighs 0.299 and the third (red) 0.114, so an edge in blue gives about
  // (0.299/0.114)^2 = 6.9 times the Tenengrad of one in red.
  const cv::Mat board = MakeCheckerboard(48, 48, 6), zero = MakeUniform(48, 48, 0);
  cv::Mat inBlue, inRed;
  cv::merge(std::vector<cv::Mat>{board, zero, zero}, inBlue);
  cv::merge(std::vector<cv::Mat>{zero, zero, board}, inRed);
  const double ratio = ReferenceFigures(inBlue).tenengrad / ReferenceFigures(inRed).tenengrad;
  EXPECT_GT(ratio, 6.0);
  EXPECT_LT(ratio, 8.0);
}
