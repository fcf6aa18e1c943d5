// focusrank: rates many images and prints one row of figures for each.
#include <csignal>
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
    const ParseOutcome outcome =
        ParseRankOptions(std::vector<std::string>(argv + 1, argv + argc), options, error);
    if (outcome != ParseOutcome::Run)
      return AnswerWithoutRunning(RankOptionTable(options), outcome, error);
    return RunFocusrank(options);
  } catch (const std::exception& e) {
    WriteStderr(std::string(kRankProgram) + ": " + e.what() + "\n");
    return RankExit::kOtherFailure;
  }
}
