// focusrank's command line, parsed into one record.
#ifndef FOCUSRATE_FOCUSRANK_OPTIONS_H
#define FOCUSRATE_FOCUSRANK_OPTIONS_H

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "batch_rows.h"
#include "batch_runner.h"
#include "option_table.h"
#include "row_ranking.h"
#include "xmp_sidecar.h"

namespace focusrate {

/// The name messages are prefixed with.
constexpr const char* kRankProgram = "focusrank";

/// Culling bursts and writing sidecars: --bursts, --xmp and their options.
struct CullOptions {
  bool bursts = false;
  std::int64_t gap = 0;                          ///< --bursts[=SECONDS], in microseconds
  bool xmp = false;
  SidecarNaming naming = SidecarNaming::Append;  ///< --xmp-name
  std::string label;                             ///< --label-picks, "" none
  double rejectBelow = 0;                        ///< --reject-below, 0 none
  bool overwriteRatings = false;
  bool dryRun = false;
  std::string xmpOnly;  ///< the last option given that only --xmp uses, "" none
};

struct RankOptions {
  std::vector<std::string> paths;  ///< files and directories, in order
  std::string listFile;            ///< --files-from ("-" standard input), "" none
  bool nulSeparated = false;       ///< -0
  std::string outputPath;          ///< -o, "" standard output (also "-o -")
  std::string reportDir;           ///< --report, "" none
  RowFormat format = RowFormat::Csv;
  RowLayout layout;                ///< --figures; subject columns with --subject
  int jobs = 1;                    ///< defaults to the number of cores
  bool sorted = false;             ///< --sort given
  SortKey sortBy;
  size_t top = std::numeric_limits<size_t>::max();
  RateSettings rate;               ///< --roi, --subject, --max-pixels
  bool quiet = false;
  CullOptions cull;
};

/// focusrank's options, each storing its value into options.
OptionTable RankOptionTable(RankOptions& options);

/// Parses the arguments after the program name with RankOptionTable, then
/// checks the options against each other. On Usage, error holds one line
/// saying what is wrong (without the program name).
ParseOutcome ParseRankOptions(const std::vector<std::string>& args, RankOptions& options,
                              std::string& error);

/// The prose of --help before and after the options.
extern const char kRankHelpIntro[];
extern const char kRankHelpOutro[];

}  // namespace focusrate

#endif  // FOCUSRATE_FOCUSRANK_OPTIONS_H
