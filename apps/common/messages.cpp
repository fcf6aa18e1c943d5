#include "messages.h"

#include <atomic>
#include <cstring>
#include "exception_text.h"
#include "quiet_stderr.h"

namespace {
std::atomic<bool> complained{false};

}  // namespace

void Complain(const std::string& program, const std::string& text) {
  complained = true;
  WriteStderr(program + ": " + text + "\n");
}

bool ComplainedOnce() { return complained; }

void ComplainNotWritten(const std::string& program, const std::string& path,
                        const std::string& what, int error) {
  Complain(program, path + ": cannot write " + what + " (" + std::strerror(error) + ")");
}

void ComplainOfImage(const std::string& program, const std::string& path, RateStatus status,
                     const std::string& detail) {
  // A missing plugin is why a file no decoder took was refused.
  const std::string why =
      detail.empty() && status == RateStatus::CannotDecode ? DecoderPluginProblem() : detail;
  Complain(program, path + ": " + StatusText(status) + (why.empty() ? "" : " (" + why + ")"));
}

void ComplainOfClash(const std::string& program, const std::string& output,
                     const std::string& what) {
  Complain(program, output + ": is " + what + "; not written");
}

void ComplainOfException(const std::string& program) { Complain(program, CurrentExceptionText()); }
