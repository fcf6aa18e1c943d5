#include "failure_text.h"

#include <cstring>
#include <exception>
#include <new>

#include <opencv2/core.hpp>

namespace focusrate {

namespace {

// OpenCV's messages end in a line break and may span lines; keep one line.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

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

std::string CannotText(const std::string& action, int error) {
  return "cannot " + action + " (" + std::strerror(error) + ")";
}

}  // namespace focusrate
