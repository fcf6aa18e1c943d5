#include "subject_region.h"

#include <algorithm>
#include <iterator>
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
SubjectRating RatePeak(const cv::Mat& image, FigureSet set, std::vector<FocusSums>* mapTiles) {
  const TiledSums sums = FastTiledSums(image, DefaultGrid(image.size()), 1, set);
  if (mapTiles != nullptr) *mapTiles = sums.tiles;
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

// Both grids' edges: each tile of either is a block of these cells.
TileGrid Merged(const TileGrid& a, const TileGrid& b) {
  TileGrid merged;
  for (std::vector<int> TileGrid::*edges : {&TileGrid::xEdges, &TileGrid::yEdges}) {
    std::vector<int>& out = merged.*edges;
    std::merge((a.*edges).begin(), (a.*edges).end(), (b.*edges).begin(), (b.*edges).end(),
               std::back_inserter(out));
    out.erase(std::unique(out.begin(), out.end()), out.end());
  }
  return merged;
}

// The sums of the cells inside area, a block of them: integers, so the same
// bits as measuring the area as one tile.
FocusSums SumOver(const TiledSums& cells, const cv::Rect& area) {
  FocusSums sum;
  for (int j = 0; j < cells.grid.Rows(); ++j)
    for (int i = 0; i < cells.grid.Columns(); ++i) {
      const cv::Rect cell = cells.grid.Tile(i, j);
      if (!cell.empty() && area.contains(cell.tl())) sum += cells.tiles[j * cells.grid.Columns() + i];
    }
  return sum;
}

// region rated within image; with mapTiles, the map's tiles from the same
// pass, on a grid cut at both grids' edges.
SubjectRating RateRegionAndMap(const cv::Mat& image, const cv::Rect& region, std::string how,
                               FigureSet set, std::vector<FocusSums>* mapTiles) {
  if (mapTiles == nullptr) return RateRegion(image, region, std::move(how), set);
  const TileGrid regionGrid = RegionGrid(image.cols, image.rows, region);
  const TileGrid mapGrid = DefaultGrid(image.size());
  const TiledSums cells = FastTiledSums(image, Merged(regionGrid, mapGrid), 1, set);
  mapTiles->clear();
  for (int j = 0; j < mapGrid.Rows(); ++j)
    for (int i = 0; i < mapGrid.Columns(); ++i) mapTiles->push_back(SumOver(cells, mapGrid.Tile(i, j)));
  return {FiguresFromSums(cells.whole), region, std::move(how),
          FiguresFromSums(SumOver(cells, regionGrid.Tile(1, 1)))};
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
                              const AfAreaSource& afArea, std::vector<FocusSums>* mapTiles) {
  if (mode == SubjectMode::Peak) return RatePeak(image, set, mapTiles);
  const auto rate = [&](const cv::Rect& region, const char* how) {
    return RateRegionAndMap(image, region, how, set, mapTiles);
  };
  cv::Rect found;
  if (mode == SubjectMode::Faces || mode == SubjectMode::Auto) {
    if (FindLargestFace(image, found)) return rate(found, "face");
    if (mode == SubjectMode::Faces) return rate(CentreOf(image.size()), "center (no face)");
    const cv::Rect inside = (afArea ? afArea() : cv::Rect()) & cv::Rect(cv::Point(), image.size());
    if (!inside.empty()) return rate(inside, "af-point");
    if (FindSalientRegion(image, found)) return rate(found, "salient");
  }
  return rate(CentreOf(image.size()), "center");
}

}  // namespace focusrate
