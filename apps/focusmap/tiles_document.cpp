#include "tiles_document.h"

#include "focus_sums.h"
#include "jzon.h"
#include "result_document.h"

namespace {

Jzon::Array Edges(const std::vector<int>& edges) {
  Jzon::Array array;
  for (int edge : edges) array.Add(Jzon::Value(edge));
  return array;
}

void AddAllFigures(Jzon::Object& object, const FocusFigures& figures) {
  for (const FigureColumn& column : AllFigureColumns())
    object.Add(column.member, FigureValue(column.value(figures)));
}

}  // namespace

bool SaveTilesDocument(const std::string& path, const TiledSums& sums, cv::Size image,
                       const FigureColumn& measure, int sharpest, int& error) {
  const TileGrid& grid = sums.grid;
  Jzon::Object doc;
  doc.Add("width", Jzon::Value(image.width));
  doc.Add("height", Jzon::Value(image.height));
  doc.Add("columns", Jzon::Value(grid.Columns()));
  doc.Add("rows", Jzon::Value(grid.Rows()));
  doc.Add("x_edges", Edges(grid.xEdges));
  doc.Add("y_edges", Edges(grid.yEdges));
  doc.Add("measure", Jzon::Value(measure.name));
  if (sharpest < 0) {
    doc.Add("sharpest", Jzon::Value());
  } else {
    Jzon::Object best;
    best.Add("column", Jzon::Value(sharpest % grid.Columns()));
    best.Add("row", Jzon::Value(sharpest / grid.Columns()));
    doc.Add("sharpest", best);
  }
  Jzon::Object whole;
  AddAllFigures(whole, FiguresFromSums(sums.whole));
  doc.Add("whole", whole);
  Jzon::Array tiles;
  for (int j = 0; j < grid.Rows(); ++j) {
    for (int i = 0; i < grid.Columns(); ++i) {
      Jzon::Object tile;
      tile.Add("column", Jzon::Value(i));
      tile.Add("row", Jzon::Value(j));
      tile.Add("x", Jzon::Value(grid.xEdges[i]));
      tile.Add("y", Jzon::Value(grid.yEdges[j]));
      tile.Add("width", Jzon::Value(grid.xEdges[i + 1] - grid.xEdges[i]));
      tile.Add("height", Jzon::Value(grid.yEdges[j + 1] - grid.yEdges[j]));
      AddAllFigures(tile, FiguresFromSums(sums.tiles[j * grid.Columns() + i]));
      tiles.Add(tile);
    }
  }
  doc.Add("tiles", tiles);
  const Jzon::FileSaver saver(path);
  if (saver.Save(doc, Jzon::IndentedStyle)) return true;
  error = saver.LastErrno();
  return false;
}
