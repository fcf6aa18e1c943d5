// focusmap's command line, parsed into one record.
#ifndef FOCUSRATE_FOCUSMAP_OPTIONS_H
#define FOCUSRATE_FOCUSMAP_OPTIONS_H

#include <string>
#include <vector>

#include <opencv2/core.hpp>

#include "figure_columns.h"
#include "option_table.h"

namespace focusrate {

enum class MapStyle { Tiles, Peaking };

struct MapOptions {
  std::vector<std::string> imagePaths;            ///< one unless --output-dir
  std::string mapPath;                            ///< OUT.png or OUT.jpg; "" with --output-dir
  int columns = 0, rows = 0;                      ///< --grid; 0: the default grid
  FigureColumn measure = AllFigureColumns()[1];   ///< --measure [variance_lap]
  std::string tilesPath;                          ///< --tiles-json, "" none
  DecodeOptions decode;                           ///< --raw, --scale
  double scaleMin = 0, scaleMax = 0;              ///< --scale MIN,MAX; both 0: none
  std::string scaleFrom;                          ///< --scale-from, "" none
  std::string outputDir;                          ///< --output-dir, "" none
  double opacity = 0.6;                           ///< --opacity
  MapStyle style = MapStyle::Tiles;               ///< --style
  cv::Vec3b colour{0, 0, 255};                    ///< --color, blue-green-red
  int maxSize = 0;                                ///< --max-size; 0: the style's own
};

/// Whether path names a JPEG (.jpg, .jpeg) rather than a PNG (.png); false
/// for both when it ends otherwise.
bool MapIsJpeg(const std::string& path, bool& jpeg);

/// The name messages are prefixed with.
constexpr const char* kMapProgram = "focusmap";

/// focusmap's options, each storing its value into options.
OptionTable MapOptionTable(MapOptions& options);

/// Parses the arguments after the program name with MapOptionTable: IMAGE
/// and OUT.png, or with --output-dir one IMAGE or more. On Usage, error holds one line saying
/// what is wrong (without the program name).
ParseOutcome ParseMapOptions(const std::vector<std::string>& args, MapOptions& options,
                             std::string& error);

}  // namespace focusrate

#endif  // FOCUSRATE_FOCUSMAP_OPTIONS_H
