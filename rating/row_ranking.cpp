#include "row_ranking.h"

#include <algorithm>
#include <cmath>

namespace focusrate {

double SortValue(const SortKey& key, const RatedImage& rated) {
  return key.column.value(key.subject ? rated.subjectFigures : rated.figures);
}

bool ParseSortKey(const std::string& name, SortKey& key) {
  static const std::string kSubject = "subject";
  const bool subject = name.compare(0, kSubject.size(), kSubject) == 0 &&
                       name.size() > kSubject.size() &&
                       (name[kSubject.size()] == '_' || name[kSubject.size()] == '-');
  const FigureColumn* column =
      FindFigureColumn(subject ? name.substr(kSubject.size() + 1) : name);
  if (!column) return false;
  key.column = *column;
  key.subject = subject;
  return true;
}

Ranking::Ranking(const SortKey& key, size_t keep) : key_(key), keep_(keep) {}

bool Ranking::Before(const RankedRow& a, const RankedRow& b) const {
  const double fa = SortValue(key_, a.second);
  const double fb = SortValue(key_, b.second);
  const bool ha = WasRated(a.second) && std::isfinite(fa);
  const bool hb = WasRated(b.second) && std::isfinite(fb);
  if (ha != hb) return ha;
  if (ha && fa != fb) return fa > fb;
  return a.first < b.first;
}

void Ranking::SortAndTrim() {
  std::sort(rows_.begin(), rows_.end(),
            [this](const RankedRow& a, const RankedRow& b) { return Before(a, b); });
  if (rows_.size() > keep_) rows_.resize(keep_);
}

void Ranking::Add(size_t index, const RatedImage& rated) {
  rows_.emplace_back(index, rated);
  // Trimming at twice the kept size keeps the cost per row logarithmic.
  if (keep_ < rows_.size() / 2) SortAndTrim();
}

std::vector<RankedRow> Ranking::Take() {
  SortAndTrim();
  std::vector<RankedRow> ranked = std::move(rows_);
  rows_.clear();
  return ranked;
}

}  // namespace focusrate
