#include "figure_columns.h"

#include <algorithm>
#include <cstring>

namespace focusrate {

const std::vector<FigureColumn>& AllFigureColumns() {
  static const std::vector<FigureColumn> kColumns = {
      {"laplace", "Laplace", [](const FocusFigures& f) { return f.laplace; }},
      {"variance_lap", "Variance-Lap", [](const FocusFigures& f) { return f.varianceLap; }},
      {"tenengrad", "Tenengrad", [](const FocusFigures& f) { return f.tenengrad; }},
      {"gray_level", "Gray-Level", [](const FocusFigures& f) { return f.grayLevel; }},
      {"variance_lap_norm", "Variance-Lap-Norm",
       [](const FocusFigures& f) { return f.varianceLapNorm; }},
  };
  return kColumns;
}

std::vector<FigureColumn> DefaultFigureColumns() {
  const std::vector<FigureColumn>& all = AllFigureColumns();
  return std::vector<FigureColumn>(all.begin(), all.begin() + 4);
}

const FigureColumn* FindFigureColumn(const std::string& name) {
  std::string spelled = name;
  std::replace(spelled.begin(), spelled.end(), '-', '_');
  for (const FigureColumn& column : AllFigureColumns())
    if (spelled == column.name) return &column;
  return nullptr;
}

bool ParseFigureList(const std::string& text, std::vector<FigureColumn>& columns) {
  std::vector<FigureColumn> parsed;
  std::string::size_type start = 0;
  for (;;) {
    const std::string::size_type comma = text.find(',', start);
    const FigureColumn* column = FindFigureColumn(text.substr(start, comma - start));
    if (!column) return false;
    for (const FigureColumn& seen : parsed)
      if (std::strcmp(seen.name, column->name) == 0) return false;
    parsed.push_back(*column);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  columns = parsed;
  return true;
}

}  // namespace focusrate
