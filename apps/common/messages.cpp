#include "messages.h"

#include <atomic>
#include <cstring>
#include <exception>
#include <new>

#include <opencv2/core.hpp>

#include "quiet_stderr.h"

namespace {
std::atomic<bool> complained{false};

// OpenCV's messages end in a line break and may span lines; keep one line.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}
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
  Complain(program, path + ": " + StatusText(status) + (detail.empty() ? "" : " (" + detail + ")"));
}

void ComplainOfClash(const std::string& program, const std::string& output,
                     const std::string& what) {
  Complain(program, output + ": is " + what + "; not written");
}

std::string CurrentExceptionText() {
  try {
    throw;
  } catch (const cv::Exception& e) {
    return OneLine(e.err);
  } catch (const std::bad_alloc&) {
    return "out of memory";
  } catch (const std::exception& e) {
    return OneLine(e.what());
  } catch (...) {
    return "unexpected failure";
  }
}

void ComplainOfException(const std::string& program) { Complain(program, CurrentExceptionText()); }
