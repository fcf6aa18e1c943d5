// focusmap's command line, parsed into one record.
#ifndef FOCUSRATE_FOCUSMAP_OPTIONS_H
#define FOCUSRATE_FOCUSMAP_OPTIONS_H

#include <string>
#include <vector>

#include "figure_columns.h"

struct MapOptions {
  std::string imagePath;
  std::string mapPath;                            ///< OUT.png
  int columns = 0, rows = 0;                      ///< --grid; 0: the default grid
  FigureColumn measure = AllFigureColumns()[1];   ///< --measure [variance_lap]
  std::string tilesPath;                          ///< --tiles-json, "" none
};

enum class MapParse { Run, Help, Usage };

/// Parses the arguments after the program name. On Usage, error holds one
/// line saying what is wrong (without the program name).
MapParse ParseMapOptions(const std::vector<std::string>& args, MapOptions& options,
                         std::string& error);

/// The --help text.
const char* MapHelpText();

#endif  // FOCUSRATE_FOCUSMAP_OPTIONS_H
