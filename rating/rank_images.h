// One run over many images, as every front end runs it: rate them on several
// threads, place each in its burst, then rank and trim.
#ifndef FOCUSRATE_RANK_IMAGES_H
#define FOCUSRATE_RANK_IMAGES_H

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "batch_runner.h"
#include "rated_image.h"
#include "row_ranking.h"

namespace focusrate {

/// What a run does beyond rating each file (settings.rate).
struct RankSettings {
  RateSettings rate;                                   ///< region, subject, max pixels
  int jobs = 0;                                        ///< worker threads; 0: one per core
  bool sorted = false;                                 ///< rank rows by sortBy
  SortKey sortBy;                                      ///< with sorted, also the bursts' key
  std::size_t top = std::numeric_limits<std::size_t>::max();  ///< rows kept
  bool bursts = false;                                 ///< group bursts and pick in each
  std::int64_t gap = 2000000;                          ///< microseconds between frames of a burst
};

/// Called once per image in input order once it is final (rated, and with
/// bursts placed in its burst), also for images --top later drops; may add
/// to the row (a front end's notes). The place to write per-image files.
/// False stops the run.
using FinishedImage = std::function<bool(std::size_t index, RatedImage& rated)>;
/// Called with the rows to show, in the order to show them; false stops.
using ShownRow = std::function<bool(std::size_t index, const RatedImage& rated)>;

/// Unsorted, only the first `top` images are shown, so the rest need not be
/// rated at all: drops them. RankImages does it too; call it first to count
/// the images a run will rate.
void DropUnshown(std::vector<std::string>& images, const RankSettings& settings);

/// Rates images, does work on each on the thread that rated it (RateInOrder),
/// and hands each to finished, then the rows to shown: in input
/// order as they are final when unsorted, best first at the end when sorted,
/// at most `top` rows. Unsorted, images past `top` are not rated at all.
/// Relative figures and picks go by sortBy when sorted, else by
/// variance_lap_norm (fair between the exposures of a burst). An exception
/// from a worker ends the run and is rethrown here.
void RankImages(std::vector<std::string> images, const RankSettings& settings,
                const FinishedImage& finished, const ShownRow& shown,
                const RatedWork& work = RatedWork());

}  // namespace focusrate

#endif  // FOCUSRATE_RANK_IMAGES_H
