// The focus measures exactly as OpenCV computes them; written for reading,
// never tuned, because every faster path is checked against it.
#include "measures.h"

#include <opencv2/imgproc.hpp>

#include "noise_model.h"

namespace focusrate {

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

// Differences two pixels apart, (g(x+1) - g(x-1))^2 + (g(y+1) - g(y-1))^2:
// Tenengrad's response with Sobel's aperture 1, the derivative without its
// smoothing.
cv::Mat BrennerResponse(const cv::Mat& gray) { return TenengradResponse(gray, 1); }

// |Dxx| + |Dyy| (unsmoothed second differences), 0 below the threshold.
cv::Mat SumModifiedLaplaceResponse(const cv::Mat& gray) {
  cv::Mat Dxx;
  cv::Mat Dyy;
  cv::Sobel(gray, Dxx, CV_64F, 2, 0, 1, 1.0, 0.0, cv::BORDER_DEFAULT);
  cv::Sobel(gray, Dyy, CV_64F, 0, 2, 1, 1.0, 0.0, cv::BORDER_DEFAULT);
  cv::Mat ml = cv::abs(Dxx) + cv::abs(Dyy);
  // Whole numbers: keeping those above threshold - 0.5 keeps those at it.
  cv::threshold(ml, ml, kSmlThreshold - 0.5, 0, cv::THRESH_TOZERO);
  return ml;
}

// (M * g)^2 with Immerkaer's mask M = [1 -2 1] across times [1 -2 1] down.
cv::Mat NoiseResponse(const cv::Mat& gray) {
  cv::Mat d = (cv::Mat_<double>(3, 1) << 1, -2, 1);
  cv::Mat r;
  cv::sepFilter2D(gray, r, CV_64F, d, d, cv::Point(-1, -1), 0, cv::BORDER_DEFAULT);
  return r.mul(r, 1.0);
}

// g(x + dx, y + dy) in doubles, the border mirrored as the filters mirror it.
cv::Mat Neighbour(const cv::Mat& gray, int dx, int dy) {
  cv::Mat padded;
  cv::copyMakeBorder(gray, padded, 1, 1, 1, 1, cv::BORDER_DEFAULT);
  cv::Mat shifted;
  padded(cv::Rect(1 + dx, 1 + dy, gray.cols, gray.rows)).convertTo(shifted, CV_64F);
  return shifted;
}

// Vollath's F4 sums pairs one apart less pairs two apart. Centred on each
// pixel: half of g times each neighbour (each pair one apart is met from
// both ends) less the product of the two neighbours; in x, then in y.
cv::Mat VollathResponse(const cv::Mat& gray) {
  cv::Mat g;
  gray.convertTo(g, CV_64F);
  cv::Mat f4 = cv::Mat::zeros(gray.size(), CV_64F);
  for (const cv::Point step : {cv::Point(1, 0), cv::Point(0, 1)}) {
    const cv::Mat before = Neighbour(gray, -step.x, -step.y);
    const cv::Mat after = Neighbour(gray, step.x, step.y);
    f4 += 0.5 * g.mul(before + after) - before.mul(after);
  }
  return f4;
}

// LH^2 + HL^2 + HH^2 of the orthonormal Haar wavelet on the 2x2 block whose
// top-left is each pixel: every pixel starts a block, so the figure does not
// depend on where a tile or view begins.
cv::Mat HaarResponse(const cv::Mat& gray) {
  const cv::Mat kernels[] = {(cv::Mat_<double>(2, 2) << 0.5, 0.5, -0.5, -0.5),
                             (cv::Mat_<double>(2, 2) << 0.5, -0.5, 0.5, -0.5),
                             (cv::Mat_<double>(2, 2) << 0.5, -0.5, -0.5, 0.5)};
  cv::Mat energy = cv::Mat::zeros(gray.size(), CV_64F);
  for (const cv::Mat& k : kernels) {
    cv::Mat detail;
    cv::filter2D(gray, detail, CV_64F, k, cv::Point(0, 0), 0, cv::BORDER_DEFAULT);
    energy += detail.mul(detail);
  }
  return energy;
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

// A figure over the squared mean grey level. A black tile may still see a
// Laplacian from its neighbours: NaN, not infinity.
double OverSquaredMean(double figure, double meanGray) {
  if (meanGray == 0) return FocusFigures::kNone;
  return figure / (meanGray * meanGray);
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

// The figures of each rectangle (none empty) of the image. Each response
// covers the whole grey image, so that a tile's figures take its neighbours
// across the tile's edges; it is read over every rectangle and dropped
// before the next is made, so one image of doubles is held at a time.
std::vector<FocusFigures> FiguresWithin(const cv::Mat& image, const std::vector<cv::Rect>& rects,
                                        FigureSet set) {
  const cv::Mat gray = SmoothedGray(image);
  std::vector<FocusFigures> figures(rects.size());
  auto meanOf = [&](const cv::Mat& response, double FocusFigures::*figure) {
    for (size_t i = 0; i < rects.size(); ++i)
      figures[i].*figure = cv::mean(response(rects[i])).val[0];
  };
  meanOf(LaplaceResponse(gray), &FocusFigures::laplace);
  meanOf(TenengradResponse(gray, 3), &FocusFigures::tenengrad);
  const cv::Mat lap = LaplacianResponse(gray);
  for (size_t i = 0; i < rects.size(); ++i) {
    FocusFigures& f = figures[i];
    f.varianceLap = Variance(lap(rects[i]));
    // Product first, then the division: a black image gives 0/0, a NaN, on purpose.
    f.grayLevel = Variance(gray(rects[i])) / Mean(gray(rects[i]));
    f.varianceLapNorm = OverSquaredMean(f.varianceLap, Mean(gray(rects[i])));
  }
  if (set == FigureSet::Classic) return figures;
  meanOf(BrennerResponse(gray), &FocusFigures::brenner);
  meanOf(SumModifiedLaplaceResponse(gray), &FocusFigures::sumModifiedLaplace);
  meanOf(VollathResponse(gray), &FocusFigures::vollath);
  meanOf(HaarResponse(gray), &FocusFigures::haarEnergy);
  const cv::Mat noise = NoiseResponse(gray);
  const bool colour = image.channels() == 3;
  for (size_t i = 0; i < rects.size(); ++i) {
    FocusFigures& f = figures[i];
    const double noiseSquares = cv::mean(noise(rects[i])).val[0];
    f.noise = NoiseSigma(noiseSquares, colour);
    f.varianceLapDenoised = DenoisedLaplaceVariance(f.varianceLap, noiseSquares, colour);
    f.varianceLapDenoisedNorm = OverSquaredMean(f.varianceLapDenoised, Mean(gray(rects[i])));
  }
  return figures;
}

}  // namespace

double LaplaceMeasure(const cv::Mat& gray) { return cv::mean(LaplaceResponse(gray)).val[0]; }

double LaplaceVarianceMeasure(const cv::Mat& gray) { return Variance(LaplacianResponse(gray)); }

double TenengradMeasure(const cv::Mat& gray, int apertureSize) {
  return cv::mean(TenengradResponse(gray, apertureSize)).val[0];
}

double GrayLevelMeasure(const cv::Mat& gray) { return Variance(gray) / Mean(gray); }

double BrennerMeasure(const cv::Mat& gray) { return cv::mean(BrennerResponse(gray)).val[0]; }

double SumModifiedLaplaceMeasure(const cv::Mat& gray) {
  return cv::mean(SumModifiedLaplaceResponse(gray)).val[0];
}

double VollathMeasure(const cv::Mat& gray) { return cv::mean(VollathResponse(gray)).val[0]; }

double HaarEnergyMeasure(const cv::Mat& gray) { return cv::mean(HaarResponse(gray)).val[0]; }

FocusFigures ReferenceFigures(const cv::Mat& image, FigureSet set) {
  return FiguresWithin(image, {cv::Rect(0, 0, image.cols, image.rows)}, set).front();
}

std::vector<FocusFigures> ReferenceTileFigures(const cv::Mat& image, const TileGrid& grid,
                                               FigureSet set) {
  CV_Assert(FitsImage(grid, image.cols, image.rows));
  std::vector<cv::Rect> rects;
  for (int j = 0; j < grid.Rows(); ++j)
    for (int i = 0; i < grid.Columns(); ++i)
      if (!grid.Tile(i, j).empty()) rects.push_back(grid.Tile(i, j));
  const std::vector<FocusFigures> measured = FiguresWithin(image, rects, set);
  // An empty tile keeps its figures NaN.
  std::vector<FocusFigures> tiles;
  size_t next = 0;
  for (int j = 0; j < grid.Rows(); ++j)
    for (int i = 0; i < grid.Columns(); ++i)
      tiles.push_back(grid.Tile(i, j).empty() ? FocusFigures() : measured[next++]);
  return tiles;
}

}  // namespace focusrate
