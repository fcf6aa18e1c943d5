#include "batch_output.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr size_t kFlushSize = 1 << 16;

// New files get the usual 0666 less the umask, not mkstemp's 0600.
mode_t CreationMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

RowOutput::RowOutput(const std::string& path) : path_(path) {}

RowOutput::~RowOutput() {
  if (!tempPath_.empty()) {
    ::close(fd_);
    ::unlink(tempPath_.c_str());
  } else if (fd_ > STDOUT_FILENO) {
    ::close(fd_);
  }
}

bool RowOutput::Fail(const std::string& what) {
  if (errno == EPIPE && path_.empty()) readerGone_ = true;
  error_ = (path_.empty() ? std::string("standard output") : path_) + ": " + what + " (" +
           std::strerror(errno) + ")";
  return false;
}

bool RowOutput::Open() {
  if (path_.empty()) {
    fd_ = STDOUT_FILENO;
    return true;
  }
  // Only a regular file (or a new path) is replaced. A symlink, /dev/stdout,
  // a FIFO or a device is written in place: renaming over it would replace
  // the link or bypass the descriptor it stands for.
  struct stat st;
  const bool exists = ::lstat(path_.c_str(), &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOCTTY);
    return fd_ >= 0 || Fail("cannot open");
  }
  std::vector<char> name(path_.begin(), path_.end());
  const char suffix[] = ".tmp-XXXXXX";
  name.insert(name.end(), suffix, suffix + sizeof suffix);
  fd_ = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd_ < 0) return Fail("cannot create");
  tempPath_ = name.data();
  const mode_t mode = exists ? st.st_mode & 07777 : CreationMode();
  return ::fchmod(fd_, mode) == 0 || Fail("cannot create");
}

bool RowOutput::Write(const std::string& text) {
  if (!error_.empty()) return false;
  buffer_ += text;
  return buffer_.size() < kFlushSize || Flush();
}

bool RowOutput::Flush() {
  if (!error_.empty()) return false;  // failures stick: Finish never renames a partial file
  size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      buffer_.clear();
      return Fail("cannot write");
    }
    done += static_cast<size_t>(n);
  }
  buffer_.clear();
  return true;
}

bool RowOutput::Finish() {
  if (!Flush()) return false;
  if (tempPath_.empty()) return true;
  if (::fsync(fd_) != 0 || ::close(fd_) != 0) {
    fd_ = -1;
    return Fail("cannot write");
  }
  fd_ = -1;
  if (::rename(tempPath_.c_str(), path_.c_str()) != 0) return Fail("cannot replace");
  tempPath_.clear();
  return true;
}
