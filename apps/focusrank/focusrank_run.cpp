#include "focusrank_run.h"

#include <cstring>

#include "batch_inputs.h"
#include "batch_output.h"
#include "burst_grouping.h"
#include "capture_time.h"
#include "exit_status.h"
#include "focusrank_sidecar.h"
#include "messages.h"
#include "progress.h"
#include "signal_cleanup.h"

namespace {

std::vector<std::string> ImagesToRate(const RankOptions& options) {
  std::vector<std::string> given = options.paths;
  int error = 0;
  if (!options.listFile.empty() &&
      !ReadPathList(options.listFile, options.nulSeparated, given, error)) {
    const std::string list = options.listFile == "-" ? "standard input" : options.listFile;
    Complain(kRankProgram, list + ": cannot read list (" + std::strerror(error) + ")");
  }
  std::vector<std::string> images = ExpandPaths(given, kRankProgram);
  // Unsorted, --top keeps the first rows: the rest need not be rated at all.
  if (!options.sorted && images.size() > options.top) images.resize(options.top);
  return images;
}

// Relative figures compare frames of one scene whose exposure may drift
// within the burst: the figure fair between exposures, unless --sort names one.
SortKey BurstKey(const RankOptions& options) {
  if (options.sorted) return options.sortBy;
  SortKey key;
  key.column = *FindFigureColumn("variance_lap_norm");
  return key;
}

}  // namespace

int RunFocusrank(const RankOptions& options) {
  const std::vector<std::string> images = ImagesToRate(options);
  const CullOptions& cull = options.cull;
  RowOutput out(options.outputPath);
  if (!out.Open() || !out.Write(HeaderLine(options.format, options.layout))) {
    Complain(kRankProgram, out.Error());
    return RankExit::kOtherFailure;
  }
  const bool streaming = options.outputPath.empty();
  // Two inputs whose sidecar is one file: neither may decide what it says.
  const std::vector<std::string> shared =
      cull.xmp ? SharedSidecars(images, cull.naming) : std::vector<std::string>();
  Progress progress(ProgressWanted(options.quiet, streaming), images.size());
  Ranking ranking(options.sortBy, options.top);
  BurstGrouping bursts(cull.gap, BurstKey(options));
  bool allOk = true;  // every row "ok" (a damaged file's row is not), every sidecar written
  // A row is final here: its sidecar is written, then it is printed or ranked.
  auto finish = [&](size_t index, RatedImage& rated) {
    allOk = allOk && rated.status == RateStatus::Ok;
    if (cull.xmp && WasRated(rated)) {
      // A signal waits until the sidecar is whole or untouched (its
      // temporary file is not the one the signal handler removes); waiting
      // for another run's lock on the folder ends at once.
      const SignalsHeld held;
      const SidecarOutcome sidecar =
          shared[index].empty()
              ? UpdateSidecar(images[index], cull.naming, SidecarFor(rated, cull),
                              cull.overwriteRatings, cull.dryRun)
              : SidecarNotWritten("shared with " + shared[index]);
      allOk = allOk && !sidecar.failed;
      rated.sidecar = sidecar.note;
    }
    if (options.sorted) {
      ranking.Add(index, rated);
      return true;
    }
    return out.Write(RowLine(options.format, options.layout, images[index], rated)) &&
           (!streaming || out.Flush());
  };
  auto finishAll = [&](std::vector<RankedRow> rows) {
    for (RankedRow& row : rows)
      if (!finish(row.first, row.second)) return false;
    return true;
  };
  bool more = true;
  RateInOrder(images, options.rate, options.jobs,
              [&](size_t index, const RatedImage& rated) {
                progress.Step();
                if (!cull.bursts) {
                  RatedImage row = rated;
                  return more = finish(index, row);
                }
                const double time = WasRated(rated) ? CaptureTime(images[index]) : 0;
                return more = finishAll(bursts.Add(index, rated, time));
              });
  if (more) finishAll(bursts.Finish());
  for (const RankedRow& row : ranking.Take())
    if (!out.Write(RowLine(options.format, options.layout, images[row.first], row.second))) break;
  progress.Finish();
  if (!out.Finish()) {
    if (out.ReaderGone()) return allOk ? RankExit::kAllRated : RankExit::kSomeNotRated;
    Complain(kRankProgram, out.Error());
    return RankExit::kOtherFailure;
  }
  return allOk && !ComplainedOnce() ? RankExit::kAllRated : RankExit::kSomeNotRated;
}
