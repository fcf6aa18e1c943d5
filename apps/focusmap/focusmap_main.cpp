// focusmap IMAGE OUT.png: a picture of where an image is sharp, tile by
// tile. Statuses as focusrate's (exit_status.h); nothing on standard output.
#include <csignal>
#include <string>
#include <thread>
#include <vector>

#include "default_grid.h"
#include "engine.h"
#include "exit_status.h"
#include "file_identity.h"
#include "focus_map_drawing.h"
#include "focusmap_options.h"
#include "focus_sums.h"
#include "image_input.h"
#include "jzon.h"
#include "messages.h"
#include "png_encoder.h"
#include "quiet_stderr.h"
#include "tiles_document.h"

using namespace focusrate;

namespace {

// An output that is the image, or both outputs on one file, would destroy
// what the user has: refused before any work.
bool OutputsClash(const MapOptions& options) {
  const std::string &image = options.imagePath, &map = options.mapPath, &tiles = options.tilesPath;
  std::string output, what = "the input image";
  if (SameFile(map, image)) {
    output = map;
  } else if (!tiles.empty() && SameFile(tiles, image)) {
    output = tiles;
  } else if (!tiles.empty() && SameOutput(tiles, map)) {
    output = tiles;
    what = "also the map";
  }
  if (!output.empty()) ComplainOfClash(kMapProgram, output, what);
  return !output.empty();
}

int Map(const MapOptions& options) {
  if (OutputsClash(options)) return RateExit::kNotSaved;
  DecodedImage decoded = DecodeImage(options.imagePath, options.decode);
  if (!WasDecoded(decoded.status)) {
    ComplainOfImage(kMapProgram, options.imagePath, decoded.status);
    return RateExit::kCannotDecode;
  }
  const cv::Mat& image = decoded.image;
  cv::Size cells(options.columns, options.rows);
  if (cells.width == 0) cells = DefaultGridSize(image.size());
  if (cells.area() > static_cast<long long>(image.total())) {
    Complain(kMapProgram, options.imagePath + ": more tiles (" + std::to_string(cells.width) + "x" +
                           std::to_string(cells.height) + ") than pixels (" +
                           std::to_string(image.cols) + "x" + std::to_string(image.rows) + ")");
    return RateExit::kNotSaved;
  }
  const TiledSums sums =
      FastTiledSums(image, UniformGrid(image.cols, image.rows, cells.width, cells.height),
                    static_cast<int>(std::thread::hardware_concurrency()), options.measure.set);
  std::vector<double> values;
  for (const FocusSums& tile : sums.tiles)
    values.push_back(options.measure.value(FiguresFromSums(tile)));
  const std::string png = EncodePng(DrawFocusMap(image, sums.grid, values, options.measure.name));
  int error = 0;
  // Through a temporary file renamed over the target: never half a PNG.
  if (!Jzon::FileWriter::WriteFile(options.mapPath, png, error)) {
    ComplainNotWritten(kMapProgram, options.mapPath, "map", error);
    return RateExit::kNotSaved;
  }
  if (!options.tilesPath.empty() &&
      !SaveTilesDocument(options.tilesPath, sums, image.size(), options.measure,
                         SharpestTile(values), error)) {
    ComplainNotWritten(kMapProgram, options.tilesPath, "tiles", error);
    return RateExit::kNotSaved;
  }
  return RateExit::kSaved;
}

}  // namespace

int main(int argc, char** argv) {
  SilenceLibraryStderr();
  std::signal(SIGPIPE, SIG_IGN);
  try {
    MapOptions options;
    std::string error;
    const ParseOutcome outcome =
        ParseMapOptions(std::vector<std::string>(argv + 1, argv + argc), options, error);
    if (outcome != ParseOutcome::Run)
      return AnswerWithoutRunning(MapOptionTable(options), outcome, error);
    return Map(options);
  } catch (...) {
    ComplainOfException(kMapProgram);
    return RateExit::kOtherFailure;
  }
}
