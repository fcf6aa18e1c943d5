#include "tiles_document.h"

#include "focus_sums.h"
#include "jzon.h"
#include "result_document.h"

namespace focusrate {

namespace {

// Text is handed to the file in pieces of about this size.
constexpr size_t kChunkBytes = 1 << 16;

Jzon::Array Edges(const std::vector<int>& edges) {
  Jzon::Array array;
  for (int edge : edges) array.Add(Jzon::Value(edge));
  return array;
}

// Every figure the measure's pass took.
void AddAllFigures(Jzon::Object& object, const FocusFigures& figures, FigureSet set) {
  for (const FigureColumn& column : MeasuredFigureColumns(set))
    object.Add(column.member, FigureValue(column.value(figures)));
}

std::string Indented(const Jzon::Node& node) {
  Jzon::Emitter emitter(node, Jzon::IndentedStyle);
  emitter.Write();
  return emitter.GetResult();
}

// Every member but the tiles.
Jzon::Object Head(const TiledSums& sums, cv::Size image, const FigureColumn& measure,
                  double scaleMin, double scaleMax, int sharpest) {
  const TileGrid& grid = sums.grid;
  Jzon::Object doc;
  doc.Add("width", Jzon::Value(image.width));
  doc.Add("height", Jzon::Value(image.height));
  doc.Add("columns", Jzon::Value(grid.Columns()));
  doc.Add("rows", Jzon::Value(grid.Rows()));
  doc.Add("x_edges", Edges(grid.xEdges));
  doc.Add("y_edges", Edges(grid.yEdges));
  doc.Add("measure", Jzon::Value(measure.name));
  doc.Add("scale_min", Jzon::Value(scaleMin));
  doc.Add("scale_max", Jzon::Value(scaleMax));
  if (sharpest < 0) {
    doc.Add("sharpest", Jzon::Value());
  } else {
    Jzon::Object best;
    best.Add("column", Jzon::Value(sharpest % grid.Columns()));
    best.Add("row", Jzon::Value(sharpest / grid.Columns()));
    doc.Add("sharpest", best);
  }
  Jzon::Object whole;
  AddAllFigures(whole, FiguresFromSums(sums.whole), measure.set);
  doc.Add("whole", whole);
  return doc;
}

// Tile (i, j) as an element of the document's "tiles" array: two levels in.
std::string TileText(const TiledSums& sums, int i, int j, FigureSet set) {
  const TileGrid& grid = sums.grid;
  Jzon::Object tile;
  tile.Add("column", Jzon::Value(i));
  tile.Add("row", Jzon::Value(j));
  tile.Add("x", Jzon::Value(grid.xEdges[i]));
  tile.Add("y", Jzon::Value(grid.yEdges[j]));
  tile.Add("width", Jzon::Value(grid.xEdges[i + 1] - grid.xEdges[i]));
  tile.Add("height", Jzon::Value(grid.yEdges[j + 1] - grid.yEdges[j]));
  AddAllFigures(tile, FiguresFromSums(sums.tiles[j * grid.Columns() + i]), set);
  // Line breaks in the text are the layout's own: strings escape theirs.
  std::string text = "\t\t";
  for (char c : Indented(tile)) {
    text += c;
    if (c == '\n') text += "\t\t";
  }
  return text;
}

}  // namespace

bool SaveTilesDocument(const std::string& path, const TiledSums& sums, cv::Size image,
                       const FigureColumn& measure, double scaleMin, double scaleMax,
                       int sharpest, int& error) {
  // Written as it is made, a tile at a time: the text of every tile at
  // once would take far more memory than their sums.
  std::string text = Indented(Head(sums, image, measure, scaleMin, scaleMax, sharpest));
  text.resize(text.size() - 2);  // the head's closing "\n}"
  text += ",\n\t\"tiles\": [\n";
  Jzon::FileWriter out(path);
  bool ok = out.Open();
  const TileGrid& grid = sums.grid;
  for (int j = 0; ok && j < grid.Rows(); ++j) {
    for (int i = 0; i < grid.Columns(); ++i) {
      text += (i > 0 || j > 0 ? ",\n" : "") + TileText(sums, i, j, measure.set);
      if (text.size() >= kChunkBytes) {
        ok = out.Write(text.data(), text.size());
        text.clear();
      }
    }
  }
  text += "\n\t]\n}";
  ok = ok && out.Write(text.data(), text.size()) && out.Commit();
  error = out.LastErrno();
  return ok;
}

bool LoadScale(const std::string& path, double& scaleMin, double& scaleMax) {
  Jzon::Object doc;
  if (!Jzon::FileLoader::LoadFile(path, doc)) return false;
  for (const char* member : {"scale_min", "scale_max"})
    if (!doc.HasChild(member) || !doc.ChildNamed(member).IsNumber()) return false;
  scaleMin = doc.ChildNamed("scale_min").ToDouble();
  scaleMax = doc.ChildNamed("scale_max").ToDouble();
  return scaleMin > 0 && scaleMin <= scaleMax;
}

}  // namespace focusrate
