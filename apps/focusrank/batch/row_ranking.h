// Ranking rows from sharpest to blurriest (--sort, --top).
#ifndef FOCUSRATE_ROW_RANKING_H
#define FOCUSRATE_ROW_RANKING_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "rated_image.h"

enum class Measure { Laplace, VarianceLap, Tenengrad, GrayLevel };

/// "laplace", "variance-lap", "tenengrad", "gray-level"; false for others.
bool ParseMeasure(const std::string& name, Measure& measure);

/// The figure the measure names.
double FigureOf(const FocusFigures& figures, Measure measure);

/// One row waiting to be printed: its input index and outcome.
using RankedRow = std::pair<size_t, RatedImage>;

/// Collects rows and hands them back best first: a larger figure first,
/// equal figures in input order, rows without a finite figure last in input
/// order. Keeps no more than about 2 x keep rows at any time.
class Ranking {
 public:
  Ranking(Measure measure, size_t keep);
  void Add(size_t index, const RatedImage& rated);
  /// The first `keep` rows in rank order; the Ranking is empty afterwards.
  std::vector<RankedRow> Take();

 private:
  bool Before(const RankedRow& a, const RankedRow& b) const;
  void SortAndTrim();

  Measure measure_;
  size_t keep_;
  std::vector<RankedRow> rows_;
};

#endif  // FOCUSRATE_ROW_RANKING_H
