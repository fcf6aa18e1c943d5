// The four measures against worked examples, an independent plain-loop
// evaluation of their formulas, and the laws they must obey.
#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>
#include <opencv2/core.hpp>

#include "measures.h"
#include "test_images.h"

namespace {

cv::Mat GreyRows(std::initializer_list<std::initializer_list<int>> rows) {
  cv::Mat image(static_cast<int>(rows.size()), static_cast<int>(rows.begin()->size()), CV_8UC1);
  int y = 0;
  for (const auto& row : rows) {
    int x = 0;
    for (int v : row) image.at<std::uint8_t>(y, x++) = static_cast<std::uint8_t>(v);
    ++y;
  }
  return image;
}

FocusFigures MeasureAll(const cv::Mat& gray) {
  return {LaplaceMeasure(gray), LaplaceVarianceMeasure(gray), TenengradMeasure(gray, 3),
          GrayLevelMeasure(gray)};
}

void ExpectClose(double expected, double actual, const char* what) {
  EXPECT_NEAR(expected, actual, 1e-9 * std::max(1.0, std::fabs(expected))) << what;
}

void ExpectFigures(const FocusFigures& expected, const FocusFigures& actual) {
  ExpectClose(expected.laplace, actual.laplace, "Laplace");
  ExpectClose(expected.varianceLap, actual.varianceLap, "Variance-Lap");
  ExpectClose(expected.tenengrad, actual.tenengrad, "Tenengrad");
  ExpectClose(expected.grayLevel, actual.grayLevel, "Gray-Level");
}

// ---- The formulas evaluated pixel by pixel, with the mirrored border ----

int Mirror(int i, int n) {
  if (n == 1) return 0;
  while (i < 0 || i >= n) i = i < 0 ? -i : 2 * (n - 1) - i;
  return i;
}

double Pixel(const cv::Mat& g, int y, int x) {
  return g.at<std::uint8_t>(Mirror(y, g.rows), Mirror(x, g.cols));
}

FocusFigures FiguresByFormula(const cv::Mat& g) {
  const double s[3] = {0.25, 0.5, 0.25};
  const double n = static_cast<double>(g.rows) * g.cols;
  double laplace = 0, tenengrad = 0, lapSum = 0, lapSquares = 0, sum = 0, squares = 0;
  for (int y = 0; y < g.rows; ++y) {
    for (int x = 0; x < g.cols; ++x) {
      double lx = 0, ly = 0, gx = 0, gy = 0;
      for (int j = -1; j <= 1; ++j) {
        lx += s[j + 1] * (2 * Pixel(g, y + j, x) - Pixel(g, y + j, x - 1) - Pixel(g, y + j, x + 1));
        ly += s[j + 1] * (2 * Pixel(g, y, x + j) - Pixel(g, y - 1, x + j) - Pixel(g, y + 1, x + j));
        const double weight = j == 0 ? 2 : 1;
        gx += weight * (Pixel(g, y + j, x + 1) - Pixel(g, y + j, x - 1));
        gy += weight * (Pixel(g, y + 1, x + j) - Pixel(g, y - 1, x + j));
      }
      const double lap = Pixel(g, y - 1, x) + Pixel(g, y + 1, x) + Pixel(g, y, x - 1) +
                         Pixel(g, y, x + 1) - 4 * Pixel(g, y, x);
      laplace += std::fabs(lx) + std::fabs(ly);
      tenengrad += gx * gx + gy * gy;
      lapSum += lap;
      lapSquares += lap * lap;
      sum += Pixel(g, y, x);
      squares += Pixel(g, y, x) * Pixel(g, y, x);
    }
  }
  const double lapMean = lapSum / n;
  const double mean = sum / n;
  return {laplace / n, lapSquares / n - lapMean * lapMean, tenengrad / n,
          (squares / n - mean * mean) / mean};
}

struct WorkedCase {
  const char* name;
  cv::Mat image;
  FocusFigures expected;
};

}  // namespace

TEST(MeasuresWorked, SmallImagesGiveHandDerivedFigures) {
  // Dot: Laplacian -1020 at the centre, 510 on the 4 edge centres, 0 at the
  // corners, so its variance is 231200 - (1020/9)^2 = 17686800/81; grey
  // values: variance 255^2*8/81 over mean 255/9 = 2040/9.
  cv::Mat bottomRow = MakeUniform(4, 4, 0);
  bottomRow.row(3).setTo(255);
  const WorkedCase cases[] = {
      {"dot 3x3", MakeDot3x3(), {510, 17686800.0 / 81, 0, 2040.0 / 9}},
      {"2x2 rows (10,20),(30,40)", GreyRows({{10, 20}, {30, 40}}), {60, 2000, 0, 5}},
      {"4x4 bottom row 255", bottomRow, {191.25, 77217.1875, 260100, 191.25}},
      {"uniform 7x5 of 90", MakeUniform(7, 5, 90), {0, 0, 0, 0}},
      {"single pixel 200", MakeUniform(1, 1, 200), {0, 0, 0, 0}},
  };
  for (const WorkedCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectFigures(c.expected, MeasureAll(c.image));
  }
}

TEST(MeasuresWorked, BlackImageGivesZeroesAndNaNGrayLevel) {
  const FocusFigures f = MeasureAll(MakeUniform(6, 4, 0));
  EXPECT_EQ(0.0, f.laplace);
  EXPECT_EQ(0.0, f.varianceLap);
  EXPECT_EQ(0.0, f.tenengrad);
  EXPECT_TRUE(std::isnan(f.grayLevel));
}

