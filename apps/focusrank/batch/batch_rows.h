// The rows focusrank prints: CSV or JSON Lines, one per image.
#ifndef FOCUSRATE_BATCH_ROWS_H
#define FOCUSRATE_BATCH_ROWS_H

#include <string>

#include "rated_image.h"

enum class RowFormat { Csv, Jsonl };

/// What the rows hold: today's columns, then optionally the burst columns
/// (burst, relative, pick) and the sidecar column, after the status.
struct RowLayout {
  RowFormat format = RowFormat::Csv;
  bool bursts = false;    ///< --bursts
  bool sidecars = false;  ///< --xmp
};

/// The first line of the output ("" for JSON Lines), with its line break.
std::string HeaderLine(const RowLayout& layout);

/// One row with its line break. Figures are written as the result file
/// writes them; a figure that is missing or not finite is empty in CSV and
/// null in JSON. A frame in no burst has an empty (null) burst and relative
/// figure.
std::string RowLine(const RowLayout& layout, const std::string& path, const RatedImage& rated);

/// The field as RFC 4180 wants it: quoted, with quotes doubled, when it
/// holds a comma, a quote or a line break; as it is otherwise.
std::string CsvField(const std::string& text);

#endif  // FOCUSRATE_BATCH_ROWS_H
