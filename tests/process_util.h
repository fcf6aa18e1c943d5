// Running a built program as a separate process, the way its callers do, and
// capturing everything it says.
#ifndef FOCUSRATE_TESTS_PROCESS_UTIL_H
#define FOCUSRATE_TESTS_PROCESS_UTIL_H

#include <string>
#include <vector>

struct ProcessResult {
  int status;       ///< exit status 0..255; -N when killed by signal N
  std::string out;  ///< everything written to stdout
  std::string err;  ///< everything written to stderr
  bool timedOut;    ///< killed (SIGKILL) after the time limit
};

/// Runs args[0] (a path, not searched in PATH) with args as its argv. Its
/// stdin is a file holding stdinText; stdout and stderr are files read back
/// whole (tests that need a pipe build one with /bin/sh). After timeoutSeconds the process is killed, so a
/// hang fails a test instead of blocking the run. SIGPIPE starts at its default.
ProcessResult RunProcess(const std::vector<std::string>& args,
                         const std::string& stdinText = std::string(), int timeoutSeconds = 60);

#endif  // FOCUSRATE_TESTS_PROCESS_UTIL_H
