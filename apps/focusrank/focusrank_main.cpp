// focusrank: rates many images and prints one row of figures for each.
#include <csignal>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "exit_status.h"
#include "focusrank_options.h"
#include "focusrank_run.h"
#include "quiet_stderr.h"

int main(int argc, char** argv) {
  SilenceLibraryStderr();
  // A closed pipe shows up as EPIPE from write, which ends the run quietly.
  std::signal(SIGPIPE, SIG_IGN);
  try {
    RankOptions options;
    std::string error;
    switch (ParseRankOptions(std::vector<std::string>(argv + 1, argv + argc), options, error)) {
      case ParseOutcome::Help:
        std::fputs(RankHelpText(), stdout);
        return std::fflush(stdout) == 0 ? RankExit::kAllRated : RankExit::kOtherFailure;
      case ParseOutcome::Version:
        std::printf("%s %s\n", kRankProgram, FOCUSRATE_VERSION);
        return std::fflush(stdout) == 0 ? RankExit::kAllRated : RankExit::kOtherFailure;
      case ParseOutcome::Usage:
        WriteStderr(std::string(kRankProgram) + ": " + error + "\nTry '" + kRankProgram +
                    " --help'.\n");
        return RankExit::kUsage;
      case ParseOutcome::Run:
        break;
    }
    return RunFocusrank(options);
  } catch (const std::exception& e) {
    WriteStderr(std::string(kRankProgram) + ": " + e.what() + "\n");
    return RankExit::kOtherFailure;
  }
}
