// Ranking rows from sharpest to blurriest (--sort, --top).
#ifndef FOCUSRATE_ROW_RANKING_H
#define FOCUSRATE_ROW_RANKING_H

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "figure_columns.h"
#include "rated_image.h"

namespace focusrate {

/// The figure rows are ranked by: of the whole image or of its subject.
struct SortKey {
  FigureColumn column = AllFigureColumns().front();
  bool subject = false;
};

/// A figure name ("variance_lap", also "variance-lap"), with the prefix
/// "subject_" for the subject's figure; false for others.
bool ParseSortKey(const std::string& name, SortKey& key);

/// The figure of the row that key names.
double SortValue(const SortKey& key, const RatedImage& rated);

/// One row waiting to be printed: its input index and outcome.
using RankedRow = std::pair<size_t, RatedImage>;

/// Collects rows and hands them back best first: a larger figure first,
/// equal figures in input order, rows without a finite figure last in input
/// order. Keeps no more than about 2 x keep rows at any time.
class Ranking {
 public:
  Ranking(const SortKey& key, size_t keep);
  void Add(size_t index, const RatedImage& rated);
  /// The first `keep` rows in rank order; the Ranking is empty afterwards.
  std::vector<RankedRow> Take();

 private:
  bool Before(const RankedRow& a, const RankedRow& b) const;
  void SortAndTrim();

  SortKey key_;
  size_t keep_;
  std::vector<RankedRow> rows_;
};

}  // namespace focusrate

#endif  // FOCUSRATE_ROW_RANKING_H
