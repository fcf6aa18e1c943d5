#include "subject_region.h"

#include <algorithm>
#include <utility>

#include "default_grid.h"
#include "engine.h"
#include "face_finder.h"
#include "focus_sums.h"
#include "image_region.h"
#include "salient_region.h"
#include "tile_grid.h"

namespace focusrate {

namespace {

// The tile a region grid puts the region in: the middle of 3x3.
constexpr int kRegionTile = 4;

cv::Rect CentreOf(cv::Size size) {
  RegionChoice centre;
  centre.kind = RegionChoice::Kind::Centre;
  centre.percent = 50;
  return RegionIn(centre, size);
}

// The first index of a 3-tile block around tile k of n tiles, kept inside.
int BlockStart(int k, int n) { return std::max(0, std::min(k - 1, n - 3)); }

// The sharpest tile by Variance-Lap, the usual blur detector, then the sums
// of the 3x3 tiles around it (fewer on a grid narrower than 3).
SubjectRating RatePeak(const cv::Mat& image, FigureSet set) {
  const cv::Size cells = DefaultGridSize(image.size());
  const TileGrid cellGrid = UniformGrid(image.cols, image.rows, cells.width, cells.height);
  const TiledSums sums = FastTiledSums(image, cellGrid, 1, set);
  const TileGrid& grid = sums.grid;
  std::vector<double> figures;
  for (const FocusSums& tile : sums.tiles) figures.push_back(FiguresFromSums(tile).varianceLap);
  const int best = std::max(0, SharpestTile(figures));
  const int i0 = BlockStart(best % grid.Columns(), grid.Columns());
  const int j0 = BlockStart(best / grid.Columns(), grid.Rows());
  const int i1 = std::min(i0 + 3, grid.Columns()), j1 = std::min(j0 + 3, grid.Rows());
  FocusSums block;
  for (int j = j0; j < j1; ++j)
    for (int i = i0; i < i1; ++i) block += sums.tiles[j * grid.Columns() + i];
  const cv::Rect region(cv::Point(grid.xEdges[i0], grid.yEdges[j0]),
                        cv::Point(grid.xEdges[i1], grid.yEdges[j1]));
  return {FiguresFromSums(sums.whole), region, "peak", FiguresFromSums(block)};
}

constexpr std::pair<const char*, SubjectMode> kModes[] = {{"faces", SubjectMode::Faces},
                                                          {"center", SubjectMode::Center},
                                                          {"peak", SubjectMode::Peak},
                                                          {"auto", SubjectMode::Auto}};

}  // namespace

SubjectRating RateRegion(const cv::Mat& image, const cv::Rect& region, std::string how,
                         FigureSet set) {
  const TiledSums sums = FastTiledSums(image, RegionGrid(image.cols, image.rows, region), 1, set);
  return {FiguresFromSums(sums.whole), region, std::move(how),
          FiguresFromSums(sums.tiles[kRegionTile])};
}

std::vector<std::string> SubjectModeNames() {
  std::vector<std::string> names;
  for (const auto& mode : kModes) names.push_back(mode.first);
  return names;
}

bool ParseSubjectMode(const std::string& name, SubjectMode& mode) {
  for (const auto& [text, value] : kModes) {
    if (name == text) {
      mode = value;
      return true;
    }
  }
  return false;
}

SubjectRating RateWithSubject(const cv::Mat& image, SubjectMode mode, FigureSet set,
                              const AfAreaSource& afArea) {
  if (mode == SubjectMode::Peak) return RatePeak(image, set);
  cv::Rect found;
  if (mode == SubjectMode::Faces || mode == SubjectMode::Auto) {
    if (FindLargestFace(image, found)) return RateRegion(image, found, "face", set);
    if (mode == SubjectMode::Faces)
      return RateRegion(image, CentreOf(image.size()), "center (no face)", set);
    const cv::Rect inside = (afArea ? afArea() : cv::Rect()) & cv::Rect(cv::Point(), image.size());
    if (!inside.empty()) return RateRegion(image, inside, "af-point", set);
    if (FindSalientRegion(image, found)) return RateRegion(image, found, "salient", set);
  }
  return RateRegion(image, CentreOf(image.size()), "center", set);
}

}  // namespace focusrate