TEST(MeasuresWorked, TwoByTwoImagesHaveNoTenengradWhateverTheirContent) {
  // The mirrored border makes both neighbours across each side one pixel.
  for (std::uint32_t seed = 1; seed <= 5; ++seed) {
    SCOPED_TRACE(seed);
    EXPECT_EQ(0.0, TenengradMeasure(MakeNoise(2, 2, seed), 3));
  }
}

TEST(MeasuresFormula, MatchPlainLoopEvaluationOnAssortedImages) {
  const WorkedCase cases[] = {
      {"noise 17x11", MakeNoise(17, 11, 1), {}},
      {"noise 1x9", MakeNoise(1, 9, 2), {}},
      {"noise 9x1", MakeNoise(9, 1, 3), {}},
      {"noise 3x2", MakeNoise(3, 2, 4), {}},
      {"checkerboard 40x30 cell 3", MakeCheckerboard(40, 30, 3), {}},
      {"ramp 64x16", MakeRamp(64, 16), {}},
      {"soft blobs 96x64", MakeSoftBlobs(96, 64, 9), {}},
  };
  for (const WorkedCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectFigures(FiguresByFormula(c.image), MeasureAll(c.image));
  }
}

TEST(ReferencePipeline, RatesAViewAsAnImageOfItsOwn) {
  // OpenCV's filters read a view's surrounding pixels as its border; the
  // pipeline must not, or figures would depend on where an image lives.
  const cv::Mat big = MakeNoise(50, 40, 11, 3);
  const cv::Mat view = big(cv::Rect(7, 5, 23, 19));
  ASSERT_FALSE(view.isContinuous());
  const FocusFigures v = ReferenceFigures(view);
  const FocusFigures c = ReferenceFigures(view.clone());
  EXPECT_EQ(c.laplace, v.laplace);
  EXPECT_EQ(c.varianceLap, v.varianceLap);
  EXPECT_EQ(c.tenengrad, v.tenengrad);
  EXPECT_EQ(c.grayLevel, v.grayLevel);
}

TEST(MeasuresLaws, DoublingValuesScalesFiguresByTwoAndFour) {
  const cv::Mat base = MakeNoise(33, 21, 12) & cv::Scalar(127);
  const cv::Mat doubled = base * 2;
  const FocusFigures f = MeasureAll(base);
  const FocusFigures d = MeasureAll(doubled);
  EXPECT_DOUBLE_EQ(2 * f.laplace, d.laplace);
  EXPECT_DOUBLE_EQ(4 * f.varianceLap, d.varianceLap);
  EXPECT_DOUBLE_EQ(4 * f.tenengrad, d.tenengrad);
  EXPECT_DOUBLE_EQ(2 * f.grayLevel, d.grayLevel);
}

TEST(MeasuresLaws, AddingBrightnessKeepsGradientsAndLowersGrayLevel) {
  const cv::Mat base = MakeCheckerboard(30, 20, 4, 1, 10, 150);
  const cv::Mat brighter = base + 60;
  const FocusFigures f = MeasureAll(base);
  const FocusFigures b = MeasureAll(brighter);
  EXPECT_DOUBLE_EQ(f.laplace, b.laplace);
  EXPECT_DOUBLE_EQ(f.varianceLap, b.varianceLap);
  EXPECT_DOUBLE_EQ(f.tenengrad, b.tenengrad);
  EXPECT_LT(b.grayLevel, f.grayLevel);
  EXPECT_GT(f.laplace, 0.0);
}

TEST(MeasuresLaws, LeaveTheImageUnchanged) {
  const cv::Mat image = MakeNoise(20, 20, 13);
  const cv::Mat copy = image.clone();
  MeasureAll(image);
  ReferenceFigures(image);
  EXPECT_EQ(0, cv::norm(image, copy, cv::NORM_INF));
}

TEST(ReferencePipeline, GreyImageEqualsItsThreeChannelCopy) {
  const cv::Mat grey = MakeSoftBlobs(64, 48, 21);
  const FocusFigures g = ReferenceFigures(grey);
  const FocusFigures c = ReferenceFigures(GreyToBgr(grey));
  EXPECT_EQ(g.laplace, c.laplace);
  EXPECT_EQ(g.varianceLap, c.varianceLap);
  EXPECT_EQ(g.tenengrad, c.tenengrad);
  EXPECT_EQ(g.grayLevel, c.grayLevel);
}

TEST(ReferencePipeline, SmoothingLowersFiguresOfAFineCheckerboard) {
  // Cells of 2: a 1-pixel board would smooth to a uniform 127.5.
  const cv::Mat board = MakeCheckerboard(32, 32, 2);
  const FocusFigures raw = MeasureAll(board);
  const FocusFigures rated = ReferenceFigures(board);
  EXPECT_LT(rated.laplace, raw.laplace);
  EXPECT_LT(rated.tenengrad + rated.varianceLap, raw.tenengrad + raw.varianceLap);
  EXPECT_GT(rated.laplace, 0.0);
}

TEST(ReferencePipeline, WeightsFirstChannelAsRed) {
  // Data in blue-green-red order read as red-green-blue: the first (blue)
  // channel weighs 0.299 and the third (red) 0.114, so an edge in blue
  // gives about (0.299/0.114)^2 = 6.9 times the Tenengrad of one in red.
  const cv::Mat board = MakeCheckerboard(48, 48, 6);
  const cv::Mat zero = MakeUniform(48, 48, 0);
  cv::Mat inBlue, inRed;
  cv::merge(std::vector<cv::Mat>{board, zero, zero}, inBlue);
  cv::merge(std::vector<cv::Mat>{zero, zero, board}, inRed);
  const double ratio = ReferenceFigures(inBlue).tenengrad / ReferenceFigures(inRed).tenengrad;
  EXPECT_GT(ratio, 6.0);
  EXPECT_LT(ratio, 8.0);
}
