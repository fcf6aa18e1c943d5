#include "focusrank_run.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <system_error>

#include "batch_inputs.h"
#include "batch_output.h"
#include "exit_status.h"
#include "failure_text.h"
#include "file_identity.h"
#include "focusrank_sidecar.h"
#include "messages.h"
#include "progress.h"
#include "quiet_stderr.h"
#include "rank_images.h"
#include "report_thumbs.h"
#include "report_writer.h"
#include "signal_cleanup.h"

namespace focusrate {

namespace {

RankSettings RunSettings(const RankOptions& options) {
  RankSettings run;
  run.rate = options.rate;
  run.jobs = options.jobs;
  run.sorted = options.sorted;
  run.sortBy = options.sortBy;
  run.top = options.top;
  run.bursts = options.cull.bursts;
  run.gap = options.cull.gap;
  if (!options.reportDir.empty()) {
    run.rate.reducedSide = kThumbSide;
    run.rate.tileMap = true;
  }
  return run;
}

std::vector<std::string> ImagesToRate(const RankOptions& options, const RankSettings& run,
                                      size_t& skipped) {
  std::vector<std::string> given = options.paths;
  int error = 0;
  if (!options.listFile.empty() &&
      !ReadPathList(options.listFile, options.nulSeparated, given, error)) {
    const std::string list = options.listFile == "-" ? "standard input" : options.listFile;
    Complain(kRankProgram, list + ": " + CannotText("read list", error));
  }
  std::vector<std::string> images =
      ExpandPaths(given, [](const std::string& problem) { Complain(kRankProgram, problem); },
                  &skipped);
  DropUnshown(images, run);
  return images;
}

// What the output file would replace that the run reads or writes ("" for
// nothing): refused before any image is rated. An input can only be the
// output when the output exists; a sidecar may not exist yet.
std::string ClashAtOutput(const RankOptions& options, const std::vector<std::string>& images) {
  const std::string& output = options.outputPath;
  if (output.empty()) return "";
  const std::optional<FileIdentity> out = IdentityOf(output);
  if (out && options.listFile != "-" && IdentityOf(options.listFile) == out)
    return "the list of paths";
  const CullOptions& cull = options.cull;
  for (const std::string& image : images) {
    if (out && IdentityOf(image) == out) return "an input image";
    if (cull.xmp && !cull.dryRun && SameOutput(output, SidecarPath(image, cull.naming)))
      return "the sidecar of an input image";
  }
  return "";
}

// On a terminal, a run ends by saying what became of everything it found.
void Summarise(bool quiet, size_t rated, size_t other, size_t skipped) {
  if (quiet || ::isatty(RealStderr()) != 1) return;
  WriteStderr(std::string(kRankProgram) + ": images rated: " + std::to_string(rated) +
              ", rows with another status: " + std::to_string(other) +
              ", files skipped for their extension: " + std::to_string(skipped) + "\n");
}

// Whether the report folder is an input or lies in a folder searched: the
// next run would rate its thumbnails, or it would write over an input.
bool ReportAmongInputs(const RankOptions& options) {
  namespace fs = std::filesystem;
  auto real = [](const std::string& path) {
    std::error_code error;
    fs::path real = fs::weakly_canonical(path, error);
    if (!real.empty() && real.filename().empty()) real = real.parent_path();  // "dir/"
    return real;
  };
  const fs::path report = real(options.reportDir);
  return std::any_of(options.paths.begin(), options.paths.end(), [&](const std::string& given) {
    const fs::path input = real(given);
    return !input.empty() &&
           std::mismatch(input.begin(), input.end(), report.begin(), report.end()).first == input.end();
  });
}

}  // namespace

int RunFocusrank(const RankOptions& options) {
  const RankSettings run = RunSettings(options);
  size_t skipped = 0, ok = 0, done = 0;  // files a search passed by; rows ok; rows
  const std::vector<std::string> images = ImagesToRate(options, run, skipped);
  const std::string clash = ClashAtOutput(options, images);
  if (!clash.empty()) {
    ComplainOfClash(kRankProgram, options.outputPath, clash);
    return RankExit::kUsage;
  }
  if (!options.reportDir.empty() && ReportAmongInputs(options)) {
    ComplainOfClash(kRankProgram, options.reportDir, "an input or in a folder searched");
    return RankExit::kUsage;
  }
  std::optional<ReportWriter> report;
  if (!options.reportDir.empty()) {
    report.emplace(options.reportDir, options.layout, options.rate.region);
    if (!report->Open(images.size())) {
      Complain(kRankProgram, report->Error());
      return RankExit::kOtherFailure;
    }
  }
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
  bool allOk = true;  // every row "ok" (a damaged file's row is not), every sidecar written
  // A row is final here: its sidecar is written before it is printed or ranked.
  auto finished = [&](size_t index, RatedImage& rated) {
    if (rated.status == RateStatus::CannotRate) {
      progress.Finish();  // the message starts its own line
      ComplainOfImage(kRankProgram, images[index], rated.status, rated.failure);
    }
    progress.Step();
    allOk = allOk && rated.status == RateStatus::Ok;
    ok += rated.status == RateStatus::Ok;
    ++done;
    // The report's failure is said once, at the end; the rows go on.
    if (report) report->Add(index, images[index], rated);
    if (!cull.xmp || !WasRated(rated)) return true;
    // A signal waits until the sidecar is whole or untouched (its temporary
    // file is not the one the signal handler removes); waiting for another
    // run's lock on the folder ends at once.
    const SignalsHeld held;
    const SidecarOutcome sidecar =
        shared[index].empty()
            ? UpdateSidecar(images[index], cull.naming,
                            SidecarFor(rated, cull, options.layout.figures),
                            cull.overwriteRatings, cull.dryRun)
            : SidecarNotWritten("shared with " + shared[index]);
    allOk = allOk && !sidecar.failed;
    rated.sidecar = sidecar.note;
    return true;
  };
  auto shown = [&](size_t index, const RatedImage& rated) {
    return out.Write(RowLine(options.format, options.layout, images[index], rated)) &&
           (!streaming || options.sorted || out.Flush());
  };
  RatedWork thumbnail;
  if (report) thumbnail = [&](size_t index, RatedImage& rated) { report->Thumbnail(index, rated); };
  RankImages(images, run, finished, shown, thumbnail);
  progress.Finish();
  const bool reported = !report || report->Finish();
  if (!reported) Complain(kRankProgram, report->Error());
  // Rows say "cannot decode"; the reason is the same for all of them.
  if (const std::string problem = DecoderPluginProblem(); !problem.empty())
    Complain(kRankProgram, problem);
  Summarise(options.quiet, ok, done - ok, skipped);
  if (!out.Finish()) {
    if (out.ReaderGone()) return allOk ? RankExit::kAllRated : RankExit::kSomeNotRated;
    Complain(kRankProgram, out.Error());
    return RankExit::kOtherFailure;
  }
  if (!reported) return RankExit::kOtherFailure;
  return allOk && !ComplainedOnce() ? RankExit::kAllRated : RankExit::kSomeNotRated;
}

}  // namespace focusrate
