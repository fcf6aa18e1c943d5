#include "burst_grouping.h"

#include <cmath>
#include <cstdlib>

#include "scene_fingerprint.h"

namespace focusrate {

BurstGrouping::BurstGrouping(std::int64_t gap, const SortKey& key) : gap_(gap), key_(key) {}

void BurstGrouping::CloseBurst(std::vector<RankedRow>& done) {
  // Only frames read whole are judged: a JPEG cut short rates higher than
  // it should (its grey fill adds edges), so a damaged frame gets no
  // relative figure and is never the pick.
  auto judged = [](const RankedRow& row) { return row.second.status == RateStatus::Ok; };
  // The best finite figure; ties go to the earlier frame. No frame with a
  // finite figure means no pick and no relative figures.
  const RankedRow* best = nullptr;
  for (const RankedRow& row : current_) {
    const double figure = SortValue(key_, row.second);
    if (judged(row) && std::isfinite(figure) && (!best || figure > SortValue(key_, best->second)))
      best = &row;
  }
  const double top = best ? SortValue(key_, best->second) : NAN;
  for (RankedRow& row : current_) {
    const double figure = SortValue(key_, row.second);
    BurstPlace& place = row.second.place;
    place.burst = bursts_;
    // Equal figures are 1 even when the best is 0 (a featureless burst).
    place.relative = !judged(row) ? kNoFigure : figure == top ? 1.0 : figure / top;
    place.pick = &row == best;
    done.push_back(std::move(row));
  }
  current_.clear();
}

std::vector<RankedRow> BurstGrouping::Add(std::size_t index, const RatedImage& rated,
                                          std::optional<std::int64_t> time) {
  std::vector<RankedRow> done;
  // Capture times lie within 2^60 µs of the epoch: their difference fits.
  const bool joins = !current_.empty() && WasRated(rated) && time && lastTime_ &&
                     std::llabs(*time - *lastTime_) <= gap_ &&
                     FingerprintDistance(current_.back().second.fingerprint,
                                         rated.fingerprint) <= kSameSceneDistance;
  if (!joins) CloseBurst(done);
  if (!WasRated(rated)) {
    done.emplace_back(index, rated);
    return done;
  }
  if (current_.empty()) ++bursts_;
  current_.emplace_back(index, rated);
  lastTime_ = time;
  return done;
}

std::vector<RankedRow> BurstGrouping::Finish() {
  std::vector<RankedRow> done;
  CloseBurst(done);
  return done;
}

}  // namespace focusrate
