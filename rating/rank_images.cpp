#include "rank_images.h"

#include <thread>
#include <utility>

#include "burst_grouping.h"

namespace focusrate {

namespace {

SortKey BurstKey(const RankSettings& settings) {
  if (settings.sorted) return settings.sortBy;
  SortKey key;
  key.column = *FindFigureColumn("variance_lap_norm");
  return key;
}

int JobCount(int jobs) {
  if (jobs > 0) return jobs;
  const unsigned cores = std::thread::hardware_concurrency();
  return cores == 0 ? 1 : static_cast<int>(cores);
}

}  // namespace

void DropUnshown(std::vector<std::string>& images, const RankSettings& settings) {
  if (!settings.sorted && images.size() > settings.top) images.resize(settings.top);
}

void RankImages(std::vector<std::string> images, const RankSettings& settings,
                const FinishedImage& finished, const ShownRow& shown,
                const RatedWork& work) {
  DropUnshown(images, settings);
  RateSettings rate = settings.rate;
  rate.burstClues = rate.burstClues || settings.bursts;
  Ranking ranking(settings.sortBy, settings.top);
  BurstGrouping bursts(settings.gap, BurstKey(settings));
  bool more = true;
  auto finish = [&](std::vector<RankedRow> rows) {
    for (RankedRow& row : rows) {
      if (!more) return;
      more = finished(row.first, row.second);
      if (!more) return;
      if (settings.sorted)
        ranking.Add(row.first, row.second);
      else
        more = shown(row.first, row.second);
    }
  };
  RateInOrder(images, rate, JobCount(settings.jobs),
              [&](std::size_t index, const RatedImage& rated) {
                if (!settings.bursts) {
                  finish({{index, rated}});
                } else {
                  finish(bursts.Add(index, rated, rated.captureTime));
                }
                return more;
              },
              work);
  if (more) finish(bursts.Finish());
  for (const RankedRow& row : ranking.Take())
    if (!more || !(more = shown(row.first, row.second))) break;
}

}  // namespace focusrate
