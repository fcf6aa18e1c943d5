// fd 2 goes to /dev/null so that no library (OpenCV's logger, libpng,
// libjpeg) can print; the programs keep a private copy of the real stderr.
#include "quiet_stderr.h"

#include <errno.h>
#include <fcntl.h>
#include <stdint.h>
#include <unistd.h>

#include <opencv2/core/utils/logger.hpp>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/common_interface_defs.h>
#endif

namespace focusrate {

namespace {

int realStderr = STDERR_FILENO;
bool closedAtStart[3] = {false, false, false};

// A closed standard descriptor would be reused by the next open(): the
// result file could then receive the banner. Park /dev/null on each.
void OpenMissingStandardDescriptors() {
  for (int fd = 0; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
      closedAtStart[fd] = true;
      int opened = ::open("/dev/null", O_RDWR);
      if (opened != fd && opened >= 0) ::close(opened);
    }
  }
}

}  // namespace

void SilenceLibraryStderr() {
  OpenMissingStandardDescriptors();
  cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
  int copy = ::fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, STDERR_FILENO + 1);
  int devNull = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (copy < 0 || devNull < 0) {
    // Without a private copy, silencing would also silence our own messages.
    if (copy >= 0) ::close(copy);
    if (devNull >= 0) ::close(devNull);
    return;
  }
  ::dup2(devNull, STDERR_FILENO);
  ::close(devNull);
  realStderr = copy;
#if defined(__SANITIZE_ADDRESS__)
  // Sanitizer reports must stay visible in the instrumented build.
  __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<intptr_t>(copy)));
#endif
}

bool StandardDescriptorWasClosed(int fd) { return fd >= 0 && fd <= 2 && closedAtStart[fd]; }

int RealStderr() { return realStderr; }

void WriteStderr(const std::string& text) {
  const char* data = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    ssize_t written = ::write(realStderr, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return;  // nowhere left to report that reporting failed
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
}

}  // namespace focusrate
