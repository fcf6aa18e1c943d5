// The four focus measures exactly as OpenCV computes them; written for
// reading, never tuned, because every faster path is checked against it.
#include "measures.h"

#include <opencv2/imgproc.hpp>

double LaplaceMeasure(const cv::Mat& gray) {
  cv::Mat M = (cv::Mat_<double>(3, 1) << -1, 2, -1);
  cv::Mat G = cv::getGaussianKernel(3, -1, CV_64F);
  cv::Mat Lx;
  cv::sepFilter2D(gray, Lx, CV_64F, M, G, cv::Point(-1, -1), 0, cv::BORDER_DEFAULT);
  cv::Mat Ly;
  cv::sepFilter2D(gray, Ly, CV_64F, G, M, cv::Point(-1, -1), 0, cv::BORDER_DEFAULT);
  cv::Mat FM = cv::abs(Lx) + cv::abs(Ly);
  return cv::mean(FM).val[0];
}

double LaplaceVarianceMeasure(const cv::Mat& gray) {
  cv::Mat lap;
  cv::Laplacian(gray, lap, CV_64F, 1, 1.0, 0.0, cv::BORDER_DEFAULT);
  cv::Scalar mu;
  cv::Scalar sigma;
  cv::meanStdDev(lap, mu, sigma, cv::noArray());
  return sigma.val[0] * sigma.val[0];
}

double TenengradMeasure(const cv::Mat& gray, int apertureSize) {
  cv::Mat Gx;
  cv::Mat Gy;
  cv::Sobel(gray, Gx, CV_64F, 1, 0, apertureSize, 1.0, 0.0, cv::BORDER_DEFAULT);
  cv::Sobel(gray, Gy, CV_64F, 0, 1, apertureSize, 1.0, 0.0, cv::BORDER_DEFAULT);
  cv::Mat FM = Gx.mul(Gx, 1.0) + Gy.mul(Gy, 1.0);
  return cv::mean(FM).val[0];
}

double GrayLevelMeasure(const cv::Mat& gray) {
  cv::Scalar mu;
  cv::Scalar sigma;
  cv::meanStdDev(gray, mu, sigma, cv::noArray());
  // Product first, then the division: a black image gives 0/0, a NaN, on purpose.
  return sigma.val[0] * sigma.val[0] / mu.val[0];
}

FocusFigures ReferenceFigures(const cv::Mat& image) {
  cv::Mat src = image.clone();
  cv::GaussianBlur(src, src, cv::Size(3, 3), 0.0, 0.0, cv::BORDER_DEFAULT);
  cv::Mat src_gray;
  if (src.channels() == 1) {
    src_gray = src;
  } else {
    // Code 7 reads blue-green-red data as red-green-blue: the rating has
    // always weighted blue by 0.299, and every published figure depends on it.
    cv::cvtColor(src, src_gray, cv::COLOR_RGB2GRAY, 0);
  }
  FocusFigures figures;
  figures.laplace = LaplaceMeasure(src_gray);
  figures.varianceLap = LaplaceVarianceMeasure(src_gray);
  figures.tenengrad = TenengradMeasure(src_gray, 3);
  figures.grayLevel = GrayLevelMeasure(src_gray);
  return figures;
}
