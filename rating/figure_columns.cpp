#include "figure_columns.h"

#include <algorithm>
#include <cstring>

namespace focusrate {

const std::vector<FigureColumn>& AllFigureColumns() {
  constexpr FigureSet kClassic = FigureSet::Classic, kAll = FigureSet::All;
  static const std::vector<FigureColumn> kColumns = {
      {"laplace", "Laplace", "Laplace", kClassic,
       [](const FocusFigures& f) { return f.laplace; }},
      {"variance_lap", "Variance-Lap", "VarianceLap", kClassic,
       [](const FocusFigures& f) { return f.varianceLap; }},
      {"tenengrad", "Tenengrad", "Tenengrad", kClassic,
       [](const FocusFigures& f) { return f.tenengrad; }},
      {"gray_level", "Gray-Level", "GrayLevel", kClassic,
       [](const FocusFigures& f) { return f.grayLevel; }},
      {"variance_lap_norm", "Variance-Lap-Norm", "VarianceLapNorm", kClassic,
       [](const FocusFigures& f) { return f.varianceLapNorm; }},
      {"variance_lap_denoised", "Variance-Lap-Denoised", "VarianceLapDenoised", kAll,
       [](const FocusFigures& f) { return f.varianceLapDenoised; }},
      {"variance_lap_denoised_norm", "Variance-Lap-Denoised-Norm", "VarianceLapDenoisedNorm", kAll,
       [](const FocusFigures& f) { return f.varianceLapDenoisedNorm; }},
      {"brenner", "Brenner", "Brenner", kAll, [](const FocusFigures& f) { return f.brenner; }},
      {"sum_modified_laplace", "Sum-Modified-Laplace", "SumModifiedLaplace", kAll,
       [](const FocusFigures& f) { return f.sumModifiedLaplace; }},
      {"vollath", "Vollath", "Vollath", kAll, [](const FocusFigures& f) { return f.vollath; }},
      {"haar_energy", "Haar-Energy", "HaarEnergy", kAll,
       [](const FocusFigures& f) { return f.haarEnergy; }},
      {"noise", "Noise", "Noise", kAll, [](const FocusFigures& f) { return f.noise; }},
  };
  return kColumns;
}

std::vector<FigureColumn> DefaultFigureColumns() {
  const std::vector<FigureColumn>& all = AllFigureColumns();
  return std::vector<FigureColumn>(all.begin(), all.begin() + 4);
}

std::vector<FigureColumn> MeasuredFigureColumns(FigureSet set) {
  std::vector<FigureColumn> measured;
  for (const FigureColumn& column : AllFigureColumns())
    if (set == FigureSet::All || column.set == FigureSet::Classic) measured.push_back(column);
  return measured;
}

FigureSet SetMeasuring(const std::vector<FigureColumn>& columns) {
  for (const FigureColumn& column : columns)
    if (column.set == FigureSet::All) return FigureSet::All;
  return FigureSet::Classic;
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
