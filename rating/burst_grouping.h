// Telling bursts apart (--bursts): consecutive frames shot moments apart
// that show one scene, and the sharpest frame of each.
#ifndef FOCUSRATE_BURST_GROUPING_H
#define FOCUSRATE_BURST_GROUPING_H

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "rated_image.h"
#include "row_ranking.h"

namespace focusrate {

/// Fingerprints at most this many bits apart show one scene.
constexpr int kSameSceneDistance = 12;

/// Takes frames in input order and hands them back in input order once
/// their burst is complete, each with its BurstPlace. A frame joins the
/// burst of the frame before it while both were rated, their capture times
/// are known and at most `gap` microseconds apart (whole numbers, so 0.9 s -
/// 0.6 s is exactly 0.3 s) and their fingerprints show one scene. A frame
/// that was not rated ends the burst before it and belongs to none; a
/// damaged frame belongs to its burst but is never judged (no relative
/// figure, never the pick).
/// Holds back only the frames of the current burst.
///   BurstGrouping bursts(2000000, key);
///   for (...) for (RankedRow& row : bursts.Add(index, rated, time)) print(row);
///   for (RankedRow& row : bursts.Finish()) print(row);
class BurstGrouping {
 public:
  /// Relative figures and picks go by the figure key names.
  BurstGrouping(std::int64_t gap, const SortKey& key);

  /// Adds the next frame (time: microseconds since the epoch, nothing when
  /// unknown); returns the frames that are now complete.
  std::vector<RankedRow> Add(std::size_t index, const RatedImage& rated,
                             std::optional<std::int64_t> time);
  /// The frames still held back.
  std::vector<RankedRow> Finish();

 private:
  void CloseBurst(std::vector<RankedRow>& done);

  std::int64_t gap_;
  SortKey key_;
  std::size_t bursts_ = 0;
  std::vector<RankedRow> current_;
  std::optional<std::int64_t> lastTime_;
};

}  // namespace focusrate

#endif  // FOCUSRATE_BURST_GROUPING_H
