// focusmap's command line, parsed into one record.
#ifndef FOCUSRATE_FOCUSMAP_OPTIONS_H
#define FOCUSRATE_FOCUSMAP_OPTIONS_H

#include <string>
#include <vector>

#include "figure_columns.h"
#include "option_table.h"

namespace focusrate {

struct MapOptions {
  std::string imagePath;
  std::string mapPath;                            ///< OUT.png
  int columns = 0, rows = 0;                      ///< --grid; 0: the default grid
  FigureColumn measure = AllFigureColumns()[1];   ///< --measure [variance_lap]
  std::string tilesPath;                          ///< --tiles-json, "" none
  DecodeOptions decode;                           ///< --raw, --scale
};

/// The name messages are prefixed with.
constexpr const char* kMapProgram = "focusmap";

/// focusmap's options, each storing its value into options.
OptionTable MapOptionTable(MapOptions& options);

/// Parses the arguments after the program name with MapOptionTable; IMAGE
/// and OUT.png must both be there. On Usage, error holds one line saying
/// what is wrong (without the program name).
ParseOutcome ParseMapOptions(const std::vector<std::string>& args, MapOptions& options,
                             std::string& error);

}  // namespace focusrate

#endif  // FOCUSRATE_FOCUSMAP_OPTIONS_H
