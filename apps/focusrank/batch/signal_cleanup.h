// A run stopped by Ctrl-C, SIGTERM or SIGHUP must not leave its half-written
// temporary file beside the output. (After SIGKILL nothing can be done.)
#ifndef FOCUSRATE_SIGNAL_CLEANUP_H
#define FOCUSRATE_SIGNAL_CLEANUP_H

#include <signal.h>

#include <string>

namespace focusrate {

/// Until ForgetOnSignal, SIGINT, SIGTERM and SIGHUP remove path and then end
/// the process as the signal would have. One path at a time.
void RemoveOnSignal(const std::string& path);

/// The file is committed or gone: signals no longer touch it.
void ForgetOnSignal();

/// Holds SIGINT, SIGTERM and SIGHUP back on this thread while it lives (they
/// are delivered when it ends): for creating a file and registering it as
/// one step, for writing a file the handler does not know of whole, and for
/// starting threads that never take these signals.
class SignalsHeld {
 public:
  SignalsHeld();
  ~SignalsHeld();
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t previous_;
};

}  // namespace focusrate

#endif  // FOCUSRATE_SIGNAL_CLEANUP_H
