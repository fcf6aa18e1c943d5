#include "signal_cleanup.h"

#include <limits.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>

namespace focusrate {

namespace {

// The handler may only read plain memory: a fixed copy of the path, and a
// flag set once the copy is complete.
char pathCopy[PATH_MAX + 1];
volatile sig_atomic_t armed = 0;

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void RemoveAndDie(int sig) {
  if (armed) ::unlink(pathCopy);
  ::signal(sig, SIG_DFL);
  ::raise(sig);
}

}  // namespace

void RemoveOnSignal(const std::string& path) {
  armed = 0;
  if (path.empty() || path.size() > PATH_MAX) return;
  std::memcpy(pathCopy, path.c_str(), path.size() + 1);
  armed = 1;
  for (int sig : kSignals) {
    // A signal the caller chose to ignore (nohup) stays ignored.
    struct sigaction old {};
    if (::sigaction(sig, nullptr, &old) == 0 && old.sa_handler == SIG_IGN) continue;
    ::signal(sig, RemoveAndDie);
  }
}

void ForgetOnSignal() { armed = 0; }

SignalsHeld::SignalsHeld() {
  sigset_t held;
  sigemptyset(&held);
  for (int sig : kSignals) sigaddset(&held, sig);
  ::pthread_sigmask(SIG_BLOCK, &held, &previous_);
}

SignalsHeld::~SignalsHeld() { ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr); }

}  // namespace focusrate
