// The rows focusrank prints: CSV or JSON Lines, one per image.
#ifndef FOCUSRATE_BATCH_ROWS_H
#define FOCUSRATE_BATCH_ROWS_H

#include <string>
#include <vector>

#include "figure_columns.h"
#include "rated_image.h"

namespace focusrate {

enum class RowFormat { Csv, Jsonl };

/// Which columns a row has: path, the figures in this order, with a subject
/// the region and the same figures inside it, then the status; with bursts
/// burst, relative and pick, and with sidecars what became of the sidecar.
struct RowLayout {
  std::vector<FigureColumn> figures = DefaultFigureColumns();
  bool subject = false;
  bool bursts = false;    ///< --bursts
  bool sidecars = false;  ///< --xmp
};

/// The first line of the output ("" for JSON Lines), with its line break.
std::string HeaderLine(RowFormat format, const RowLayout& layout);

/// One row with its line break. Figures are written as the result file
/// writes them; a figure that is missing or not finite is empty in CSV and
/// null in JSON. A JSON row of a raw file rated also names its rendition
/// ("rendition": "half 3012x2008", after the status).
std::string RowLine(RowFormat format, const RowLayout& layout, const std::string& path,
                    const RatedImage& rated);

/// The field as RFC 4180 wants it: quoted, with quotes doubled, when it
/// holds a comma, a quote or a line break; as it is otherwise.
std::string CsvField(const std::string& text);

}  // namespace focusrate

#endif  // FOCUSRATE_BATCH_ROWS_H
