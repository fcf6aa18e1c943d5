// Helpers for tests that run the programs: scratch files and the result
// document text built by hand from figures.
#ifndef FOCUSRATE_TESTS_CLI_TEST_UTIL_H
#define FOCUSRATE_TESTS_CLI_TEST_UTIL_H

#include <cmath>
#include <sstream>
#include <string>

#include "focus_figures.h"
#include "scratch_files.h"

/// A figure as the result file spells it: narrowed to float, default stream
/// formatting (six significant digits), null when it is not finite.
inline std::string FigureByHand(double figure) {
  const float narrowed = static_cast<float>(figure);
  if (!std::isfinite(narrowed)) return "null";
  std::ostringstream text;
  text << narrowed;
  return text.str();
}

/// The six lines of a result file, tab-indented, with no final line break.
inline std::string ResultFileByHand(const FocusFigures& f) {
  return "{\n\t\"Laplace\": " + FigureByHand(f.laplace) + ",\n\t\"Variance-Lap\": " +
         FigureByHand(f.varianceLap) + ",\n\t\"Tenengrad\": " + FigureByHand(f.tenengrad) +
         ",\n\t\"Gray-Level\": " + FigureByHand(f.grayLevel) + "\n}";
}

#endif  // FOCUSRATE_TESTS_CLI_TEST_UTIL_H
