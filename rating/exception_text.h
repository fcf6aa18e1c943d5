// What went wrong, in one line, when an exception is all there is to say.
#ifndef FOCUSRATE_EXCEPTION_TEXT_H
#define FOCUSRATE_EXCEPTION_TEXT_H

#include <string>

namespace focusrate {

/// Call only inside a catch block: the exception being handled in one line
/// ("out of memory" for std::bad_alloc, OpenCV's own text for cv::Exception).
std::string CurrentExceptionText();

}  // namespace focusrate

#endif  // FOCUSRATE_EXCEPTION_TEXT_H
