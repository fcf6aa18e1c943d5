// The focus measures exactly as OpenCV computes them; written for reading,
// never tuned, because every faster path is checked against it.
#include "measures.h"

#include <limits>

#include <opencv2/imgproc.hpp>

namespace {

// |Lx| + |Ly| per pixel: second differences across, smoothed along.
cv::Mat LaplaceResponse(const cv::Mat& gray) {
  cv::Mat M = (cv::Mat_<double>(3, 1) << -1, 2, -1);
  cv::Mat G = cv::getGaussianKernel(3, -1, CV_64F);
  cv::Mat Lx;
  cv::sepFilter2D(gray, Lx, CV_64F, M, G, cv::Point(-1, -1), 0, cv::BORDER_DEFAULT);
  cv::Mat Ly;
  cv::sepFilter2D(gray, Ly, CV_64F, G, M, cv::Point(-1, -1), 0, cv::BORDER_DEFAULT);
  return cv::abs(Lx) + cv::abs(Ly);
}

cv::Mat LaplacianResponse(const cv::Mat& gray) {
  cv::Mat lap;
  cv::Laplacian(gray, lap, CV_64F, 1, 1.0, 0.0, cv::BORDER_DEFAULT);
  return lap;
}

// Gx^2 + Gy^2 per pixel.
cv::Mat TenengradResponse(const cv::Mat& gray, int apertureSize) {
  cv::Mat Gx;
  cv::Mat Gy;
  cv::Sobel(gray, Gx, CV_64F, 1, 0, apertureSize, 1.0, 0.0, cv::BORDER_DEFAULT);
  cv::Sobel(gray, Gy, CV_64F, 0, 1, apertureSize, 1.0, 0.0, cv::BORDER_DEFAULT);
  return Gx.mul(Gx, 1.0) + Gy.mul(Gy, 1.0);
}

double Variance(const cv::Mat& values) {
  cv::Scalar mu;
  cv::Scalar sigma;
  cv::meanStdDev(values, mu, sigma, cv::noArray());
  return sigma.val[0] * sigma.val[0];
}

double Mean(const cv::Mat& values) {
  cv::Scalar mu;
  cv::Scalar sigma;
  cv::meanStdDev(values, mu, sigma, cv::noArray());
  return mu.val[0];
}

// Variance of the Laplacian over the squared mean grey level. A black tile
// may still see a Laplacian from its neighbours: NaN, not infinity.
double VarianceLapNorm(double varianceLap, double meanGray) {
  if (meanGray == 0) return std::numeric_limits<double>::quiet_NaN();
  return varianceLap / (meanGray * meanGray);
}

// Smoothing, then grey conversion.
cv::Mat SmoothedGray(const cv::Mat& image) {
  cv::Mat src = image.clone();
  cv::GaussianBlur(src, src, cv::Size(3, 3), 0.0, 0.0, cv::BORDER_DEFAULT);
  if (src.channels() == 1) return src;
  // Code 7 reads blue-green-red data as red-green-blue: the rating has
  // always weighted blue by 0.299, and every published figure depends on it.
  cv::Mat src_gray;
  cv::cvtColor(src, src_gray, cv::COLOR_RGB2GRAY, 0);
  return src_gray;
}

}  // namespace

double LaplaceMeasure(const cv::Mat& gray) { return cv::mean(LaplaceResponse(gray)).val[0]; }

double LaplaceVarianceMeasure(const cv::Mat& gray) { return Variance(LaplacianResponse(gray)); }

double TenengradMeasure(const cv::Mat& gray, int apertureSize) {
  return cv::mean(TenengradResponse(gray, apertureSize)).val[0];
}

double GrayLevelMeasure(const cv::Mat& gray) {
  // Product first, then the division: a black image gives 0/0, a NaN, on purpose.
  return Variance(gray) / Mean(gray);
}

FocusFigures ReferenceFigures(const cv::Mat& image) {
  const cv::Mat src_gray = SmoothedGray(image);
  FocusFigures figures;
  figures.laplace = LaplaceMeasure(src_gray);
  figures.varianceLap = LaplaceVarianceMeasure(src_gray);
  figures.tenengrad = TenengradMeasure(src_gray, 3);
  figures.grayLevel = GrayLevelMeasure(src_gray);
  figures.varianceLapNorm = VarianceLapNorm(figures.varianceLap, Mean(src_gray));
  return figures;
}

std::vector<FocusFigures> ReferenceTileFigures(const cv::Mat& image, const TileGrid& grid) {
  CV_Assert(FitsImage(grid, image.cols, image.rows));
  const cv::Mat gray = SmoothedGray(image);
  const cv::Mat laplace = LaplaceResponse(gray);
  const cv::Mat lap = LaplacianResponse(gray);
  const cv::Mat tenengrad = TenengradResponse(gray, 3);
  const double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<FocusFigures> tiles;
  for (int j = 0; j < grid.Rows(); ++j) {
    for (int i = 0; i < grid.Columns(); ++i) {
      const cv::Rect r = grid.Tile(i, j);
      if (r.empty()) {
        tiles.push_back({nan, nan, nan, nan, nan});
        continue;
      }
      FocusFigures f;
      f.laplace = cv::mean(laplace(r)).val[0];
      f.varianceLap = Variance(lap(r));
      f.tenengrad = cv::mean(tenengrad(r)).val[0];
      f.grayLevel = Variance(gray(r)) / Mean(gray(r));
      f.varianceLapNorm = VarianceLapNorm(f.varianceLap, Mean(gray(r)));
      tiles.push_back(f);
    }
  }
  return tiles;
}
