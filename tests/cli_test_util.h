// Helpers for tests that run the programs: where they are, running one as a
// process the way its callers do, scratch files, a file they must refuse, and
// the result document built by hand from figures.
#ifndef FOCUSRATE_TESTS_CLI_TEST_UTIL_H
#define FOCUSRATE_TESTS_CLI_TEST_UTIL_H

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "focus_figures.h"
#include "scratch_files.h"

using namespace focusrate;

const std::string kFocusrate = FOCUSRATE_BINARY_DIR "/bin/focusrate";
const std::string kFocusrank = FOCUSRATE_BINARY_DIR "/bin/focusrank";

struct ProcessResult {
  int status;       ///< exit status 0..255; -N when killed by signal N
  std::string out;  ///< everything written to stdout
  std::string err;  ///< everything written to stderr
  bool timedOut;    ///< killed (SIGKILL) after the time limit
};

/// Runs args[0] (a path, not searched in PATH) with args as its argv. Its
/// stdin is a file holding stdinText; stdout and stderr are files read back
/// whole (tests that need a pipe build one with /bin/sh). After
/// timeoutSeconds the process is killed, so a hang fails a test instead of
/// blocking the run. SIGPIPE starts at its default.
ProcessResult RunProcess(const std::vector<std::string>& args,
                         const std::string& stdinText = std::string(), int timeoutSeconds = 60);

/// Runs a shell line inside dir (its $0), with the programs as $R
/// (focusrank), $F (focusrate) and $M (focusmap).
inline ProcessResult ShellIn(const std::string& dir, const std::string& line) {
  return RunProcess({"/bin/sh", "-c", "R=\"$1\" F=\"$2\" M=\"$3\" && cd \"$0\" && " + line,
                     dir, kFocusrank, kFocusrate, FOCUSRATE_BINARY_DIR "/bin/focusmap"});
}

/// A PNG signature and header claiming 100000 x 70000 8-bit RGB pixels, no pixel data.
const std::string kHugePng(
    "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\x01\x86\xa0\0\x01\x11\x70\x08\x02\0\0\0", 29);

/// A figure as the result file spells it: narrowed to float, default stream
/// formatting (six significant digits), null when it is not finite.
inline std::string FigureByHand(double figure) {
  const float narrowed = static_cast<float>(figure);
  if (!std::isfinite(narrowed)) return "null";
  std::ostringstream text;
  text << narrowed;
  return text.str();
}

/// The six lines of a result file, tab-indented, with no final line break.
inline std::string ResultFileByHand(const FocusFigures& f) {
  return "{\n\t\"Laplace\": " + FigureByHand(f.laplace) + ",\n\t\"Variance-Lap\": " +
         FigureByHand(f.varianceLap) + ",\n\t\"Tenengrad\": " + FigureByHand(f.tenengrad) +
         ",\n\t\"Gray-Level\": " + FigureByHand(f.grayLevel) + "\n}";
}

#endif  // FOCUSRATE_TESTS_CLI_TEST_UTIL_H
