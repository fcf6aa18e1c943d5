#include "row_ranking.h"

#include <algorithm>
#include <cmath>

double FigureOf(const FocusFigures& f, Measure measure) {
  switch (measure) {
    case Measure::Laplace: return f.laplace;
    case Measure::VarianceLap: return f.varianceLap;
    case Measure::Tenengrad: return f.tenengrad;
    case Measure::GrayLevel: return f.grayLevel;
  }
  return NAN;
}

bool ParseMeasure(const std::string& name, Measure& measure) {
  static const std::pair<const char*, Measure> kNames[] = {
      {"laplace", Measure::Laplace},
      {"variance-lap", Measure::VarianceLap},
      {"tenengrad", Measure::Tenengrad},
      {"gray-level", Measure::GrayLevel}};
  for (const auto& [text, value] : kNames) {
    if (name == text) {
      measure = value;
      return true;
    }
  }
  return false;
}

Ranking::Ranking(Measure measure, size_t keep) : measure_(measure), keep_(keep) {}

bool Ranking::Before(const RankedRow& a, const RankedRow& b) const {
  const double fa = FigureOf(a.second.figures, measure_);
  const double fb = FigureOf(b.second.figures, measure_);
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
