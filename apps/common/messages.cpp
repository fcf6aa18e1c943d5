#include "messages.h"

#include <atomic>

#include "quiet_stderr.h"

namespace {
std::atomic<bool> complained{false};
}  // namespace

void Complain(const std::string& program, const std::string& text) {
  complained = true;
  WriteStderr(program + ": " + text + "\n");
}

bool ComplainedOnce() { return complained; }
