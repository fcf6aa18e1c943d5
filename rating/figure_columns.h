// The figures the programs can print, each by name with its getter: one
// table that --figures, --sort, --measure, the rows, the result and tile
// files, the sidecars and Python share.
#ifndef FOCUSRATE_FIGURE_COLUMNS_H
#define FOCUSRATE_FIGURE_COLUMNS_H

#include <string>
#include <vector>

#include "focus_figures.h"

namespace focusrate {

struct FigureColumn {
  const char* name;    ///< column and option name: "variance_lap"
  const char* member;  ///< JSON member name: "Variance-Lap"
  const char* xmp;     ///< sidecar property, focusrate:VarianceLap
  FigureSet set;       ///< the least set that measures it
  double (*value)(const FocusFigures&);
};

/// Every figure, in the order --help lists them.
const std::vector<FigureColumn>& AllFigureColumns();

/// laplace, variance_lap, tenengrad, gray_level: the columns rows have
/// always had.
std::vector<FigureColumn> DefaultFigureColumns();

/// The figures set measures, in AllFigureColumns' order; Classic's five
/// are in every sidecar.
std::vector<FigureColumn> MeasuredFigureColumns(FigureSet set);

/// All when any of columns needs it, else Classic.
FigureSet SetMeasuring(const std::vector<FigureColumn>& columns);

/// The figure named name; "-" may stand for "_" (variance-lap). Null for
/// an unknown name.
const FigureColumn* FindFigureColumn(const std::string& name);

/// "variance_lap,laplace": the named figures in that order, each at most
/// once; false for an empty list, an unknown name or a repeated one.
bool ParseFigureList(const std::string& text, std::vector<FigureColumn>& columns);

}  // namespace focusrate

#endif  // FOCUSRATE_FIGURE_COLUMNS_H
