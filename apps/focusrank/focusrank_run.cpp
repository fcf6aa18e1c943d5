#include "focusrank_run.h"

#include <cstring>

#include "batch_inputs.h"
#include "batch_output.h"
#include "exit_status.h"
#include "messages.h"
#include "progress.h"

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

}  // namespace

int RunFocusrank(const RankOptions& options) {
  const std::vector<std::string> images = ImagesToRate(options);
  RowOutput out(options.outputPath);
  if (!out.Open() || !out.Write(HeaderLine(options.format, options.layout))) {
    Complain(kRankProgram, out.Error());
    return RankExit::kOtherFailure;
  }
  const bool streaming = options.outputPath.empty();
  Progress progress(ProgressWanted(options.quiet, streaming), images.size());
  Ranking ranking(options.sortBy, options.top);
  bool allOk = true;  // every row "ok": a damaged file's row is not
  RateInOrder(images, options.rate, options.jobs,
              [&](size_t index, const RatedImage& rated) {
                allOk = allOk && rated.status == RateStatus::Ok;
                progress.Step();
                if (options.sorted) {
                  ranking.Add(index, rated);
                  return true;
                }
                const std::string row =
                    RowLine(options.format, options.layout, images[index], rated);
                return out.Write(row) && (!streaming || out.Flush());
              });
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
