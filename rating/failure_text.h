// What went wrong, in one line: the words every message and row uses.
#ifndef FOCUSRATE_FAILURE_TEXT_H
#define FOCUSRATE_FAILURE_TEXT_H

#include <string>

namespace focusrate {

/// Call only inside a catch block: the exception being handled in one line
/// ("out of memory" for std::bad_alloc, OpenCV's own text for cv::Exception).
std::string CurrentExceptionText();

/// "cannot ACTION (reason)", the reason spelling the errno value error:
/// CannotText("read directory", EACCES) is "cannot read directory
/// (Permission denied)".
std::string CannotText(const std::string& action, int error);

}  // namespace focusrate

#endif  // FOCUSRATE_FAILURE_TEXT_H
