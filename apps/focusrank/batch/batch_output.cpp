#include "batch_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "quiet_stderr.h"
#include "signal_cleanup.h"

namespace focusrate {

namespace {

constexpr size_t kFlushSize = 1 << 16;

}  // namespace

RowOutput::RowOutput(const std::string& path) : path_(path) {}

bool RowOutput::Fail(const std::string& what, int error) {
  if (error == EPIPE && path_.empty()) readerGone_ = true;
  error_ = (path_.empty() ? std::string("standard output") : path_) + ": " + what + " (" +
           std::strerror(error) + ")";
  return false;
}

RowOutput::~RowOutput() { ForgetOnSignal(); }

bool RowOutput::Open() {
  // A closed standard output holds /dev/null: rows sent there would vanish.
  if (path_.empty()) return !StandardDescriptorWasClosed(STDOUT_FILENO) || Fail("cannot write", EBADF);
  file_.reset(new Jzon::FileWriter(path_));
  // The signals wait until the handlers know the temporary file, so none
  // can slip in between its creation and its registration.
  const SignalsHeld held;
  if (!file_->Open()) return Fail("cannot create", file_->LastErrno());
  RemoveOnSignal(file_->TempPath());
  return true;
}

bool RowOutput::Write(const std::string& text) {
  if (!error_.empty()) return false;
  buffer_ += text;
  return buffer_.size() < kFlushSize || Flush();
}

bool RowOutput::WriteStandardOutput() {
  size_t done = 0;
  while (done < buffer_.size()) {
    const ssize_t n = ::write(STDOUT_FILENO, buffer_.data() + done, buffer_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return Fail("cannot write", n == 0 ? EIO : errno);
    done += static_cast<size_t>(n);
  }
  return true;
}

bool RowOutput::Flush() {
  if (!error_.empty()) return false;  // failures stick: Finish never commits a partial file
  const bool written = file_ ? file_->Write(buffer_.data(), buffer_.size()) ||
                                   Fail("cannot write", file_->LastErrno())
                             : WriteStandardOutput();
  buffer_.clear();
  return written;
}

bool RowOutput::Finish() {
  if (!Flush()) return false;
  const bool committed = !file_ || file_->Commit() || Fail("cannot replace", file_->LastErrno());
  ForgetOnSignal();
  return committed;
}

}  // namespace focusrate
