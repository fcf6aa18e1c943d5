// focusmap IMAGE OUT.png, or IMAGE... --output-dir DIR: pictures of where
// images are sharp, tile by tile or pixel by pixel. Statuses as focusrate's (exit_status.h); nothing on standard output.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "default_grid.h"
#include "engine.h"
#include "exit_status.h"
#include "file_identity.h"
#include "focus_map_drawing.h"
#include "focus_peaking.h"
#include "focusmap_options.h"
#include "focus_sums.h"
#include "image_input.h"
#include "jpeg_encoder.h"
#include "jzon.h"
#include "messages.h"
#include "png_encoder.h"
#include "quiet_stderr.h"
#include "tiles_document.h"

using namespace focusrate;

namespace {

// Where each image's map goes: OUT, or DIR/NAME.png.
std::vector<std::string> MapPaths(const MapOptions& options) {
  if (options.outputDir.empty()) return {options.mapPath};
  std::vector<std::string> paths;
  for (const std::string& image : options.imagePaths)
    paths.push_back(
        (std::filesystem::path(options.outputDir) / std::filesystem::path(image).stem()).string() +
        ".png");
  return paths;
}

// An output that is an input, or two outputs on one file, would destroy
// what the user has: refused before any work.
bool OutputsClash(const MapOptions& options, const std::vector<std::string>& maps) {
  const std::string& tiles = options.tilesPath;
  std::vector<std::pair<std::string, std::string>> outputs;  // path, what it is
  for (size_t k = 0; k < maps.size(); ++k)
    outputs.emplace_back(maps[k], maps.size() == 1 ? "the map" : "the map of " + options.imagePaths[k]);
  if (!tiles.empty()) outputs.emplace_back(tiles, "the tiles file");
  for (size_t k = 0; k < outputs.size(); ++k) {
    std::string what;
    for (const std::string& image : options.imagePaths)
      if (SameFile(outputs[k].first, image)) what = "the input image";
    for (size_t other = 0; other < k && what.empty(); ++other)
      if (SameOutput(outputs[k].first, outputs[other].first)) what = "also " + outputs[other].second;
    if (!what.empty()) {
      ComplainOfClash(kMapProgram, outputs[k].first, what);
      return true;
    }
  }
  return false;
}

// One image decoded and measured tile by tile.
struct Measured {
  cv::Mat image;
  TiledSums sums;
  std::vector<double> values;  ///< the mapped figure of each tile
};

// kSaved when path was decoded and measured into m; otherwise said why.
int Measure(const std::string& path, const MapOptions& options, Measured& m) {
  DecodedImage decoded = DecodeImage(path, options.decode);
  if (!WasDecoded(decoded.status)) {
    ComplainOfImage(kMapProgram, path, decoded.status);
    return RateExit::kCannotDecode;
  }
  m.image = decoded.image;
  cv::Size cells(options.columns, options.rows);
  if (cells.width == 0) cells = DefaultGridSize(m.image.size());
  if (cells.area() > static_cast<long long>(m.image.total())) {
    Complain(kMapProgram, path + ": more tiles (" + std::to_string(cells.width) + "x" +
                              std::to_string(cells.height) + ") than pixels (" +
                              std::to_string(m.image.cols) + "x" +
                              std::to_string(m.image.rows) + ")");
    return RateExit::kNotSaved;
  }
  m.sums = FastTiledSums(m.image, UniformGrid(m.image.cols, m.image.rows, cells.width, cells.height),
                         static_cast<int>(std::thread::hardware_concurrency()), options.measure.set);
  m.values.clear();
  for (const FocusSums& tile : m.sums.tiles)
    m.values.push_back(options.measure.value(FiguresFromSums(tile)));
  return RateExit::kSaved;
}

// Draws m in the chosen style, on scale (tiles) or against the best energy
// (peaking, <= 0: the frame's own), and writes it to path in the format its
// name asks for. Then the tiles file, when asked for.
int Draw(const MapOptions& options, const Measured& m, const LogScale& scale, double bestEnergy,
         const std::string& path) {
  const cv::Mat picture =
      options.style == MapStyle::Peaking
          ? PeakingPicture(m.image, options.maxSize, bestEnergy, options.colour)
          : DrawFocusMap(m.image, m.sums.grid, m.values, options.measure.name, scale,
                         options.opacity);
  bool jpeg = false;
  MapIsJpeg(path, jpeg);
  int error = 0;
  // Through a temporary file renamed over the target: never half a picture.
  if (!Jzon::FileWriter::WriteFile(path, jpeg ? EncodeJpeg(picture) : EncodePng(picture), error)) {
    ComplainNotWritten(kMapProgram, path, "map", error);
    return RateExit::kNotSaved;
  }
  if (!options.tilesPath.empty() &&
      !SaveTilesDocument(options.tilesPath, m.sums, m.image.size(), options.measure, scale.Low(),
                         scale.High(), SharpestTile(m.values), error)) {
    ComplainNotWritten(kMapProgram, options.tilesPath, "tiles", error);
    return RateExit::kNotSaved;
  }
  return RateExit::kSaved;
}

// The scale the options fix, or else the one values span.
LogScale ScaleFor(const MapOptions& options, const std::vector<double>& values) {
  return options.scaleMax > 0 ? LogScale(options.scaleMin, options.scaleMax) : LogScale(values);
}

int Map(const MapOptions& options) {
  const std::vector<std::string> maps = MapPaths(options);
  if (OutputsClash(options, maps)) return RateExit::kNotSaved;
  Measured m;
  if (maps.size() == 1) {
    const int status = Measure(options.imagePaths[0], options, m);
    return status != RateExit::kSaved ? status : Draw(options, m, ScaleFor(options, m.values), 0, maps[0]);
  }
  // One scale for all: a first pass keeps only each image's figures, so
  // memory holds one image at a time; the second decodes each again to draw.
  std::vector<double> all;
  double bestEnergy = 0;
  for (const std::string& image : options.imagePaths) {
    const int status = Measure(image, options, m);
    if (status != RateExit::kSaved) return status;
    all.insert(all.end(), m.values.begin(), m.values.end());
    if (options.style == MapStyle::Peaking)
      bestEnergy = std::max(bestEnergy, PeakEnergy(m.image, options.maxSize));
  }
  const LogScale scale = ScaleFor(options, all);
  for (size_t k = 0; k < maps.size(); ++k) {
    int status = Measure(options.imagePaths[k], options, m);
    if (status == RateExit::kSaved) status = Draw(options, m, scale, bestEnergy, maps[k]);
    if (status != RateExit::kSaved) return status;
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
    if (!options.scaleFrom.empty() &&
        !LoadScale(options.scaleFrom, options.scaleMin, options.scaleMax))
      return AnswerWithoutRunning(MapOptionTable(options), ParseOutcome::Usage,
                                  options.scaleFrom + ": not a tiles file with a scale");
    return Map(options);
  } catch (...) {
    ComplainOfException(kMapProgram);
    return RateExit::kOtherFailure;
  }
}
