// A run stopped by Ctrl-C, SIGTERM or SIGHUP must not leave its half-written
// temporary file beside the output. (After SIGKILL nothing can be done.)
#ifndef FOCUSRATE_SIGNAL_CLEANUP_H
#define FOCUSRATE_SIGNAL_CLEANUP_H

#include <string>

/// Until ForgetOnSignal, SIGINT, SIGTERM and SIGHUP remove path and then end
/// the process as the signal would have. One path at a time.
void RemoveOnSignal(const std::string& path);

/// The file is committed or gone: signals no longer touch it.
void ForgetOnSignal();

#endif  // FOCUSRATE_SIGNAL_CLEANUP_H
